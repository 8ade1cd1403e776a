// SPDX-License-Identifier: GPL-3.0-or-later
// A board as a grid for people: the column letters above, each row under its number, one
// notation character per square.
#pragma once

#include <string>

#include "game/board.h"

namespace zelbo {

// "  A B C D E F G H\n1 c x c x ...\n" down to row 8.
std::string BoardGrid(const Board& board);

}  // namespace zelbo
