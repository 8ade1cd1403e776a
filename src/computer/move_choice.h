// SPDX-License-Identifier: GPL-3.0-or-later
// How the computer, side +1, chooses its move when its experience has none: the capture chain that
// takes the most pieces, the one leaving the player fewest chances to take back among equals; and
// only when nothing can be taken, the plain move after which the player could take least. No move
// at all means the computer is blocked and the player wins. There is no chance and no look-ahead
// beyond the player's immediate captures.
#pragma once

#include <cstdint>

#include "game/board.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// Plays the best capture chain of side +1 on the board and passes the turn, setting
// `move_played`; when nothing can be taken the board stays as it was and the flag untouched.
// Returns the square of the piece whose chain was played, 0 for none.
SquareRef ChooseCapture(GameState& state, bool& move_played);

// How many pieces of side +1 the player could take, one more for each such capture after which
// the taking piece could take again. The board is left as it was.
uint8_t CounterThreatCount(Board& board);

// True when the piece of side -1 on `s` can take a piece of side +1 at once.
bool PlayerCanCaptureFrom(const Board& board, SquareRef s);

// A plain move of side +1: the square the piece leaves and the one it lands on; 0 for none.
struct PlainMove {
  SquareRef from = 0;
  SquareRef to = 0;
};

// Chooses the plain move of side +1 after which the player could take least, the first such move
// in the order of candidates, never one that leaves the player 13 or more. Sets `move_played` and
// `chosen` when it finds one, and in any case both capture scores of the board before the move.
// Returns the move chosen.
PlainMove ChoosePlainMove(GameState& state, bool& move_played, Board& chosen);

// Plays the chosen plain move, or declares the computer blocked and the game won by the player.
// Returns the move played.
PlainMove PlayPlainMove(GameState& state, BoardWindowPort& port, bool& move_played);

}  // namespace zelbo
