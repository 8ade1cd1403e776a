#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""CPU time and wake-ups of the board window while nobody plays, beside other programs idling.

    bench/idle.py [--build BUILD] [--rounds N] [--seconds S] [--compare OTHER_ZELBO]
                  [--window-manager | --wayland]

Once started, zelbo only turns its caption and its icon, every 0.9 s. Each round starts the
programs together under the same X display (Xvfb through xvfb-run when no display is set; with
--window-manager, openbox manages their windows), or with --wayland on a headless weston of its
own (its pixman renderer, a socket named after this process), lets them settle for 5 s, then reads the CPU time of all their threads (/proc/PID/task/*/schedstat)
and their voluntary context switches over S seconds. Beside zelbo run the bare Qt 6 window
(BUILD/bench/zelbo_bare_window, which does nothing at all: the floor of a Qt program here),
KCheckers when it is installed, and, with --compare, another zelbo executable (an earlier build,
say). Printed per program: CPU milliseconds per minute and wake-ups per minute, median and range
over the rounds, and the ratio of the other zelbo to this one per round.
"""
import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from startup import copy_beside, find_kcheckers, stop  # noqa: E402

SETTLE_SECONDS = 5


def cpu_and_switches(pid):
    """CPU nanoseconds and voluntary context switches of all the threads of a process."""
    cpu = switches = 0
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(f"{task}/schedstat") as schedstat:
                cpu += int(schedstat.read().split()[0])
            with open(f"{task}/status") as status:
                switches += next(int(line.split()[1]) for line in status
                                 if line.startswith("voluntary_ctxt_switches:"))
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return cpu, switches


def one_round(programs, environment, seconds):
    """{name: (CPU ms per minute, wake-ups per minute)} for programs idling side by side."""
    processes = {name: subprocess.Popen(command, cwd=environment["HOME"], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                 for name, command in programs.items()}
    try:
        time.sleep(SETTLE_SECONDS)
        for name, process in processes.items():
            if process.poll() is not None:
                raise RuntimeError(f"{name} ended with status {process.returncode}")
        before = {name: cpu_and_switches(p.pid) for name, p in processes.items()}
        time.sleep(seconds)
        after = {name: cpu_and_switches(p.pid) for name, p in processes.items()}
        per_minute = 60 / seconds
        return {name: ((after[name][0] - before[name][0]) / 1e6 * per_minute,
                       (after[name][1] - before[name][1]) * per_minute) for name in processes}
    finally:
        for process in processes.values():
            stop(process)


def start_weston(environment, runtime):
    """A headless weston whose clients are the programs: Qt on Wayland, no X display."""
    socket = f"zelbo-idle-{os.getpid()}"
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", f"--socket={socket}",
                               "--use-pixman", "--idle-time=0"],
                              env=environment, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 20
    while not os.path.exists(os.path.join(runtime, socket)):
        if time.monotonic() > deadline or weston.poll() is not None:
            raise RuntimeError("weston did not start")
        time.sleep(0.05)
    environment.pop("DISPLAY", None)
    environment.update(WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland")
    return weston


def spread(values):
    return f"{statistics.median(values):7.1f} ({min(values):.1f} to {max(values):.1f})"


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--compare", help="another zelbo executable to idle beside this one")
    display = parser.add_mutually_exclusive_group()
    display.add_argument("--window-manager", action="store_true", help="under openbox")
    display.add_argument("--wayland", action="store_true", help="on a headless weston")
    options = parser.parse_args()
    if not options.wayland and not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24",
                               sys.executable, *sys.argv])
    folder = tempfile.mkdtemp(prefix="zelbo-idle-")
    try:
        home = os.path.join(folder, "home")
        runtime = os.path.join(folder, "runtime")
        os.mkdir(home)
        os.mkdir(runtime, 0o700)
        programs = {"zelbo": [copy_beside(os.path.join(options.build, "zelbo"), folder)]}
        if options.compare:
            other = os.path.join(folder, "other")
            os.mkdir(other)
            programs["other zelbo"] = [copy_beside(options.compare, other)]
        programs["bare Qt"] = [os.path.join(options.build, "bench", "zelbo_bare_window")]
        kcheckers = find_kcheckers()
        if kcheckers and not options.wayland:
            programs["KCheckers"] = [kcheckers]
        environment = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
        server = None
        if options.window_manager:
            server = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        elif options.wayland:
            server = start_weston(environment, runtime)
        try:
            time.sleep(1)
            load = os.getloadavg()[0]
            rounds = [one_round(programs, environment, options.seconds)
                      for _ in range(options.rounds)]
        finally:
            if server:
                stop(server)
        where = ("a headless weston" if options.wayland else
                 "Xvfb under openbox" if options.window_manager else "Xvfb, no window manager")
        print(f"{options.rounds} rounds of {options.seconds:.0f} s on {where}, {os.cpu_count()} "
              f"processors, load average {load:.2f} at the start, "
              f"{os.getloadavg()[0]:.2f} at the end")
        print(f"{'':12} {'CPU ms per minute':>26} {'wake-ups per minute':>28}")
        for name in programs:
            print(f"{name:12} {spread([r[name][0] for r in rounds]):>26} "
                  f"{spread([r[name][1] for r in rounds]):>28}")
        if options.compare:
            ratios = [r["other zelbo"][0] / r["zelbo"][0] for r in rounds]
            print(f"CPU, other zelbo / zelbo: {spread(ratios)}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
