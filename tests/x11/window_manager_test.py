#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program under a window manager, as an ordinary user would meet it.

    xvfb-run -a -s "-screen 0 1024x768x24 -noreset -ac" python3 window_manager_test.py BUILD/zelbo

Openbox manages the windows, so that minimising, restoring and the window's size hints are real.
Run as root, the program itself runs as an unprivileged user (uid 65534), to whom root's files
are what they are to anyone else: a saved game of mode 444 may not be written.
"""
import os
import shutil
import subprocess
import sys
import time

from window_test import Program, Screen, check, xdotool

UNPRIVILEGED = 65534


def run(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def window_state(window):
    """'Normal' or 'Iconic', as the window manager keeps it."""
    for line in run("xprop", "-id", window, "WM_STATE").splitlines():
        if "window state:" in line:
            return line.split(":")[1].strip()
    return ""


def size_hints(window):
    hints = run("xprop", "-id", window, "WM_NORMAL_HINTS")
    found = {}
    for line in hints.splitlines():
        for key in ("minimum size", "maximum size"):
            if key in line:
                found[key] = line.split(":")[1].strip()
    return found


def wait_for(condition, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.1)
    return False


class UserProgram(Program):
    """The program started as the unprivileged user when the test runs as root."""

    def command(self, arguments):
        command = super().command(arguments)
        if os.getuid() != 0:
            return command
        for root, folders, files in os.walk(self.folder):
            for name in folders + files:
                os.chmod(os.path.join(root, name), 0o755, follow_symlinks=False)
        os.chmod(self.folder, 0o755)
        os.chmod(self.runtime, 0o700)
        shutil.chown(self.runtime, UNPRIVILEGED, UNPRIVILEGED)
        return ["setpriv", f"--reuid={UNPRIVILEGED}", f"--regid={UNPRIVILEGED}",
                "--clear-groups"] + command

    def board_window(self):
        """The board window now: a new frame gives it a new native window."""
        self.window = self.find_window()
        self.left, self.top, self.width, self.height = self.geometry(self.window)
        return self.window

    def client_point(self, x, y):
        return self.left + x, self.client_top + y

    def click_at(self, x, y, button=1):
        sx, sy = self.client_point(x, y)
        xdotool("mousemove", "--sync", str(sx), str(sy))
        xdotool("click", str(button))


def check_size_and_controls(program):
    hints = size_hints(program.window)
    check(hints.get("minimum size") == "370 by 375" and hints.get("maximum size") == "370 by 375",
          f"the board window's size is fixed at 370 x 375 ({hints})")
    program.click_at(308 + 23, 3 + 11, 3)  # a right click on the "0" button
    time.sleep(1)
    check(not program.message_boxes(), "a right click on the \"0\" button shows nothing")


def width_of(window):
    return Program.geometry(window)[2]


def check_read_only_save(program):
    path = os.path.join(program.folder, "readonly.KRP")
    with open(path, "wb") as out:
        out.write(bytes(range(192)))
    os.chmod(path, 0o444)
    before = open(path, "rb").read()
    for attempt in range(3):  # the menu may be slow to open on a busy machine
        xdotool("mousemove", "--sync", str(program.left + 25), str(program.top + 8))  # "Fichier"
        xdotool("click", "1")
        time.sleep(0.5 + attempt)
        xdotool("key", "Down", "Down", "Down", "Return")  # Nouveau, Ouvrir, Enregistrer
        if wait_for(lambda: any(width_of(w) > 400 for w in program.message_boxes()), 5):
            break
        xdotool("key", "Escape")
    check(any(width_of(w) > 400 for w in program.message_boxes()), "the save dialog opens")
    time.sleep(0.5)
    xdotool("type", "--delay", "20", path)
    xdotool("key", "Return")
    # The dialog asks before writing over the file: "Oui".
    check(wait_for(lambda: len(program.message_boxes()) == 2), "the dialog asks to write over it")
    xdotool("key", "Tab", "Return")
    check(wait_for(lambda: len(program.message_boxes()) == 1 and
                   width_of(program.message_boxes()[0]) < 400),
          f"one message box says the save failed ({program.message_boxes()})")
    xdotool("key", "Return")
    check(wait_for(lambda: not program.message_boxes()), "Return closes it")
    check(open(path, "rb").read() == before, "the read-only saved game keeps its bytes")


def check_pipe_named_at_start(executable):
    def make_pipe(folder):
        path = os.path.join(folder, "pipe.KRP")
        os.mkfifo(path)
        return path

    started = time.monotonic()
    program = UserProgram(executable, [make_pipe], allow_message_at_start=True)
    try:
        check(wait_for(lambda: program.message_boxes(), 5),
              f"a pipe named as the saved game gives a message at once "
              f"({time.monotonic() - started:.1f} s)")
    finally:
        program.close()


def chooser_of(program):
    return next((w for w in program.windows()
                 if run("xdotool", "getwindowname", w).strip() == "SKIN"), None)


def pick_skin(program, row):
    check(wait_for(lambda: chooser_of(program) is not None), "the skin chooser is open")
    chooser = chooser_of(program)
    xdotool("windowactivate", "--sync", chooser)
    info = run("xwininfo", "-id", chooser)
    left = int(info.split("Absolute upper-left X:")[1].split()[0])
    top = int(info.split("Absolute upper-left Y:")[1].split()[0])
    xdotool("mousemove", "--sync", str(left + 30), str(top + 7 + 13 * row))
    xdotool("click", "1")
    time.sleep(1.5)


def check_minimise_button(program):
    xdotool("key", "--window", program.window, "ctrl+s")
    pick_skin(program, 0)  # Bois: the skinned look
    board = program.board_window()
    xdotool("mousemove", "--sync", str(program.left + 264 + 16), str(program.top + 8 + 16))
    xdotool("click", "1")
    check(wait_for(lambda: window_state(board) == "Iconic"), "the minimise button minimises")
    xdotool("windowactivate", board)
    check(wait_for(lambda: window_state(board) == "Normal"), "the taskbar brings it back")
    pick_skin(program, 1)  # Marbre: the skinned look again
    board = program.board_window()
    time.sleep(1)
    check(window_state(board) == "Normal",
          "a skin applied after the restore leaves the window on the screen")


def settled_board_window(program):
    """The board window once a skin applied has made it anew and it has stayed put a second."""
    last = None
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        board = program.board_window()
        now = (board, Program.geometry(board))
        if now == last:
            return board
        last = now
        time.sleep(1)
    return last[0]


def check_skin_button(program):
    """The skinned look's skin button: a drag by it moves the window with the pointer until the
    button is let go, and no further."""
    board = settled_board_window(program)
    start = Program.geometry(board)[:2]
    x, y = start[0] + 136 + 16, start[1] + 8 + 16  # the skin button, over the board's column D
    xdotool("mousemove", "--sync", str(x), str(y))
    xdotool("mousedown", "1")
    time.sleep(0.5)  # as a hand holds the button a moment before it moves, on a busy machine too
    for step in range(1, 11):
        xdotool("mousemove", "--sync", str(x + 6 * step), str(y + 4 * step))
        time.sleep(0.1)
    moved = (start[0] + 60, start[1] + 40)
    # A busy machine may let the program take the press after the pointer stopped: the move then
    # starts from the press's place at the pointer's next motion, the button still held.
    for _ in range(10):
        if wait_for(lambda: Program.geometry(board)[:2] == moved, 0.5):
            break
        xdotool("mousemove", "--sync", str(x + 61), str(y + 41))
        xdotool("mousemove", "--sync", str(x + 60), str(y + 40))
    xdotool("mouseup", "1")
    check(Program.geometry(board)[:2] == moved,
          f"a drag by the skin button moves the window with the pointer "
          f"({start} to {Program.geometry(board)[:2]}, expected {moved})")
    xdotool("mousemove", "--sync", str(x + 200), str(y + 150))
    time.sleep(1)
    check(Program.geometry(board)[:2] == moved,
          f"the window stays once the button is let go ({Program.geometry(board)[:2]})")

    # The white the skin leaves round its frame is no part of the window: the screen shows what
    # lies behind it there.
    screen = Screen()
    corner = screen.pixel(moved[0] + 355, moved[1] + 360)
    check(corner != (255, 255, 255), f"the white beside the frame is not drawn ({corner})")
    square = screen.pixel(moved[0] + 40 + 16, moved[1] + 168 + 16)
    check(square != corner, f"an empty square of the board is ({square})")


def found_board(program):
    try:
        program.find_client_top(Screen())
        return True
    except AssertionError:
        return False


def main():
    executable = sys.argv[1]
    window_manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        check_pipe_named_at_start(executable)
        program = UserProgram(executable)
        try:
            check(wait_for(lambda: found_board(program)), "the board window shows the board")
            check_size_and_controls(program)
            check_read_only_save(program)
            check_minimise_button(program)
            check_skin_button(program)
        finally:
            program.close()
    finally:
        window_manager.terminate()
    print("window manager test passed")


if __name__ == "__main__":
    main()
