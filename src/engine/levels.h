// SPDX-License-Identifier: GPL-3.0-or-later
// The levels of the computer: level 1 is the designed computer, kept as it is; the levels above it
// search, each stronger than the one below, every one within the time it is given for a reply.
// The Engine owns what a search needs, its transposition table allocated once, so one Engine
// answers many replies; it touches nothing but its arguments and itself, so a worker thread may
// run it while the window does other things.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "engine/evaluation.h"
#include "engine/search.h"
#include "game/board.h"

namespace zelbo {

// The number of levels, 1 (the designed computer) included.
int LevelCount();

// The caption of the level's menu item, "Niveau  Facil: Easy " for level 1; empty for no level.
std::string_view LevelCaption(int level);

// A move as the player would click it: the piece, then each landing square in order; every
// landing but the last is a right-button step, the last a left-button step.
struct LevelMove {
  static constexpr int kMaxLandings = 40;
  SquareRef from = 0;
  std::array<SquareRef, kMaxLandings> landings{};
  uint8_t landing_count = 0;
  friend bool operator==(const LevelMove&, const LevelMove&) = default;
};

// Plays the move on the board as the click protocol would: the piece goes to each landing in
// turn, is crowned on its last row, and takes the last piece of the other side that each step
// passes. Only code bytes of playable squares change.
void ApplyLevelMove(Board& board, const LevelMove& move);

// How a searching level limits itself besides the time: 0 means no limit.
struct LevelSettings {
  int depth = 0;
  uint64_t nodes = 0;
  engine::EvalWeights weights;
  bool tables = false;  // plays the endgame tables' endings
};
LevelSettings SettingsOf(int level);

class Engine {
 public:
  static constexpr std::size_t kDefaultTableEntries = std::size_t{1} << 19;

  explicit Engine(std::size_t table_entries = kDefaultTableEntries);

  // The move that `level` (2..LevelCount) plays for `side` on the board, thinking at most
  // `milliseconds` (a value under 1 means 1); no value when the side has no legal move. `stop`,
  // once set, ends the search at once with the best move found so far. `history` is the game's
  // take-back list (positions after side +1's replies, side -1 to move): meeting one of them
  // again is a draw, and the moves in a row up to the board that it shows moved a king and took
  // nothing count towards the game's draw by kings alone. Level 1 or any other level is taken as
  // the top level. The board and the history are read before the search starts.
  std::optional<LevelMove> Choose(const Board& board, int8_t side, int level, int32_t milliseconds,
                                  const std::atomic<bool>* stop = nullptr,
                                  std::span<const Board> history = {});

  // The top level's move for `side`. For side -1 it also keeps clear of what the designed
  // computer's turn declares lost, a player whose pieces have no plain step: the hint must not
  // lead the player into that against level 1.
  std::optional<LevelMove> Hint(const Board& board, int8_t side, int32_t milliseconds,
                                const std::atomic<bool>* stop = nullptr,
                                std::span<const Board> history = {});

  // A search with limits of its own, for tests and measurements. A limit on nodes, when given,
  // replaces the level's own; the time is never more than `limits.milliseconds` when given.
  // `limits.quiet_plies` is counted from `history` (as Choose does).
  engine::SearchResult Search(const Board& board, int8_t side, const engine::SearchLimits& limits,
                              const engine::EvalWeights& weights,
                              std::span<const Board> history = {});

  // A fixed node budget for every searching level, with no time limit: replies that do not depend
  // on the machine, for tests and transcripts. 0 goes back to the time.
  void SetFixedNodes(uint64_t nodes) { fixed_nodes_ = nodes; }
  uint64_t FixedNodes() const { return fixed_nodes_; }

  // The endgame tables the levels that play them use (the top level and the hint); none: the
  // search alone. The tables must outlive the engine's use of them.
  void UseTables(const engine::EndgameTables* tables) { tables_ = tables; }
  const engine::EndgameTables* Tables() const { return tables_; }

  // The move of a search result as clicks; no value for no move.
  static std::optional<LevelMove> ToLevelMove(const Board& board, int8_t side,
                                              const engine::SearchResult& result);

 private:
  std::optional<LevelMove> Play(const Board& board, int8_t side, int level, int32_t milliseconds,
                                const std::atomic<bool>* stop, std::span<const Board> history,
                                bool player_lost_without_step);

  engine::Searcher searcher_;
  std::array<uint64_t, 512> history_keys_{};
  uint64_t fixed_nodes_ = 0;
  const engine::EndgameTables* tables_ = nullptr;
};

}  // namespace zelbo
