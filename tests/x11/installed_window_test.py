#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed program for a new user: its board window comes up under X with no message box,
and the experience editor's "+" makes the user's own store.

    xvfb-run -a -s "-screen 0 800x600x24" python3 installed_window_test.py BUILD [BINDIR]

The build is installed stripped into a temporary prefix and started from PREFIX/BINDIR with an
empty home and XDG_DATA_HOME unset, as a user who has just installed it. The store shipped under
PREFIX/share/zelbo loads without " No experience ", the board window is the only window shown,
nothing is written to the user's data folder unasked; "Outils > Modifier l'experience" then "+"
writes ~/.local/share/zelbo/braskel.exp, the shipped records followed by the new one; nothing
under the prefix changes.
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


def geometry(window):
    values = dict(line.partition("=")[::2]
                  for line in xdotool("getwindowgeometry", "--shell", window).splitlines())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def size_of(window):
    return geometry(window)[2:]


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


def wait_for_new_window(process, known, size):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        for window in visible_windows(process.pid):
            if window not in known and size_of(window) == size:
                return window
        time.sleep(0.1)
    raise AssertionError(f"no {size} window appeared")


def click(x, y):
    xdotool("mousemove", "--sync", str(x), str(y))
    xdotool("click", "1")


def add_a_record(process, board):
    """The editor opened from the "Outils" menu (its fifth item), then its "+" button. With no
    window manager, a window's client area starts at its position."""
    left, top = geometry(board)[:2]
    click(left + 75, top + 10)
    time.sleep(0.5)
    for _ in range(5):
        xdotool("key", "Down")
    xdotool("key", "Return")
    editor = wait_for_new_window(process, [board], (341, 333))
    time.sleep(0.5)
    left, top = geometry(editor)[:2]
    click(left + 176 + 11, top + 304 + 11)
    return editor


def wait_for_file(path, size):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if os.path.exists(path) and os.path.getsize(path) == size:
            return
        time.sleep(0.1)
    raise AssertionError(f"{path} was not written with {size} bytes")


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
            user = os.path.join(home, ".local", "share", "zelbo")
            check(not os.path.exists(user), f"nothing is written to {user} unasked")

            editor = add_a_record(process, board)
            shipped = os.path.join(prefix, "share", "zelbo", "braskel.exp")
            store = os.path.join(user, "braskel.exp")
            wait_for_file(store, os.path.getsize(shipped) + 198)
            with open(shipped, "rb") as a, open(store, "rb") as b:
                check(b.read().startswith(a.read()), "the user's store begins with the shipped one")
            others = [w for w in visible_windows(process.pid) if w not in (board, editor)]
            check(not others, f"the addition shows no message box ({others})")
        finally:
            process.terminate()
            process.wait(10)
        check(listing(prefix) == before, "nothing under the prefix changed")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("installed window test passed")


if __name__ == "__main__":
    main()
