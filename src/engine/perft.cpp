#include "engine/perft.h"

#include "engine/move_gen.h"

namespace zelbo::engine {

// At the last level the moves are counted, not made.
uint64_t Perft(const Position& position, int depth) {
  if (depth <= 0) return 1;
  MoveList moves;
  GenerateMoves(position, moves);
  if (depth == 1) return static_cast<uint64_t>(moves.size());
  uint64_t count = 0;
  for (const Move& move : moves) count += Perft(MakeMove(position, move), depth - 1);
  return count;
}

}  // namespace zelbo::engine
