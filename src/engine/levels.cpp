// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/levels.h"

#include <algorithm>
#include <bit>

#include "record/game_record.h"

namespace zelbo {
namespace {

constexpr std::string_view kCaptions[] = {
    "Niveau  Facil: Easy ",
    "Niveau  Moyen: Medium ",
    "Niveau  Difficile: Hard ",
    "Niveau  Expert: Expert ",
};

// The moves in a row before `board` that moved a king and took nothing, as far as the take-back
// list `history` (positions with side -1 to move, the last maybe `board` itself) shows it: such
// moves leave every man where it was and the pieces as many.
int QuietKingPlies(const Board& board, int8_t side, std::span<const Board> history) {
  const auto quiet = [](const engine::Position& a, const engine::Position& b) {
    return ((a.pieces[0] | a.pieces[1]) & ~a.kings) == ((b.pieces[0] | b.pieces[1]) & ~b.kings) &&
           std::popcount(a.pieces[0]) == std::popcount(b.pieces[0]) &&
           std::popcount(a.pieces[1]) == std::popcount(b.pieces[1]);
  };
  if (history.empty()) return 0;
  engine::Position later = engine::PositionOf(board, side);
  int plies = 0;
  if (side != kPlayerSide) {
    const engine::Position before = engine::PositionOf(history.back(), kPlayerSide);
    if (!quiet(before, later)) return 0;
    plies = 1;
    later = before;
  } else if (engine::PositionOf(history.back(), kPlayerSide).key != later.key) {
    return 0;  // the list does not reach the board
  }
  for (std::size_t i = history.size() - 1; i-- > 0 && plies < engine::kQuietKingPliesForDraw;) {
    const engine::Position before = engine::PositionOf(history[i], kPlayerSide);
    if (!quiet(before, later)) break;
    plies += 2;
    later = before;
  }
  return plies;
}

}  // namespace

static_assert(engine::kQuietKingPliesForDraw == kQuietKingMovesForDraw);

int LevelCount() { return static_cast<int>(std::size(kCaptions)); }

std::string_view LevelCaption(int level) {
  if (level < 1 || level > LevelCount()) return {};
  return kCaptions[level - 1];
}

// The weaker levels see less far, and the weakest also misjudges positions a little; the top level
// plays the endgame tables' endings.
LevelSettings SettingsOf(int level) {
  LevelSettings settings;
  switch (level) {
    case 2:
      settings.depth = 3;
      break;
    case 3:
      settings.depth = 5;
      break;
    default:
      settings.tables = true;
      break;
  }
  return settings;
}

void ApplyLevelMove(Board& board, const LevelMove& move) {
  SquareRef at = move.from;
  for (int i = 0; i < std::min<int>(move.landing_count, LevelMove::kMaxLandings); ++i) {
    const SquareRef to = move.landings[i];
    const DiagonalStep step = DirectionBetween(at, to);
    if (step.direction == kNoDirection || !OnBoard(at) || !OnBoard(to)) return;
    const CellCode piece = ReadCell(board, at);
    const int side = piece > 0 ? 1 : -1;
    for (int k = 1; k < step.distance; ++k) {
      const SquareRef q = Neighbour(at, step.direction, static_cast<uint8_t>(k));
      const CellCode c = ReadCell(board, q);
      if (c == -side || c == -2 * side) {
        // Only the last piece of the other side on the path is taken: find it.
        SquareRef last = q;
        for (int j = k + 1; j < step.distance; ++j) {
          const SquareRef r = Neighbour(at, step.direction, static_cast<uint8_t>(j));
          const CellCode rc = ReadCell(board, r);
          if (rc == -side || rc == -2 * side) last = r;
        }
        WriteCell(board, last, kEmpty);
        break;
      }
    }
    WriteCell(board, at, kEmpty);
    WriteCell(board, to, piece);
    Promote(board, to);
    at = to;
  }
}

Engine::Engine(std::size_t table_entries) : searcher_(table_entries) {}

engine::SearchResult Engine::Search(const Board& board, int8_t side,
                                    const engine::SearchLimits& limits,
                                    const engine::EvalWeights& weights,
                                    std::span<const Board> history) {
  const std::size_t count = std::min(history.size(), history_keys_.size());
  for (std::size_t i = 0; i < count; ++i) {
    history_keys_[i] = engine::PositionOf(history[history.size() - count + i], kPlayerSide).key;
  }
  engine::SearchLimits in_game = limits;
  in_game.quiet_plies = QuietKingPlies(board, side, history);
  return searcher_.Search(engine::PositionOf(board, side), in_game, weights,
                          std::span<const uint64_t>(history_keys_.data(), count));
}

std::optional<LevelMove> Engine::ToLevelMove(const Board& board, int8_t side,
                                             const engine::SearchResult& result) {
  if (!result.has_move) return std::nullopt;
  const engine::Position position = engine::PositionOf(board, side);
  const engine::MoveSteps steps = engine::StepsOf(position, result.move);
  if (steps.count == 0) return std::nullopt;
  LevelMove move;
  move.from = engine::RefOf(result.move.from);
  move.landing_count = static_cast<uint8_t>(steps.count);
  for (int i = 0; i < steps.count; ++i) move.landings[i] = engine::RefOf(steps.landings[i]);
  return move;
}

std::optional<LevelMove> Engine::Choose(const Board& board, int8_t side, int level,
                                        int32_t milliseconds, const std::atomic<bool>* stop,
                                        std::span<const Board> history) {
  return Play(board, side, level, milliseconds, stop, history, false);
}

std::optional<LevelMove> Engine::Play(const Board& board, int8_t side, int level,
                                      int32_t milliseconds, const std::atomic<bool>* stop,
                                      std::span<const Board> history,
                                      bool player_lost_without_step) {
  if (level < 2 || level > LevelCount()) level = LevelCount();
  const LevelSettings settings = SettingsOf(level);
  engine::SearchLimits limits;
  if (settings.depth > 0) limits.depth = settings.depth;
  limits.nodes = settings.nodes;
  limits.milliseconds = std::max(milliseconds, int32_t{1});
  limits.stop = stop;
  limits.player_lost_without_step = player_lost_without_step;
  if (settings.tables) limits.tables = tables_;
  if (fixed_nodes_ > 0) {
    limits.nodes = fixed_nodes_;
    limits.milliseconds = 0;
  }
  // The board is read once, here: a window may change its own while the search runs.
  const Board start = board;
  return ToLevelMove(start, side, Search(start, side, limits, settings.weights, history));
}

std::optional<LevelMove> Engine::Hint(const Board& board, int8_t side, int32_t milliseconds,
                                      const std::atomic<bool>* stop,
                                      std::span<const Board> history) {
  return Play(board, side, LevelCount(), milliseconds, stop, history, side == kPlayerSide);
}

}  // namespace zelbo
