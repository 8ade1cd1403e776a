#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The last move's mark and the record window in a real X window, clicked with xdotool.

    xvfb-run -a -s "-screen 0 800x600x24 -noreset" python3 record_window_test.py BUILD/zelbo [SHOTS]

A game from the opening: the computer's reply is framed on the board, the record window
("Outils > Partie", Ctrl+P) shows the start and the position after each move while the board is not
played, "Jouer d'ici" takes the game up from the start, and under a skin the next reply is framed
too. A game from a saved position that the player wins: the record window still shows its final
position, and its start. With a folder as SHOTS, a screenshot of each step is written there.
"""
import os
import subprocess
import sys
import time

from window_manager_test import wait_for
from window_test import (INITIAL, ORIGIN, SIZE, Program, Screen, check, saved_game, squares_of,
                         xdotool)

MARK = (255, 64, 192)
NOTE = (255, 255, 215)
SHOTS = sys.argv[2] if len(sys.argv) > 2 else None
AFTER_D6_E5 = "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.xpx.x/xpx.xpxp/pxpxpxpx/xpxpxpxp"
# The player wins by taking both men: B6 to D4 (right button) to F2.
WON_IN_ONE = ".x.x.x.x/x.x.x.x./.x.xcx.x/x.x.x.x./.xcx.x.x/xpx.x.x./.x.x.x.x/x.x.x.x."


def shot(name):
    if SHOTS:
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, name + ".png")], check=True)


def square_name(row, column):
    """The name of a square given as squares_of gives it (row and column from 0)."""
    return "ABCDEFGH"[column] + str(row + 1)


def framed(program, square, screen=None):
    """The square shows the mark's frame two pixels inside its top and its left side."""
    screen = screen or Screen()
    column, row = "ABCDEFGH".index(square[0]) + 1, int(square[1])
    left = program.left + ORIGIN + (column - 1) * SIZE
    top = program.client_top + ORIGIN + (row - 1) * SIZE
    return (screen.pixel(left + SIZE // 2, top + 2) == MARK and
            screen.pixel(left + 2, top + SIZE // 2) == MARK)


def framed_squares(program):
    screen = Screen()
    return {f"{c}{r}" for c in "ABCDEFGH" for r in range(1, 9) if framed(program, f"{c}{r}", screen)}


def shows_note(program):
    """The note under the board that an earlier position is shown."""
    return Screen().pixel(program.left + ORIGIN + 4 * SIZE,
                          program.client_top + ORIGIN + 8 * SIZE + SIZE // 2) == NOTE


def open_record_window(program):
    program.key("ctrl+p")
    check(wait_for(lambda: len(program.message_boxes()) == 1), "Ctrl+P opens the record window")
    record = program.message_boxes()[0]
    title = xdotool("getwindowname", record).strip()
    check(title.startswith("Partie"), f"the record window is captioned '{title}'")
    return record


def record_key(program, record, key):
    program.key(key, record)
    time.sleep(0.4)


def click_play_from(record):
    """'Jouer d'ici', the last button at the bottom of the record window."""
    values = dict(line.partition("=")[::2] for line in
                  xdotool("getwindowgeometry", "--shell", record).splitlines())
    x = int(values["X"]) + int(values["WIDTH"]) // 2
    y = int(values["Y"]) + int(values["HEIGHT"]) - 22
    xdotool("mousemove", "--sync", str(x), str(y))
    xdotool("click", "1")
    time.sleep(0.5)


def dismiss_message(program):
    check(wait_for(lambda: program.message_boxes()), "a message box is shown")
    boxes = program.message_boxes()
    program.key("Return", boxes[0])
    wait_for(lambda: not program.message_boxes())


def check_game_from_the_opening(executable):
    program = Program(executable)
    try:
        time.sleep(0.5)
        program.find_client_top(Screen())
        program.click(4, 6, 1)
        time.sleep(0.3)
        program.click(5, 5, 1)
        board = program.wait_for_board(INITIAL)
        (reply_from,) = squares_of(AFTER_D6_E5, "c") - squares_of(board, "c")
        (reply_to,) = squares_of(board, "c") - squares_of(AFTER_D6_E5, "c")
        reply = {square_name(*reply_from), square_name(*reply_to)}
        shot("1-reply-marked")
        check(framed_squares(program) == reply, f"the computer's reply {sorted(reply)} is framed")
        program.click(6, 6, 1)  # selects F6: the mark goes
        time.sleep(0.3)
        check(not framed_squares(program), "a click on the board puts the mark away")

        record = open_record_window(program)
        shot("2-record-window")
        record_key(program, record, "Home")
        shot("3-start-shown")
        check(program.board() == INITIAL, "Home shows the start on the board")
        check(shows_note(program), "a note under the board says it is an earlier position")
        program.click(4, 6, 1)
        program.click(4, 5, 1)
        time.sleep(0.3)
        check(program.board() == INITIAL and program.message_boxes() == [record],
              "the board shown is not played, and no box says anything")
        record_key(program, record, "Right")
        check(program.board() == AFTER_D6_E5, "the right arrow shows the position after 1. D6-E5")
        check(framed_squares(program) == {"D6", "E5"}, "with the move that led there framed")
        record_key(program, record, "End")
        check(program.board() == board and not shows_note(program), "End shows the game again")

        record_key(program, record, "Home")
        click_play_from(record)
        check(program.board() == INITIAL and not shows_note(program),
              "'Jouer d'ici' takes the game up from the start")
        program.click(6, 6, 1)
        time.sleep(0.3)
        program.click(7, 5, 1)
        after = program.wait_for_board(INITIAL)
        check(len(framed_squares(program)) == 2, "the reply to F6-G5 is framed")

        # Under the skin "Bois", chosen in the chooser (Ctrl+S) by its first letter: the window has
        # no menu bar then, and the board is at the top of its window.
        program.key("ctrl+s")
        check(wait_for(lambda: len(program.message_boxes()) == 2), "Ctrl+S opens the chooser")
        chooser = [w for w in program.message_boxes() if w != record][0]
        program.key("b", chooser)
        program.key("Return", chooser)
        xdotool("windowmove", "--sync", chooser, "420", "380")  # off the board
        time.sleep(1.5)
        program.window = program.find_window()
        program.left, program.top = program.geometry(program.window)[:2]
        program.client_top = program.top
        rows = after.split("/")
        piece = next((c, r) for c, r in ((1, 7), (3, 7), (5, 7), (7, 7))
                     if rows[r - 1][c - 1] == "p" and rows[r - 2][c] == ".")
        program.click(piece[0], piece[1], 1)
        time.sleep(0.3)
        program.click(piece[0] + 1, piece[1] - 1, 1)
        framed_reply = wait_for(lambda: len(framed_squares(program)) == 2)
        shot("4-skin-reply-marked")
        check(framed_reply, "under a skin the reply is framed as well")
    finally:
        program.close()


def check_game_from_a_saved_position(executable):
    def write_game(folder):
        path = os.path.join(folder, "gagne.KRP")
        with open(path, "wb") as out:
            out.write(saved_game(WON_IN_ONE))
        return path

    program = Program(executable, [write_game])
    try:
        time.sleep(0.5)
        program.find_client_top(Screen(), WON_IN_ONE)
        program.click(2, 6, 1)
        time.sleep(0.3)
        program.click(4, 4, 3)
        time.sleep(0.3)
        program.click(6, 2, 1)
        dismiss_message(program)
        record = open_record_window(program)
        record_key(program, record, "End")
        shot("5-final-position")
        final = program.board()
        check(final.split("/")[1][5] == "p" and "c" not in final,
              f"after the end, the final position is shown\n{final}")
        check(framed_squares(program) == {"B6", "D4", "F2"}, "with the winning chain framed")
        record_key(program, record, "Left")
        check(program.board() == WON_IN_ONE, "and the saved position it started from")
    finally:
        program.close()


def main():
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
    check_game_from_the_opening(sys.argv[1])
    check_game_from_a_saved_position(sys.argv[1])
    print("record window test passed")


if __name__ == "__main__":
    main()
