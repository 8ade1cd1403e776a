#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program in a real X window: clicks with xdotool, the board read from screenshots.

    xvfb-run -a -s "-screen 0 800x600x24 -noreset" python3 window_test.py BUILD/zelbo

The program, its skins and its store are copied into a temporary folder, since it looks for its
files beside the executable. Each square is read at its centre and compared with the centres of
the built-in pictures: the player's man cream, the computer's man dark red, a king gold, an empty
dark square walnut brown, an unusable square light wood.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SQUARE_COLOURS = {
    (228, 210, 170): "p",  # the player's man
    (148, 28, 30): "c",  # the computer's man
    (192, 159, 69): "K",  # a king of either side
    (115, 71, 41): ".",  # an empty dark square
    (218, 184, 136): "x",  # an unusable square
}
INITIAL = "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.x.x.x/xpxpxpxp/pxpxpxpx/xpxpxpxp"
MOVED = "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.xpx.x/x.xpxpxp/pxpxpxpx/xpxpxpxp"  # D6 to E5
CELL_CODES = {"x": 3, ".": 0, "c": 1, "C": 2, "p": 255, "P": 254}
ORIGIN, SIZE = 40, 32


def run(*command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"{' '.join(command)}: status {done.returncode} {done.stderr}")
    return done.stdout


def xdotool(*arguments):
    return run("xdotool", *arguments)


def screenshot():
    """The whole screen as (width, height, rgb bytes), from a binary PPM."""
    data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                          capture_output=True).stdout
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    return int(fields[1]), int(fields[2]), data[position + 1:]


class Screen:
    def __init__(self):
        self.width, self.height, self.pixels = screenshot()

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


def square_centre(column, row):
    return ORIGIN + (column - 1) * SIZE + SIZE // 2, ORIGIN + (row - 1) * SIZE + SIZE // 2


def saved_game(board):
    """The 192-byte saved game of a board line: column after column, three bytes a square."""
    rows = board.split("/")
    return bytes(byte for column in range(8) for row in rows
                 for byte in (CELL_CODES[row[column]], 0, 0))


def read_board(screen, left, top):
    """The position as zelbo-cli prints it, '?' for a colour of no picture."""
    rows = []
    for row in range(1, 9):
        line = ""
        for column in range(1, 9):
            x, y = square_centre(column, row)
            line += SQUARE_COLOURS.get(screen.pixel(left + x, top + y), "?")
        rows.append(line)
    return "/".join(rows)


class Program:
    def __init__(self, executable, arguments=(), allow_message_at_start=False):
        self.folder = tempfile.mkdtemp(prefix="zelbo-x11-")
        beside = os.path.dirname(os.path.abspath(executable))
        shutil.copy2(executable, self.folder)
        if os.path.isdir(os.path.join(beside, "SKIN")):
            shutil.copytree(os.path.join(beside, "SKIN"), os.path.join(self.folder, "SKIN"))
        if os.path.isfile(os.path.join(beside, "braskel.exp")):
            shutil.copy2(os.path.join(beside, "braskel.exp"), self.folder)
        else:
            # No sample store: an empty one, or the start would stop at " No experience ".
            open(os.path.join(self.folder, "braskel.exp"), "wb").close()
        self.runtime = os.path.join(self.folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=self.runtime)
        self.process = subprocess.Popen(self.command(arguments), cwd=self.folder, env=environment)
        self.window = None
        if not allow_message_at_start:
            self.window = self.find_window()
            self.left, self.top, self.width, self.height = self.geometry(self.window)
        self.client_top = None  # the top of the client area, under the menu bar

    def command(self, arguments):
        """The command line: the program, then each argument as made for its folder."""
        return [os.path.join(self.folder, "zelbo")] + [make(self.folder) for make in arguments]

    def windows(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.process.pid)], capture_output=True, text=True).stdout
        return [w for w in found.split()]

    def find_window(self):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise AssertionError(f"zelbo ended with status {self.process.returncode}")
            for window in self.windows():
                if self.geometry(window)[2:] == (370, 375):
                    return window
            time.sleep(0.1)
        raise AssertionError("no 370 x 375 board window appeared")

    @staticmethod
    def geometry(window):
        """The window's place on the screen and its size, whatever frame a manager gives it."""
        values = {}
        for line in run("xwininfo", "-id", window).splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def find_client_top(self, screen, position=INITIAL):
        """The menu bar's height found as the offset at which the position shows."""
        for offset in range(0, 80):
            if read_board(screen, self.left, self.top + offset) == position:
                self.client_top = self.top + offset
                return offset
        raise AssertionError(f"the position {position} is nowhere under the menu bar")

    def board(self):
        return read_board(Screen(), self.left, self.client_top)

    def wait_for_board(self, expected_change, seconds=10):
        """The board once it differs from `expected_change` (or after `seconds`)."""
        deadline = time.monotonic() + seconds
        board = self.board()
        while board == expected_change and time.monotonic() < deadline:
            time.sleep(0.1)
            board = self.board()
        time.sleep(0.3)  # the computer's reply is drawn in the same handler; let it settle
        return self.board()

    def click(self, column, row, button):
        x, y = square_centre(column, row)
        xdotool("mousemove", "--sync", str(self.left + x), str(self.client_top + y))
        xdotool("click", str(button))

    def key(self, name, window=None):
        xdotool("windowfocus", "--sync", window or self.window)
        time.sleep(0.2)
        xdotool("key", name)

    def message_boxes(self):
        return [w for w in self.windows() if w != self.window]

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.folder, ignore_errors=True)


def squares_of(board, piece):
    return {(r, c) for r, line in enumerate(board.split("/")) for c, ch in enumerate(line)
            if ch == piece}


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    print("ok:", what.splitlines()[0])


def taskbar_marks(window):
    """The window's captions (_NET_WM_NAME, WM_NAME) and its icon (_NET_WM_ICON) as X11 holds
    them: two strings and the list of the icon's numbers."""
    marks = {}
    for line in run("xprop", "-id", window, "-f", "_NET_WM_ICON", "32c", "_NET_WM_NAME",
                    "WM_NAME", "_NET_WM_ICON").splitlines():
        name, _, value = line.partition(" = ")
        name = name.split("(")[0]
        if name == "_NET_WM_ICON":
            marks[name] = [int(number) for number in value.split(",")]
        else:
            marks[name] = value.strip('"')
    return marks


def check_taskbar_marks(window):
    """The caption scrolls and the icon turns in the window's own properties, a tick at a time
    (a tick every 0.9 s: the first one replaces the icon the window starts with)."""
    seen = []
    for _ in range(4):
        time.sleep(1)
        seen.append(taskbar_marks(window))
    start = "Zelbo, le jeu de dames  "
    for marks in seen:
        caption = marks["_NET_WM_NAME"]
        check(marks.get("WM_NAME") == caption, f"WM_NAME follows _NET_WM_NAME ('{caption}')")
        check(len(caption) == len(start) and set(caption) <= set(start),
              f"'{caption}' is made of the title's letters")
        icon = marks["_NET_WM_ICON"]
        check(icon[:2] == [16, 16] and len(icon) == 2 + 16 * 16, "the icon is 16 x 16")
    captions = {marks["_NET_WM_NAME"] for marks in seen}
    icons = {tuple(marks["_NET_WM_ICON"]) for marks in seen}
    check(len(captions) >= 3, f"the caption scrolls ({len(captions)} of 4 readings differ)")
    check(len(icons) >= 2, f"the icon turns ({len(icons)} different icons in 4 readings)")


def check_file_named_at_start(executable):
    """A saved game named on the command line is opened at start: by bytes that are no UTF-8, and
    by a name that looks like one of Qt's options, after "--"."""
    for name, before in ((b"\xe9.KRP", []), (b"-reverse", ["--"])):
        def write_game(folder, name=name):
            path = os.path.join(os.fsencode(folder), name)
            with open(path, "wb") as out:
                out.write(saved_game(MOVED))
            return path

        program = Program(executable, [lambda folder, word=word: word for word in before] +
                          [write_game])
        try:
            time.sleep(0.5)
            program.find_client_top(Screen(), MOVED)
            check(not program.message_boxes(),
                  f"the file named {' '.join(before)} {name} opens without a message")
        finally:
            program.close()


def main():
    check_file_named_at_start(sys.argv[1])
    program = Program(sys.argv[1])
    try:
        time.sleep(0.5)
        offset = program.find_client_top(Screen())
        print(f"board window {program.window} at {program.left},{program.top}, "
              f"menu bar {offset} pixels")
        check_taskbar_marks(program.window)

        # A right click on an empty square with nothing selected is refused with a box, and
        # the position stays.
        program.click(2, 4, 3)
        deadline = time.monotonic() + 10
        while not program.message_boxes() and time.monotonic() < deadline:
            time.sleep(0.1)
        boxes = program.message_boxes()
        check(len(boxes) == 1, f"a stray right click shows one message box ({boxes})")
        title = xdotool("getwindowname", boxes[0]).strip()
        check(title == "Error", f"the box is captioned 'Error' (it reads '{title}')")
        program.key("Return", boxes[0])
        deadline = time.monotonic() + 10
        while program.message_boxes() and time.monotonic() < deadline:
            time.sleep(0.1)
        check(not program.message_boxes(), "Return closes the box")
        board = program.board()
        check(board == INITIAL, f"the refused click left the position\n{board}")

        # D6 to E5, and the computer's reply.
        program.click(4, 6, 1)
        time.sleep(0.3)
        program.click(5, 5, 1)
        board = program.wait_for_board(INITIAL)
        rows = board.split("/")
        check(rows[5][3] == ".", f"the man left D6\n{board}")
        check(rows[4][4] == "p", f"a man stands on E5\n{board}")
        moved_from = squares_of(INITIAL, "c") - squares_of(board, "c")
        moved_to = squares_of(board, "c") - squares_of(INITIAL, "c")
        check(len(moved_from) == 1 and len(moved_to) == 1,
              f"one man of the computer moved ({moved_from} to {moved_to})\n{board}")
        check(not program.message_boxes(), "the reply shows no message")

        # F2: a new game.
        program.key("F2")
        board = program.wait_for_board(board)
        check(board == INITIAL, f"F2 sets up the opening position\n{board}")
    finally:
        program.close()
    print("window test passed")


if __name__ == "__main__":
    main()
