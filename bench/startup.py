#!/usr/bin/env python3
"""Start-up time and memory of the board window, as a user would see them.

    bench/startup.py [BUILD/zelbo] [--runs N]

Under Xvfb (started here through xvfb-run when no display is set), each run starts the program
from a temporary folder holding a copy of it with its skins and store, and takes the time from
the start of the process to the board window being mapped (an X MapNotify event read with xev),
then its resident memory (VmRSS) two seconds later. Prints the median, minimum and maximum.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def copy_beside(executable, folder):
    beside = os.path.dirname(os.path.abspath(executable))
    shutil.copy2(executable, folder)
    if os.path.isdir(os.path.join(beside, "SKIN")):
        shutil.copytree(os.path.join(beside, "SKIN"), os.path.join(folder, "SKIN"))
    if os.path.isfile(os.path.join(beside, "braskel.exp")):
        shutil.copy2(os.path.join(beside, "braskel.exp"), folder)
    else:
        # No sample store: an empty one, or the start would stop at " No experience ".
        open(os.path.join(folder, "braskel.exp"), "wb").close()
    os.mkdir(os.path.join(folder, "runtime"), 0o700)
    return os.path.join(folder, os.path.basename(executable))


def window_size(window):
    out = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    size = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        if key in ("Width", "Height", "Map State"):
            size[key] = value.strip()
    return size


def one_run(program):
    """(milliseconds to the board window's map, VmRSS in kB two seconds later)."""
    watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"], stdout=subprocess.PIPE,
                               text=True, bufsize=1)
    time.sleep(0.3)  # xev selects its events before the program starts
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                       XDG_RUNTIME_DIR=os.path.join(os.path.dirname(program), "runtime"))
    start = time.monotonic()
    process = subprocess.Popen([program], cwd=os.path.dirname(program), env=environment)
    mapped_at, window = None, None
    try:
        for line in watcher.stdout:
            if line.startswith("MapNotify event"):
                mapped_at = time.monotonic()
                continue
            if mapped_at is not None and line.strip().startswith("event 0x"):
                # "event 0x..., window 0x..., override NO": the second name is the mapped one
                window = line.split(",")[1].split()[1]
                size = window_size(window)
                if size.get("Width") == "370" and size.get("Height") == "375":
                    break
                mapped_at = None
        else:
            raise RuntimeError("xev ended before the board window was mapped")
        elapsed_ms = (mapped_at - start) * 1000
        time.sleep(2)
        with open(f"/proc/{process.pid}/status") as status:
            rss = next(int(l.split()[1]) for l in status if l.startswith("VmRSS:"))
        return elapsed_ms, rss
    finally:
        process.terminate()
        process.wait()
        watcher.terminate()
        watcher.wait()


def report(name, values, unit):
    print(f"{name}: median {statistics.median(values):.1f} {unit}, "
          f"min {min(values):.1f}, max {max(values):.1f} ({len(values)} runs)")


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("program", nargs="?", default=os.path.join(here, "..", "build", "zelbo"))
    parser.add_argument("--runs", type=int, default=10)
    options = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24",
                               sys.executable, os.path.abspath(__file__), options.program,
                               "--runs", str(options.runs)])
    folder = tempfile.mkdtemp(prefix="zelbo-startup-")
    try:
        program = copy_beside(options.program, folder)
        one_run(program)  # the first run fills the caches; it is not counted
        times, memory = [], []
        for _ in range(options.runs):
            elapsed_ms, rss_kb = one_run(program)
            times.append(elapsed_ms)
            memory.append(rss_kb / 1024)
        report("start to board window mapped", times, "ms")
        report("resident memory 2 s later", memory, "MB")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
