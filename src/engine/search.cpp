// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/tables/endgame_tables.h"

namespace zelbo::engine {
namespace {

constexpr int kInfinity = kMate + 1;
enum Bound : uint8_t { kNone = 0, kUpper = 1, kLower = 2, kExact = 3 };

constexpr int kTableMoveScore = 1 << 30;
constexpr int kCaptureScore = 1 << 24;
constexpr int kKillerScore = 1 << 22;

// Mate scores are stored as distances from the node, read back as distances from the root.
int ToTable(int score, int ply) {
  if (score > kMateBound) return score + ply;
  if (score < -kMateBound) return score - ply;
  return score;
}
int FromTable(int score, int ply) {
  if (score > kMateBound) return score - ply;
  if (score < -kMateBound) return score + ply;
  return score;
}

bool SameMove(const Move& a, const Move& b) {
  return a.from == b.from && a.to == b.to && a.captured == b.captured &&
         a.king_after == b.king_after;
}

bool Irreversible(const Position& p, const Move& m) {
  return m.captured != 0 || !((p.kings >> m.from) & 1);
}

}  // namespace

struct Searcher::Entry {
  uint64_t key;
  Bitboard captured;
  int16_t score;
  uint8_t from, to;
  uint8_t depth;
  uint8_t bound_king;  // bound in bits 0-1, king_after in bit 2
  uint8_t generation;  // of the search that wrote it
};

struct Searcher::Ply {
  MoveList moves;
  int scores[MoveList::kCapacity];
};

Searcher::Searcher(std::size_t table_entries)
    : table_(nullptr, std::free), plies_(std::make_unique<Ply[]>(kMaxPly + 1)) {
  std::size_t entries = std::bit_floor(std::max<std::size_t>(table_entries, 1024));
  // Zeroed pages come from the system untouched, so a large table costs nothing until used.
  table_.reset(static_cast<Entry*>(std::calloc(entries, sizeof(Entry))));
  if (!table_) throw std::bad_alloc();
  table_mask_ = entries - 1;
  path_keys_.resize(kMaxPly + 1);
  reversible_.resize(kMaxPly + 1);
}

Searcher::~Searcher() = default;

Searcher::Entry* Searcher::Probe(uint64_t key) {
  Entry* e = &table_.get()[key & table_mask_];
  return e->key == key && e->generation >= first_usable_ ? e : nullptr;
}

// A deeper entry of another position of this search is kept; anything else is replaced.
void Searcher::Store(uint64_t key, int depth, int score, int bound, const Move& move, int ply) {
  Entry* e = &table_.get()[key & table_mask_];
  if (e->generation == generation_ && e->key != key && e->depth > depth + 2) return;
  e->key = key;
  e->score = static_cast<int16_t>(ToTable(score, ply));
  e->depth = static_cast<uint8_t>(std::max(depth, 0));
  e->generation = generation_;
  e->captured = move.captured;
  e->from = move.from;
  e->to = move.to;
  e->bound_king = static_cast<uint8_t>(bound | (move.king_after ? 4 : 0));
}

bool Searcher::OutOfTime() {
  if (stopped_) return true;
  if ((nodes_ & 255) != 0) return false;
  if (limits_.stop != nullptr && limits_.stop->load(std::memory_order_relaxed)) stopped_ = true;
  if (limits_.milliseconds > 0) {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    if (elapsed >= std::chrono::microseconds(int64_t{limits_.milliseconds} * 900)) stopped_ = true;
  }
  return stopped_;
}

bool Searcher::Repeated(const Position& p, int ply) const {
  const int run = reversible_[ply];
  for (int back = 2; back <= run && back <= ply; back += 2) {
    if (path_keys_[ply - back] == p.key) return true;
  }
  if (run >= ply) {
    for (const uint64_t key : game_keys_) {
      if (key == p.key) return true;
    }
  }
  return false;
}

ZELBO_BIT_COUNT_CLONES void Searcher::Order(const Position& p, Ply& data, const Move* table_move,
                                            int ply) {
  const int us = SideIndex(p.side);
  for (int i = 0; i < data.moves.size(); ++i) {
    const Move& m = data.moves[i];
    int score;
    if (table_move != nullptr && SameMove(m, *table_move)) {
      score = kTableMoveScore;
    } else if (m.captured) {
      score = kCaptureScore + 1000 * BitCount(m.captured) + 500 * BitCount(m.captured & p.kings) +
              (m.king_after && !m.king_before) * 300;
    } else if (ply < kMaxPly && SameMove(m, killers_[ply][0])) {
      score = kKillerScore;
    } else if (ply < kMaxPly && SameMove(m, killers_[ply][1])) {
      score = kKillerScore - 1;
    } else {
      score = history_[us][m.from][m.to] + (m.king_after && !m.king_before) * 5000;
    }
    data.scores[i] = score;
  }
}

// Moves the best-scored of the moves from i on to place i.
void PickNext(MoveList& moves, int* scores, int i) {
  int best = i;
  for (int j = i + 1; j < moves.size(); ++j) {
    if (scores[j] > scores[best]) best = j;
  }
  std::swap(moves[i], moves[best]);
  std::swap(scores[i], scores[best]);
}

// Whether the side to move has a plain step, so that standing pat is a real choice.
bool HasPlainStep(const Position& p) {
  const Bitboard own = p.Own();
  const Bitboard empty = p.Empty();
  for (int d = 0; d < 4; ++d) {
    const bool forward = d >= FirstForward(p.side) && d < FirstForward(p.side) + 2;
    const Bitboard movers = forward ? own : own & p.kings;
    if (Shifted(movers, kShift[d]) & empty) return true;
  }
  return false;
}

bool Searcher::LostWithoutStep(const Position& p, bool can_wait) const {
  return limits_.player_lost_without_step && p.side < 0 && !can_wait && p.Own() != 0;
}

// A position the tables hold scores as they say: a win or a loss as a mate at their distance, a
// draw as 0. The game's draw by kings alone counts on: once it has drawn the game, the position
// scores 0 (unless its side to move has already lost), and a win or loss that it might cut short
// is left to the search. Under the designed blocked-player rule, which the tables do not know,
// only positions with side -1 to move and a plain step are taken from them: every reply of side +1
// is searched, and a reply that leaves the player without a plain step is seen.
bool Searcher::TableScore(const Position& p, int ply, int& score) const {
  if (limits_.tables == nullptr) return false;
  if (limits_.player_lost_without_step && (p.side > 0 || !HasPlainStep(p))) return false;
  const std::optional<TableValue> value = limits_.tables->Probe(p);
  if (!value) return false;
  score = 0;
  if (value->result == 0) return true;
  if (reversible_[ply] >= kQuietKingPliesForDraw && value->plies > 0) return true;
  if (reversible_[ply] + value->plies >= kQuietKingPliesForDraw) return false;
  score = value->result > 0 ? kMate - ply - value->plies : -kMate + ply + value->plies;
  return true;
}

// A won or lost root is played from the tables: the move to the shortest win, or the one that
// loses last. A drawn root is searched, every move's position scored exactly from the tables.
bool Searcher::TableMove(const Position& root, const MoveList& moves, SearchResult& result) const {
  int score = 0;
  if (limits_.player_lost_without_step || !TableScore(root, 0, score) || score == 0) return false;
  TableValue best{-2, 0};
  for (const Move& move : moves) {
    const std::optional<TableValue> after = limits_.tables->Probe(MakeMove(root, move));
    if (!after) return false;
    const TableValue value = ValueBefore(*after);
    if (best.result == -2 || Better(value, best)) {
      best = value;
      result.move = move;
    }
  }
  result.score = score;
  result.depth = best.plies;  // the tables see to the end
  result.nodes = static_cast<uint64_t>(moves.size());
  return true;
}

int Searcher::Quiescence(const Position& p, int alpha, int beta, int ply) {
  ++nodes_;
  if (OutOfTime()) return 0;
  if (int score; TableScore(p, ply, score)) return score;
  // A side that can wait may stand pat: when that is enough, its captures are never generated.
  const bool can_wait = HasPlainStep(p);
  if (LostWithoutStep(p, can_wait)) return -kMate + ply;
  int best = -kInfinity;
  if (can_wait) {
    best = Evaluate(p, weights_);
    if (best >= beta || ply >= kMaxPly) return best;
    alpha = std::max(alpha, best);
  }
  Ply& data = plies_[ply];
  GenerateCaptures(p, data.moves);
  if (data.moves.empty() && !can_wait) return -kMate + ply;
  if (ply >= kMaxPly) return Evaluate(p, weights_);
  Order(p, data, nullptr, ply);
  for (int i = 0; i < data.moves.size(); ++i) {
    PickNext(data.moves, data.scores, i);
    reversible_[ply + 1] = 0;
    const int score = -Quiescence(MakeMove(p, data.moves[i]), -beta, -alpha, ply + 1);
    if (stopped_) return 0;
    if (score > best) {
      best = score;
      if (score > alpha) alpha = score;
      if (score >= beta) break;
    }
  }
  return best;
}

int Searcher::Alpha(const Position& p, int alpha, int beta, int depth, int ply, bool pv) {
  path_keys_[ply] = p.key;
  if (ply > 0 && Repeated(p, ply)) return 0;
  if (depth <= 0 || ply >= kMaxPly) return Quiescence(p, alpha, beta, ply);
  ++nodes_;
  if (OutOfTime()) return 0;
  if (limits_.nodes > 0 && nodes_ >= limits_.nodes) stopped_ = true;
  if (int score; ply > 0 && TableScore(p, ply, score)) return score;

  // Mate-distance bounds: nothing here beats a mate already found nearer the root.
  alpha = std::max(alpha, -kMate + ply);
  beta = std::min(beta, kMate - ply - 1);
  if (alpha >= beta) return alpha;

  Move table_move{};
  bool has_table_move = false;
  if (const Entry* e = Probe(p.key)) {
    table_move = {e->captured, e->from, e->to, static_cast<bool>((p.kings >> e->from) & 1),
                  static_cast<bool>(e->bound_king & 4)};
    has_table_move = true;
    const int score = FromTable(e->score, ply);
    const int bound = e->bound_king & 3;
    if (!pv && ply > 0 && e->depth >= depth &&
        (bound == kExact || (bound == kLower && score >= beta) ||
         (bound == kUpper && score <= alpha))) {
      return score;
    }
  }

  Ply& data = plies_[ply];
  GenerateMoves(p, data.moves);
  if (data.moves.empty() || (ply > 0 && LostWithoutStep(p, HasPlainStep(p)))) {
    return -kMate + ply;
  }
  if (ply > 0 && reversible_[ply] >= kQuietKingPliesForDraw) return 0;
  Order(p, data, has_table_move ? &table_move : nullptr, ply);

  const int us = SideIndex(p.side);
  const int alpha_start = alpha;
  int best = -kInfinity;
  Move best_move = data.moves[0];
  for (int i = 0; i < data.moves.size(); ++i) {
    PickNext(data.moves, data.scores, i);
    const Move move = data.moves[i];
    const Position next = MakeMove(p, move);
    reversible_[ply + 1] =
        Irreversible(p, move) ? 0 : static_cast<uint8_t>(std::min(reversible_[ply] + 1, 255));
    int score;
    if (i == 0) {
      score = -Alpha(next, -beta, -alpha, depth - 1, ply + 1, pv);
    } else {
      // Late quiet moves are first searched shallower.
      int reduction = 0;
      if (depth >= 3 && i >= 3 && !move.captured && data.scores[i] < kKillerScore) {
        reduction = i >= 8 && depth >= 5 ? 2 : 1;
      }
      score = -Alpha(next, -alpha - 1, -alpha, depth - 1 - reduction, ply + 1, false);
      if (score > alpha && reduction > 0) {
        score = -Alpha(next, -alpha - 1, -alpha, depth - 1, ply + 1, false);
      }
      if (score > alpha && score < beta) {
        score = -Alpha(next, -beta, -alpha, depth - 1, ply + 1, true);
      }
    }
    if (stopped_) return 0;
    if (score > best) {
      best = score;
      best_move = move;
      // A root move that only failed less low than the others is no choice.
      if (ply == 0 && (i == 0 || score > alpha)) {
        root_best_ = move;
        root_has_best_ = true;
      }
      if (score > alpha) alpha = score;
      if (score >= beta) {
        if (!move.captured) {
          if (!SameMove(killers_[ply][0], move)) {
            killers_[ply][1] = killers_[ply][0];
            killers_[ply][0] = move;
          }
          int& h = history_[us][move.from][move.to];
          h = std::min(h + depth * depth, 1 << 20);
        }
        break;
      }
    }
  }
  const int bound = best >= beta ? kLower : best > alpha_start ? kExact : kUpper;
  Store(p.key, depth, best, bound, best_move, ply);
  return best;
}

// The root searched in a narrow window around the last iteration's score, widened on the side
// where the score falls outside until it falls within.
int Searcher::AspirationSearch(const Position& root, int depth, int last) {
  if (std::abs(last) > kMateBound) return Alpha(root, -kInfinity, kInfinity, depth, 0, true);
  int below = 40, above = 40;
  for (;;) {
    const int alpha = std::max(last - below, -kInfinity);
    const int beta = std::min(last + above, kInfinity);
    const int score = Alpha(root, alpha, beta, depth, 0, true);
    if (stopped_) return score;
    if (score <= alpha && alpha > -kInfinity) {
      below *= 4;
    } else if (score >= beta && beta < kInfinity) {
      above *= 4;
    } else {
      return score;
    }
  }
}

SearchResult Searcher::Search(const Position& root, const SearchLimits& limits,
                              const EvalWeights& weights, std::span<const uint64_t> game_keys) {
  start_ = std::chrono::steady_clock::now();
  game_keys_ = game_keys;
  nodes_ = 0;
  stopped_ = false;
  if (++generation_ == 0) {
    std::memset(static_cast<void*>(table_.get()), 0, (table_mask_ + 1) * sizeof(Entry));
    generation_ = 1;
    first_usable_ = 1;
  }
  // A search by time goes on from what the searches by time before it found with the same
  // weights and rules; any other search starts afresh, so that it is deterministic.
  const bool by_time = limits.depth >= kMaxDepth && limits.nodes == 0;
  const bool same_rules = weights == weights_ && limits.tables == limits_.tables &&
                          limits.player_lost_without_step == limits_.player_lost_without_step;
  if (!(by_time && last_by_time_ && same_rules)) first_usable_ = generation_;
  last_by_time_ = by_time;
  limits_ = limits;
  weights_ = weights;
  std::memset(history_, 0, sizeof history_);
  for (auto& killers : killers_) killers[0] = killers[1] = Move{};
  reversible_[0] = static_cast<uint8_t>(std::clamp(limits.quiet_plies, 0, 255));

  SearchResult result;
  MoveList& root_moves = plies_[0].moves;
  GenerateMoves(root, root_moves);
  if (root_moves.empty()) return result;
  result.has_move = true;
  result.move = root_moves[0];
  if (root_moves.size() == 1 || TableMove(root, root_moves, result)) return result;

  const int max_depth = std::clamp(limits.depth, 1, kMaxDepth);
  for (int depth = 1; depth <= max_depth; ++depth) {
    root_has_best_ = false;
    const int score = depth >= 4 ? AspirationSearch(root, depth, result.score)
                                 : Alpha(root, -kInfinity, kInfinity, depth, 0, true);
    if (root_has_best_) result.move = root_best_;
    result.nodes = nodes_;
    if (stopped_) break;
    result.score = score;
    result.depth = depth;
    if (std::abs(score) > kMateBound && kMate - std::abs(score) <= depth) break;
    // A time-limited search starts no iteration it could not finish.
    if (limits.milliseconds > 0) {
      const auto elapsed = std::chrono::steady_clock::now() - start_;
      if (elapsed >= std::chrono::microseconds(int64_t{limits.milliseconds} * 500)) break;
    }
  }
  return result;
}

}  // namespace zelbo::engine
