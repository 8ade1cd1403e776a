// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's whole reply, as side +1, to a move of the player: its experience first when the
// "Experience" mark is checked, else a capture, else a plain move; then the end-of-game checks.
// The board window and zelbo-cli let it reply after every board click they took.
#pragma once

#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// One turn of side +1: plays a move (or declares the computer blocked) and runs the end-of-game
// checks that follow a searched move. A move from experience is trusted and checked by nothing.
void ComputerTurn(GameState& state, BoardWindowPort& port);

// After a board click: when the computer plays, it is its turn and the game is still on, the
// computer plays and its position is appended to the take-back list, whose count the take-back
// button shows. A game that has just ended gets no reply.
void ComputerReply(GameState& state, BoardWindowPort& port);

}  // namespace zelbo
