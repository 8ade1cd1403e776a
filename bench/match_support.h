// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine's measurements share: openings, the designed computer playing either side, and
// a searching level's reply checked against the move rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/levels.h"
#include "game/board.h"

namespace zelbo::bench {

// `count` distinct positions `plies` moves after the opening (all of them when there are fewer):
// spread evenly over all of them in the generator's order, or with a `seed`, the first of them
// shuffled by that seed.
std::vector<Board> Openings(int plies, int count, uint64_t seed = 0);

// The board turned half a turn with the sides' codes swapped: side -1's position seen as side
// +1's. Doing it twice gives the board back.
Board Rotated(const Board& board);

// The designed computer's reply for `side`: its own turn, on the rotated board for side -1. No
// value when it declares itself blocked.
std::optional<Board> DesignedReply(const Board& board, int side);

// The board after a searching level's move entered as clicks through the click protocol (left
// on the piece, right on each middle landing, left on the last), or no value when a click is
// refused or the side does not pass. `game_ended` tells that a capture took the last piece.
std::optional<Board> ClickedReply(const Board& board, int side, const LevelMove& move,
                                  bool& game_ended);

// The board after a searching level's move, or no value when its clicks are refused or it is not
// one of the rules' moves for `side`.
std::optional<Board> CheckedReply(const Board& board, int side, const LevelMove& move);

// True when `side` has a legal move by the rules.
bool HasMove(const Board& board, int side);

}  // namespace zelbo::bench
