// SPDX-License-Identifier: GPL-3.0-or-later
// Perft: how many positions lie a number of moves deep, counting at each position the distinct
// positions its moves leave. The generator's own check against a slower count built on the move
// rules, and the measure of its speed.
#pragma once

#include <cstdint>

#include "engine/position.h"

namespace zelbo::engine {

uint64_t Perft(const Position& position, int depth);

}  // namespace zelbo::engine
