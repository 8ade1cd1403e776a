// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/perft.h"

#include <memory>

#include "engine/move_gen.h"

namespace zelbo::engine {
namespace {

// At the last level the moves are counted, not made. One move list a level, made once.
uint64_t Count(const Position& position, int depth, MoveList* lists) {
  MoveList& moves = lists[depth];
  GenerateMoves(position, moves);
  if (depth == 1) return static_cast<uint64_t>(moves.size());
  uint64_t count = 0;
  for (const Move& move : moves) count += Count(MakeMove(position, move), depth - 1, lists);
  return count;
}

}  // namespace

uint64_t Perft(const Position& position, int depth) {
  if (depth <= 0) return 1;
  const auto lists = std::make_unique<MoveList[]>(static_cast<std::size_t>(depth) + 1);
  return Count(position, depth, lists.get());
}

}  // namespace zelbo::engine
