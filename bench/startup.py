#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up time and memory of the board window, as ratios to other programs timed beside it.

    bench/startup.py [--build BUILD] [--rounds N] [--settle SECONDS]

Absolute times on a shared machine say more about the moment than about the program, so zelbo is
timed in interleaved rounds beside:

- a bare Qt 6 window (BUILD/bench/zelbo_bare_window: an application object and one empty main
  window, built by the same CMake with the same flags), the floor of any Qt Widgets program here;
- KCheckers, another draughts game, when it is installed (`apt-get install kcheckers`), run as a
  black box.

Under Xvfb (started here through xvfb-run when no display is set), each run starts the program
with a fresh home and takes the time from the start of the process to its main window being
mapped (an X MapNotify event read with xev), then its resident memory (VmRSS) after --settle
seconds. zelbo runs from a temporary folder holding a copy of it with its skins, store and
endgame tables, as a portable copy. Every round runs each program once, in an order that turns
from round to round.
Printed: each program's median time and memory with their range, then per-round ratios of zelbo
to each other program: median, interquartile range and range over the rounds.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BOARD_WINDOW = ("370", "375")


def copy_beside(executable, folder):
    """A portable copy of zelbo in `folder`, with the skins, the store and the endgame tables of
    its build folder."""
    beside = os.path.dirname(os.path.abspath(executable))
    shutil.copy2(executable, folder)
    if os.path.isfile(os.path.join(beside, "endgame.tables")):
        shutil.copy2(os.path.join(beside, "endgame.tables"), folder)
    if os.path.isdir(os.path.join(beside, "SKIN")):
        shutil.copytree(os.path.join(beside, "SKIN"), os.path.join(folder, "SKIN"))
    if os.path.isfile(os.path.join(beside, "braskel.exp")):
        shutil.copy2(os.path.join(beside, "braskel.exp"), folder)
    else:
        # No sample store: an empty one, or the start would stop at " No experience ".
        open(os.path.join(folder, "braskel.exp"), "wb").close()
    return os.path.join(folder, os.path.basename(executable))


def window_size(window):
    out = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    size = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        if key in ("Width", "Height"):
            size[key] = value.strip()
    return size.get("Width"), size.get("Height")


def is_main_window(size, exact):
    """The board window's size for zelbo and the bare window; any window of 200 x 200 or more
    for a program whose window is not known (menus and tool tips are smaller)."""
    if exact:
        return size == BOARD_WINDOW
    width, height = size
    return width is not None and int(width) >= 200 and int(height) >= 200


def stop(process):
    """Ends a program as a window manager would, killing it after 10 s."""
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def one_run(command, environment, exact, settle):
    """(milliseconds to the main window's map, VmRSS in kB `settle` seconds later)."""
    watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"], stdout=subprocess.PIPE,
                               text=True, bufsize=1)
    time.sleep(0.3)  # xev selects its events before the program starts
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=environment["HOME"], env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped_at = None
    try:
        for line in watcher.stdout:
            if line.startswith("MapNotify event"):
                mapped_at = time.monotonic()
                continue
            if mapped_at is not None and line.strip().startswith("event 0x"):
                # "event 0x..., window 0x..., override NO": the second name is the mapped one
                window = line.split(",")[1].split()[1]
                if is_main_window(window_size(window), exact):
                    break
                mapped_at = None
        else:
            raise RuntimeError(f"xev ended before {command[0]} mapped its window")
        elapsed_ms = (mapped_at - start) * 1000
        time.sleep(settle)
        with open(f"/proc/{process.pid}/status") as status:
            rss = next(int(l.split()[1]) for l in status if l.startswith("VmRSS:"))
        return elapsed_ms, rss
    finally:
        stop(process)
        watcher.terminate()
        watcher.wait()


def quartiles(values):
    if len(values) < 2:
        return values[0], values[0]
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], q[2]


def report_program(name, times, memory):
    print(f"{name:10} start {statistics.median(times):7.1f} ms "
          f"({min(times):.1f} to {max(times):.1f}), "
          f"memory {statistics.median(memory):6.1f} MB ({min(memory):.1f} to {max(memory):.1f})")


def report_ratio(what, ratios):
    low, high = quartiles(ratios)
    print(f"{what:32} median {statistics.median(ratios):.2f}, "
          f"interquartile {low:.2f} to {high:.2f}, range {min(ratios):.2f} to {max(ratios):.2f}")


def find_kcheckers():
    for candidate in (shutil.which("kcheckers"), "/usr/games/kcheckers"):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return None


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--settle", type=float, default=2.0)
    options = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        # -noreset: the server would reset between two runs, when its last client leaves.
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset",
                               sys.executable, os.path.abspath(__file__), "--build", options.build,
                               "--rounds", str(options.rounds), "--settle", str(options.settle)])
    folder = tempfile.mkdtemp(prefix="zelbo-startup-")
    try:
        programs = {
            "zelbo": ([copy_beside(os.path.join(options.build, "zelbo"), folder)], True),
            "bare Qt": ([os.path.join(options.build, "bench", "zelbo_bare_window")], True),
        }
        kcheckers = find_kcheckers()
        if kcheckers:
            programs["KCheckers"] = ([kcheckers], False)
        else:
            print("KCheckers is not installed: timed beside the bare Qt window only")
        home = os.path.join(folder, "home")
        runtime = os.path.join(folder, "runtime")
        os.mkdir(home)
        os.mkdir(runtime, 0o700)
        environment = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
        environment.pop("XDG_DATA_HOME", None)
        environment.pop("XDG_CONFIG_HOME", None)

        names = list(programs)
        for name in names:  # a first run of each fills the caches; it is not counted
            one_run(programs[name][0], environment, programs[name][1], 0.2)
        times = {name: [] for name in names}
        memory = {name: [] for name in names}
        for round_number in range(options.rounds):
            turn = round_number % len(names)
            for name in names[turn:] + names[:turn]:
                elapsed_ms, rss_kb = one_run(programs[name][0], environment, programs[name][1],
                                             options.settle)
                times[name].append(elapsed_ms)
                memory[name].append(rss_kb / 1024)

        print(f"{options.rounds} rounds, {os.cpu_count()} processors, "
              f"load average {os.getloadavg()[0]:.2f}")
        for name in names:
            report_program(name, times[name], memory[name])
        for name in names[1:]:
            report_ratio(f"start, zelbo / {name}",
                         [z / o for z, o in zip(times["zelbo"], times[name])])
            report_ratio(f"memory, zelbo / {name}",
                         [z / o for z, o in zip(memory["zelbo"], memory[name])])
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
