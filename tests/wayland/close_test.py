#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The board window closed by the compositor 100 times: each time the process must end within 2 s.

    close_test.py BUILD/zelbo BUILD/tests/zelbo_weston_close.so

Each round starts the program on a headless weston, waits a while (none, or long enough for a tick
or two of the caption), then has the compositor send its close, as a desktop's close button or
window list does, until the compositor has closed the program's window.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from weston import Weston, copy_program, skip_unless_ready, wait_for

ROUNDS = 100
ALLOWED_SECONDS = 2
WAITS = (0, 0.3, 1.0)  # before the close: at once, within the first tick, after a tick


def one_round(weston, program, home, wait):
    """The seconds from the compositor's close to the end of the process; None if it lives on."""
    process = subprocess.Popen([program], cwd=home, env=weston.environment(home),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(wait)
        deadline = time.monotonic() + 30
        while not weston.closed(process.pid):
            if process.poll() is not None:
                raise AssertionError(f"zelbo ended with status {process.returncode} unasked")
            if time.monotonic() > deadline:
                raise AssertionError("the board window never appeared")
            weston.close_windows()
            time.sleep(0.05)
        closed = time.monotonic()
        if not wait_for(lambda: process.poll() is not None, ALLOWED_SECONDS):
            return None
        if process.returncode != 0:
            raise AssertionError(f"zelbo ended with status {process.returncode}")
        return time.monotonic() - closed
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def main():
    executable, module = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else ""
    skip_unless_ready(module)
    weston = Weston(module)
    folder = tempfile.mkdtemp(prefix="zelbo-close-")
    try:
        program = copy_program(executable, folder)
        times, alive = [], []
        for round_number in range(ROUNDS):
            seconds = one_round(weston, program, folder, WAITS[round_number % len(WAITS)])
            if seconds is None:
                alive.append(round_number + 1)
            else:
                times.append(seconds)
        print(f"{ROUNDS} closes: {len(times)} ended, the slowest in {max(times, default=0):.2f} s")
        if alive:
            raise AssertionError(f"the process lived on after closes {alive}")
    finally:
        weston.stop()
        shutil.rmtree(folder, ignore_errors=True)
    print("close test passed")


if __name__ == "__main__":
    main()
