#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The skinned look on a Wayland compositor: what is not drawn shows what lies behind the window.

    skin_test.py BUILD/tests/zelbo_skinned_window assets/SKIN BUILD/tests/zelbo_weston_close.so

The pure white of a skin's pictures is neither drawn nor hit by the mouse. On Wayland the window's
mask only says where the mouse hits it, so the window must be translucent there: the screen, read
with weston-screenshooter over a background of one colour, shows no white at all, the board and its
frame where they were drawn, and the background all round them, inside the window's 370 x 375 too.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from weston import SKIP, Weston, skip_unless_ready, wait_for

BACKGROUND = (0x20, 0x80, 0xC0)
WHITE = (255, 255, 255)
BOARD_PIXELS = 8 * 32 * 8 * 32  # the 64 squares at least


def screenshot(weston, folder):
    """The compositor's screen as (width, height, rgb bytes)."""
    before = set(os.listdir(folder))
    subprocess.run(["weston-screenshooter"], cwd=folder, env=weston.environment(folder),
                   check=True, capture_output=True)
    taken = [name for name in os.listdir(folder) if name not in before and name.endswith(".png")]
    assert len(taken) == 1, f"weston-screenshooter wrote {taken}"
    ppm = subprocess.run(["convert", os.path.join(folder, taken[0]), "-depth", "8", "ppm:-"],
                         check=True, capture_output=True).stdout
    fields, end = [], 0
    while len(fields) < 4:  # magic, width, height, maximum, each after white space
        start = end
        while ppm[start:start + 1].isspace():
            start += 1
        end = start
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[start:end])
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    return int(fields[1]), int(fields[2]), ppm[end + 1:]


def count_colours(pixels):
    counts = {}
    for i in range(0, len(pixels), 3):
        colour = (pixels[i], pixels[i + 1], pixels[i + 2])
        counts[colour] = counts.get(colour, 0) + 1
    return counts


def main():
    helper, skins, module = sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else ""
    skip_unless_ready(module)
    if shutil.which("weston-screenshooter") is None or shutil.which("convert") is None:
        print("skipped: weston-screenshooter or ImageMagick not installed")
        sys.exit(SKIP)
    colour = "0xff%02x%02x%02x" % BACKGROUND
    weston = Weston(module, ["[shell]", f"background-color={colour}", "panel-position=none"])
    folder = tempfile.mkdtemp(prefix="zelbo-skin-")
    process = None
    try:
        shutil.copytree(skins, os.path.join(folder, "SKIN"))
        process = subprocess.Popen([os.path.abspath(helper), folder, "Bois"], cwd=folder,
                                   env=weston.environment(folder), stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        assert process.stdout.readline() == "skinned\n", "the skinned window did not open"
        time.sleep(1)
        width, height, pixels = screenshot(weston, folder)
        counts = count_colours(pixels)
        drawn = width * height - counts.get(BACKGROUND, 0)
        print(f"screen {width} x {height}: {drawn} pixels drawn, {counts.get(WHITE, 0)} white")
        if drawn < BOARD_PIXELS:
            raise AssertionError(f"the board is not on the screen ({drawn} pixels drawn)")
        if counts.get(WHITE, 0):
            raise AssertionError(f"{counts[WHITE]} white pixels show: the window is opaque "
                                 "where the skin draws nothing")
        if drawn > 370 * 375 * 0.9:
            raise AssertionError(f"{drawn} pixels drawn: the whole window shows")
    finally:
        if process is not None:
            process.kill()
            process.wait()
        weston.stop()
        shutil.rmtree(folder, ignore_errors=True)
    print("skin test passed")


if __name__ == "__main__":
    main()
