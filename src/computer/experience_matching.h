// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's experience: before it searches, the computer looks through the experience store,
// newest record first, for a pattern that matches the board, announces the record and plays the
// move stored with it, exactly as stored and without checking it against the rules.
//
// A record whose move names no square (From or To with low byte 0), or whose From, To or Captured
// lies off the 8 x 8 board (a damaged or hand-made store), is passed over as if it did not match:
// playing it would read or write squares that do not exist. It stays in the store unchanged.
#pragma once

#include "experience/experience_record.h"
#include "game/board.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// True when each of the 64 squares of the pattern matches the board: "not important" matches
// anything, "any piece of side +1" a man or king of side +1, "any piece of side -1" a man or king
// of side -1, and every other code only itself.
bool PatternMatches(const ExperienceRecord& record, const Board& board);

// True when the record's move can be played on an 8 x 8 board: From and To name squares there,
// and Captured names one there or none.
bool HasPlayableMove(const ExperienceRecord& record);

// A record's move as stored: the code on From goes to To, which promotes a man on its last row,
// and Captured, when it names a playable square, is emptied. Nothing is checked.
void PlayStoredMove(Board& board, SquareRef from, SquareRef to, SquareRef captured);

// Plays the move of the newest matching record with a playable move, after the message
// "Similar Experience N:°" with its index, and sets `move_played`; the side to move passes. Does
// nothing when no record matches. The board is not redrawn here. Returns the record played, none
// when nothing was played.
const ExperienceRecord* PlayExperience(GameState& state, BoardWindowPort& port, bool& move_played);

}  // namespace zelbo
