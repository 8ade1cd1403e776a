// SPDX-License-Identifier: GPL-3.0-or-later
// Moves as each side of the game plays them, for the record and for reading a game back. A move
// is judged by the rules of the side that made it, as this program plays it:
// - a player's clicks, for either side: every step follows the move rules and lands on an empty
//   square, every step but the last takes a piece, a man reaching its last row is crowned at once;
// - the designed computer (side +1) also plays its own capture chains, whose king may slide along
//   its line between two captures and run on when it stays exposed: such a chain is legal when it
//   is exactly the chain the computer plays from that square;
// - an experience record's move (side +1) is played as stored, the piece on its square moved to
//   the other and the square it names emptied, as the experience store is trusted.
// The searching levels play the player's rules, so their moves are judged as clicks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/board.h"
#include "record/game_record.h"

namespace zelbo {

// A move as written: the square left and each landing. An experience record's move has one
// landing and names the square it empties (0 for none).
struct WrittenMove {
  SquareRef from = 0;
  std::vector<SquareRef> landings;
  bool experience = false;
  SquareRef emptied = 0;
  friend bool operator==(const WrittenMove&, const WrittenMove&) = default;
};

// The written form of a recorded move.
WrittenMove WrittenFormOf(const RecordedMove& move);

// The verdict on a written move: the move as played, with its steps and the position after it;
// or, when it cannot be played, why not, in French.
struct MoveVerdict {
  std::optional<RecordedMove> move;
  std::string refusal;
};

// Plays `written` for the side to move of `position` by the rules above, on a copy of the board.
MoveVerdict JudgeMove(const GamePosition& position, const WrittenMove& written);

// The designed computer's capture chain of the piece on `from`, as its turn plays it: every step
// (a slide takes nothing), the run of an exposed king as one last step, the crowning at the end. A
// move without steps when the piece can take nothing.
RecordedMove DesignedChain(const Board& before, int8_t side, SquareRef from);

// An experience record's move as stored, from `from` to `to`, emptying `captured` when it names a
// playable square. The step's taken square is `captured` only when a piece stood there.
RecordedMove ExperienceMove(const Board& before, int8_t side, SquareRef from, SquareRef to,
                            SquareRef captured);

// A plain step from `from` to `to` that takes nothing, as the designed computer's plain moves are.
RecordedMove PlainStep(const Board& before, int8_t side, SquareRef from, SquareRef to);

// A move made of landings (a searching level's), judged as clicks; when the rules refuse it, the
// landings as they are, with nothing taken.
RecordedMove MoveOfLandings(const GamePosition& before, SquareRef from,
                            const std::vector<SquareRef>& landings);

}  // namespace zelbo
