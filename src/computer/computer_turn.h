// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's whole reply, as side +1, to a move of the player: its experience first when the
// "Experience" mark is checked, else a capture, else a plain move; then the end-of-game checks.
// The board window and zelbo-cli let it reply after every board click they took.
#pragma once

#include <cstdint>

#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// What a turn played, for the game's record.
struct TurnMove {
  enum class Kind : uint8_t { kNone, kExperience, kCapture, kPlain };
  Kind kind = Kind::kNone;
  SquareRef from = 0;      // the piece that moved; for a capture, the piece whose chain was played
  SquareRef to = 0;        // a plain move's or an experience record's landing
  SquareRef captured = 0;  // the square an experience record's move empties
};

// One turn of side +1: plays a move (or declares the computer blocked) and runs the end-of-game
// checks that follow a searched move. A move from experience is trusted and checked by nothing.
// Returns what it played.
TurnMove ComputerTurn(GameState& state, BoardWindowPort& port);

// After a board click: when the computer plays, it is its turn and the game is still on, the
// computer plays, its move joins the record (and may end the game by a draw rule), and its
// position is appended to the take-back list, whose count the take-back button shows. A game that
// has just ended gets no reply.
void ComputerReply(GameState& state, BoardWindowPort& port);

// The move a turn played from `before`, as the record keeps it, ending on the board now in
// `state`; then the end-of-game rules that follow a move. Nothing is recorded for no move.
void RecordTurn(GameState& state, BoardWindowPort& port, const GamePosition& before,
                const TurnMove& played);

}  // namespace zelbo
