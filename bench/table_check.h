// SPDX-License-Identifier: GPL-3.0-or-later
// The endgame tables checked against searches that know nothing of them: the engine's own search,
// and, where it disagrees, a plain alpha-beta over the generator's moves that reduces nothing
// (slow, but exact to its depth). Shared by the tables' test and zelbo_endings.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/search.h"
#include "engine/tables/endgame_tables.h"

namespace zelbo::bench {

// The engine's score of a position searched to `depth`, for the side to move. The search plays a
// lone move without scoring it: its position is searched instead, one ply nearer any end.
inline int DeepScore(engine::Searcher& searcher, const engine::Position& position, int depth) {
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  if (moves.empty()) return -engine::kMate;
  if (moves.size() == 1) {
    const int after = DeepScore(searcher, engine::MakeMove(position, moves[0]), depth - 1);
    if (after > engine::kMateBound) return -after + 1;
    if (after < -engine::kMateBound) return -after - 1;
    return -after;
  }
  engine::SearchLimits limits;
  limits.depth = depth;
  return searcher.Search(position, limits, engine::EvalWeights{}).score;
}

// Plain alpha-beta to `depth` plies: a mate score where a side runs out of moves, 0 anywhere else.
// The tables only order the moves, which changes the time it takes, never the score. Counts its
// positions in `nodes`.
inline int ExactScore(const engine::EndgameTables& tables, const engine::Position& p, int depth,
                      int alpha, int beta, int ply, uint64_t& nodes) {
  ++nodes;
  engine::MoveList moves;
  engine::GenerateMoves(p, moves);
  if (moves.empty()) return -engine::kMate + ply;
  if (depth == 0) return 0;
  std::vector<std::pair<int, int>> order;  // best first by the tables
  for (int i = 0; i < moves.size(); ++i) {
    const auto after = tables.Probe(engine::MakeMove(p, moves[i]));
    const int value = after ? -after->result * (1000 - after->plies) : 0;
    order.emplace_back(-value, i);
  }
  std::sort(order.begin(), order.end());
  for (const auto& [unused, i] : order) {
    const int score = -ExactScore(tables, engine::MakeMove(p, moves[i]), depth - 1, -beta, -alpha,
                                  ply + 1, nodes);
    if (score > alpha) alpha = score;
    if (alpha >= beta) break;
  }
  return alpha;
}

// A win or loss is a mate in exactly the tables' number of plies; a draw, no mate.
inline bool Agrees(const engine::TableValue& value, int score) {
  if (value.result == 0) return std::abs(score) < engine::kMateBound;
  return score == value.result * (engine::kMate - value.plies);
}

// How a position's value was confirmed: by the engine's search at once, 6 plies deeper, or only by
// the plain alpha-beta (the search erred); or not at all (`kWrong`).
enum class Confirmed { kAtOnce, kDeeper, kByAlphaBeta, kWrong };

// Checks a position's value: a win or loss searched 3 plies deeper than its distance, a draw 7
// plies deep; where the engine's search disagrees, 6 plies deeper (it reduces late moves); where
// it still does, the plain alpha-beta to the same depth.
inline Confirmed CheckValue(engine::Searcher& searcher, const engine::EndgameTables& tables,
                            const engine::Position& p, const engine::TableValue& value) {
  const int depth = value.result == 0 ? 7 : value.plies + 3;
  if (Agrees(value, DeepScore(searcher, p, depth))) return Confirmed::kAtOnce;
  if (Agrees(value, DeepScore(searcher, p, depth + 6))) return Confirmed::kDeeper;
  uint64_t nodes = 0;
  const int exact = ExactScore(tables, p, value.result == 0 ? 7 : value.plies, -engine::kMate - 1,
                               engine::kMate + 1, 0, nodes);
  return Agrees(value, exact) ? Confirmed::kByAlphaBeta : Confirmed::kWrong;
}

}  // namespace zelbo::bench
