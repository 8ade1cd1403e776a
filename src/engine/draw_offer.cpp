// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/draw_offer.h"

#include <algorithm>

#include "engine/move_gen.h"
#include "engine/position.h"
#include "engine/search.h"
#include "game/end_of_game.h"
#include "game/execution_time.h"

namespace zelbo {
namespace {

// A search with one move to choose from plays it without a score: such moves are played first,
// this many at most.
constexpr int kMostForcedMoves = 8;

}  // namespace

bool DesignedComputerAcceptsDraw(const Board& board) {
  return PieceCount(board, kComputerSide) <= PieceCount(board, kPlayerSide);
}

bool ComputerAcceptsDraw(Engine& engine, const Board& board, int8_t side_to_move, int level,
                         int32_t milliseconds, std::span<const Board> history,
                         const std::atomic<bool>* stop) {
  if (level <= 1 || level > LevelCount()) return DesignedComputerAcceptsDraw(board);
  const LevelSettings settings = SettingsOf(level);
  engine::SearchLimits limits;
  if (settings.depth > 0) limits.depth = settings.depth;
  limits.milliseconds = std::max(milliseconds, int32_t{1});
  limits.stop = stop;
  if (settings.tables) limits.tables = engine.Tables();
  if (engine.FixedNodes() > 0) {
    limits.nodes = engine.FixedNodes();
    limits.milliseconds = 0;
  }
  Board position = board;
  engine::Position searched = engine::PositionOf(board, side_to_move);
  for (int forced = 0; forced <= kMostForcedMoves; ++forced) {
    engine::MoveList moves;
    engine::GenerateMoves(searched, moves);
    // A side without a move has lost.
    if (moves.empty()) return searched.side == kComputerSide;
    if (moves.size() > 1) {
      const engine::SearchResult result =
          engine.Search(position, searched.side, limits, settings.weights, history);
      if (result.depth == 0) break;
      return (searched.side == kComputerSide ? result.score : -result.score) <= 0;
    }
    searched = engine::MakeMove(searched, moves[0]);
    position = engine::BoardOfPosition(searched, position);
  }
  return DesignedComputerAcceptsDraw(position);
}

void AnswerDrawOffer(GameState& state, BoardWindowPort& port, bool accepted) {
  if (state.game_over) return;
  if (accepted) return EndByAgreedDraw(state, port, true);
  RefuseDraw(port);
}

void OfferDraw(GameState& state, BoardWindowPort& port, Engine& engine) {
  if (state.game_over) return;
  if (!port.IsComputerChecked()) return EndByAgreedDraw(state, port, false);
  AnswerDrawOffer(state, port,
                  ComputerAcceptsDraw(engine, state.board, state.side_to_move, state.level,
                                      ThinkingTime(state.execution_time), state.history));
}

}  // namespace zelbo
