// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that a move made with the mouse is held to. A move is a series of clicks: the first
// selects a piece, each further one lands a step; a right-button step is a capture in the middle of
// a chain and keeps the piece selected, a left-button step ends the move and passes the turn.
#pragma once

#include "game/board.h"
#include "game/game_state.h"

namespace zelbo {

struct MoveCheckResult {
  bool ok;             // the moving piece's rules allow the step (the landing square aside)
  SquareRef captured;  // the piece the step takes, or no_square
};

// Checks one step of the piece on `from`: a man one square forward, or two over a piece of the
// other side; a king any distance along a diagonal, not over its own pieces nor over two pieces of
// the other side standing together, taking the last piece of the other side on its path.
MoveCheckResult CheckMove(const GameState& state, SquareRef from, SquareRef to);

// The same check on any board; the capture is 0 when the step takes nothing.
MoveCheckResult CheckStep(const Board& board, SquareRef from, SquareRef to);

// True when `side` has a piece with a legal step onto an empty square: a move its player could
// make.
bool HasLegalMove(const Board& board, int side);

// Applies the step from selected_square to target_square, removing captured_square, promoting,
// then keeping the turn (`continue_chain`) or passing it, and redrawing.
void ApplyMove(GameState& state, BoardWindowPort& port, bool continue_chain);

// Gives up the move a player has begun: nothing is selected any more, and the steps of a chain
// already landed are put back.
void DropMoveUnderWay(GameState& state);

// One mouse-button release over square `s` (0 off the board): `final` is the left button. A move
// that ends joins the game's record, and the end-of-game rules that follow a move are checked.
void PlayerClick(GameState& state, BoardWindowPort& port, SquareRef s, bool final);

}  // namespace zelbo
