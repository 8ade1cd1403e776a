// SPDX-License-Identifier: GPL-3.0-or-later
// The search: iterative deepening principal-variation alpha-beta over the move generator, with a
// transposition table of fixed size allocated once, move ordering (the table's move, captures by
// what they take, killers, history), and a quiescence search over captures in which the side to
// move may stand pat, since captures are optional. Repetitions on the search path or of the
// game's earlier positions score as draws; a side without a move has lost, sooner being worse.
//
// Positions the endgame tables hold are scored from them at every node where the search meets one,
// and a won or lost root is played from them at once: the shortest win, the longest loss.
//
// A search limited by depth or nodes alone is deterministic: the table's entries of earlier
// searches are not used, and the killers and history start empty. A search limited by time
// checks the clock often and stops at once; so does one whose stop flag is set.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/evaluation.h"
#include "engine/move_gen.h"
#include "engine/position.h"

namespace zelbo::engine {

inline constexpr int kMaxPly = 96;
inline constexpr int kMaxDepth = 64;
inline constexpr int kMate = 30000;
inline constexpr int kMateBound = kMate - 1000;  // scores beyond are mates
// The game's draw by kings alone: this many moves in a row (of both sides) that moved a king and
// took nothing.
inline constexpr int kQuietKingPliesForDraw = 50;

class EndgameTables;

struct SearchLimits {
  int depth = kMaxDepth;
  uint64_t nodes = 0;        // 0: no limit
  int32_t milliseconds = 0;  // 0: no limit
  const std::atomic<bool>* stop = nullptr;
  // The designed computer's turn declares a player lost whose pieces have no plain step, captures
  // or not: when set, side -1 to move in such a position has lost.
  bool player_lost_without_step = false;
  // Plies made before the root with only kings moving and nothing taken: reaching
  // kQuietKingPliesForDraw is a draw.
  int quiet_plies = 0;
  // The endgame tables to score the positions they hold; none: the search alone.
  const EndgameTables* tables = nullptr;
};

struct SearchResult {
  bool has_move = false;
  Move move{};
  int score = 0;
  int depth = 0;  // of the last iteration completed
  uint64_t nodes = 0;
};

class Searcher {
 public:
  // `table_entries` is rounded down to a power of two.
  explicit Searcher(std::size_t table_entries);
  ~Searcher();
  Searcher(const Searcher&) = delete;
  Searcher& operator=(const Searcher&) = delete;

  // The best move of the root's side to move. `game_keys` are the keys of earlier positions of
  // the game; reaching one again is a draw.
  SearchResult Search(const Position& root, const SearchLimits& limits, const EvalWeights& weights,
                      std::span<const uint64_t> game_keys = {});

 private:
  struct Entry;
  struct Ply;

  int Alpha(const Position& p, int alpha, int beta, int depth, int ply, bool pv);
  int AspirationSearch(const Position& root, int depth, int last);
  int Quiescence(const Position& p, int alpha, int beta, int ply);
  bool Repeated(const Position& p, int ply) const;
  bool LostWithoutStep(const Position& p, bool can_wait) const;
  bool TableScore(const Position& p, int ply, int& score) const;
  bool TableMove(const Position& root, const MoveList& moves, SearchResult& result) const;
  void Order(const Position& p, Ply& ply_data, const Move* table_move, int ply);
  bool OutOfTime();
  Entry* Probe(uint64_t key);
  void Store(uint64_t key, int depth, int score, int bound, const Move& move, int ply);

  std::unique_ptr<Entry, void (*)(void*)> table_;
  uint64_t table_mask_;
  uint8_t generation_ = 0;
  uint8_t first_usable_ = 0;  // the table's entries of earlier generations are not used
  bool last_by_time_ = false;
  std::unique_ptr<Ply[]> plies_;
  std::vector<uint64_t> path_keys_;  // by ply
  std::vector<uint8_t> reversible_;  // plies since a man moved or a piece was taken, by ply
  std::span<const uint64_t> game_keys_;
  int history_[2][kSquareBits][kSquareBits];
  Move killers_[kMaxPly][2]{};

  EvalWeights weights_;
  SearchLimits limits_;
  std::chrono::steady_clock::time_point start_;
  uint64_t nodes_ = 0;
  bool stopped_ = false;
  Move root_best_{};
  bool root_has_best_ = false;
};

}  // namespace zelbo::engine
