// SPDX-License-Identifier: GPL-3.0-or-later
// The two checks that end a game from the player's side: no piece left on one side (which also
// sets the piece gauges), and every piece of the player blocked with nothing to capture.
#pragma once

#include <string_view>

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

// The men and kings of `side` on the board.
int PieceCount(const Board& board, int side);

// "les blancs (en bas)" for side -1, "les noirs (en haut)" for side +1: the sides as the messages
// of the game's end name them.
std::string_view SideName(int side);

// Writes into the record the result of a game that has just ended by the checks above or a
// blocked side: the side left without pieces has lost, else the side to move (which could not
// move). Nothing while the game goes on or once the record has its result.
void NoteResult(GameState& state);

// After a move has joined the record: the result of a game that the move ended; else a draw when
// the position occurs for the third time or when the 50th move in a row (25 of each side) moved a
// king and took nothing; else, in two-player mode, the loss of the side to move when it has
// pieces but no legal move.
void CheckGameEnds(GameState& state, BoardWindowPort& port);

// The side to move gives up: the game ends as its loss. A move under way is given up first.
// Nothing once the game is over.
void Resign(GameState& state, BoardWindowPort& port);

// A draw offered and accepted, by the computer (`by_computer`) or, in two-player mode, by the
// other player at the same mouse: the game ends drawn. A move under way is given up first.
// Nothing once the game is over.
void EndByAgreedDraw(GameState& state, BoardWindowPort& port, bool by_computer);

// The computer (`by_computer`), or in two-player mode the other player at the mouse, turns a draw
// offer down; the game goes on.
void RefuseDraw(BoardWindowPort& port, bool by_computer = true);

}  // namespace zelbo
