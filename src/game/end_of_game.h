// SPDX-License-Identifier: GPL-3.0-or-later
// The two checks that end a game from the player's side: no piece left on one side (which also
// sets the piece gauges), and every piece of the player blocked with nothing to capture.
#pragma once

#include "game/board.h"
#include "game/game_state.h"

namespace zelbo {

// True when the piece of side -1 on `s` has no plain one-square step: a king in no direction, a
// man in neither of its forward directions. Captures do not free a piece; other codes are blocked.
bool IsBlocked(const Board& board, SquareRef s);

// Ends the game as lost when side -1 has pieces, every one of them is blocked, and the last
// plain-move choice found nothing for the player to capture.
void CheckPlayerBlocked(GameState& state, BoardWindowPort& port);

// Sets the gauges to 10 per piece and ends the game when a side has no piece left. It does not
// look at GameOver first: every call on such a position says so again.
void CheckMaterial(GameState& state, BoardWindowPort& port);

}  // namespace zelbo
