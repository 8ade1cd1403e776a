// SPDX-License-Identifier: GPL-3.0-or-later
// One record of the experience store: a board pattern whose cells may hold wildcards, and the move
// the computer plays when the game's board matches it. 198 bytes, as the file stores it.
#pragma once

#include <cstdint>

#include "game/board.h"

namespace zelbo {

struct ExperienceRecord {
  Board pattern;
  SquareRef from;      // the piece the computer moves; low byte 0 for none
  SquareRef to;        // where it lands
  SquareRef captured;  // the piece the move removes; low byte 0 for none

  friend bool operator==(const ExperienceRecord&, const ExperienceRecord&) = default;
};
static_assert(sizeof(ExperienceRecord) == 198);

}  // namespace zelbo
