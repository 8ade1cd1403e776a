#!/usr/bin/env python3
"""The installed program for a new user: its board window comes up under X with no message box.

    xvfb-run -a -s "-screen 0 800x600x24" python3 installed_window_test.py BUILD [BINDIR]

The build is installed stripped into a temporary prefix and started from PREFIX/BINDIR with an
empty home and XDG_DATA_HOME unset, as a user who has just installed it. The store shipped under
PREFIX/share/zelbo loads without " No experience ", the board window is the only window shown,
nothing is written to the user's data folder unasked, and nothing under the prefix changes.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_test import check, xdotool  # noqa: E402


def listing(folder):
    """Every file and folder under `folder` with its size and modification time."""
    lines = []
    for here, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(here, name)
            status = os.lstat(path)
            lines.append((path, status.st_size, status.st_mtime_ns))
    return sorted(lines)


def visible_windows(pid):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           capture_output=True, text=True).stdout
    return found.split()


def size_of(window):
    values = dict(line.partition("=")[::2]
                  for line in xdotool("getwindowgeometry", "--shell", window).splitlines())
    return int(values["WIDTH"]), int(values["HEIGHT"])


def wait_for_board_window(process):
    """The board window, once shown; any other window shown first fails the test."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise AssertionError(f"zelbo ended with status {process.returncode}")
        for window in visible_windows(process.pid):
            if size_of(window) == (370, 375):
                return window
            name = xdotool("getwindowname", window).strip()
            raise AssertionError(f"a window '{name}' came up before the board window")
        time.sleep(0.1)
    raise AssertionError("no 370 x 375 board window appeared")


def main():
    build = os.path.abspath(sys.argv[1])
    bindir = sys.argv[2] if len(sys.argv) > 2 else "bin"
    root = tempfile.mkdtemp(prefix="zelbo-installed-")
    try:
        prefix, home = os.path.join(root, "usr"), os.path.join(root, "home")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix, "--strip"], check=True,
                       stdout=subprocess.DEVNULL)
        os.mkdir(home)
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        before = listing(prefix)
        environment = dict(os.environ, HOME=home, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime)
        environment.pop("XDG_DATA_HOME", None)
        process = subprocess.Popen([os.path.join(prefix, bindir, "zelbo")], cwd=home,
                                   env=environment)
        try:
            board = wait_for_board_window(process)
            time.sleep(1)
            others = [w for w in visible_windows(process.pid) if w != board]
            check(not others, f"the board window comes up alone, with no message box ({others})")
        finally:
            process.terminate()
            process.wait(10)
        user = os.path.join(home, ".local", "share", "zelbo")
        check(not os.path.exists(user), f"nothing is written to {user} unasked")
        check(listing(prefix) == before, "nothing under the prefix changed")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("installed window test passed")


if __name__ == "__main__":
    main()
