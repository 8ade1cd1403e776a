// SPDX-License-Identifier: GPL-3.0-or-later
#include "match_support.h"

#include <algorithm>
#include <set>

#include "computer/computer_turn.h"
#include "corpus.h"
#include "engine/move_gen.h"
#include "game/click_protocol.h"

namespace zelbo::bench {
namespace {

std::string PlayableKey(const engine::Position& p) {
  return std::to_string(p.pieces[0]) + "/" + std::to_string(p.pieces[1]) + "/" +
         std::to_string(p.kings);
}

// Two people at one mouse: clicks of either side are taken, and any message is remembered.
class TwoPlayerPort : public SilentPort {
 public:
  void ShowMessage(std::string_view text) override { messages += std::string(text) + "\n"; }
  bool IsComputerChecked() const override { return false; }
  std::string messages;
};

// A Fisher-Yates shuffle by SplitMix64, the same on every machine and library.
void Shuffle(std::vector<engine::Position>& positions, uint64_t seed) {
  uint64_t state = seed;
  for (std::size_t i = positions.size(); i > 1; --i) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    std::swap(positions[i - 1], positions[z % i]);
  }
}

}  // namespace

std::vector<Board> Openings(int plies, int count, uint64_t seed) {
  Board start{};
  SetupInitialPosition(start);
  std::vector<engine::Position> layer = {engine::PositionOf(start, kPlayerSide)};
  for (int ply = 0; ply < plies; ++ply) {
    std::vector<engine::Position> next;
    std::set<std::string> seen;
    for (const auto& p : layer) {
      engine::MoveList moves;
      engine::GenerateMoves(p, moves);
      for (const auto& m : moves) {
        const engine::Position q = engine::MakeMove(p, m);
        if (seen.insert(PlayableKey(q)).second) next.push_back(q);
      }
    }
    layer = std::move(next);
  }
  if (seed != 0) Shuffle(layer, seed);
  std::vector<Board> openings;
  const std::size_t wanted = std::min(layer.size(), static_cast<std::size_t>(std::max(count, 0)));
  for (std::size_t i = 0; i < wanted; ++i) {
    openings.push_back(engine::BoardOfPosition(layer[i * layer.size() / wanted], start));
  }
  return openings;
}

Board Rotated(const Board& board) {
  Board rotated = board;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      CellCode code = board.Code(9 - column, 9 - row);
      if (code >= -2 && code <= 2) code = static_cast<CellCode>(-code);
      rotated.SetCode(column, row, code);
    }
  }
  return rotated;
}

std::optional<Board> DesignedReply(const Board& board, int side) {
  SilentPort port;
  GameState state;
  SetUpTurn(state, side > 0 ? board : Rotated(board));
  ComputerTurn(state, port);
  if (state.side_to_move == kComputerSide) return std::nullopt;  // it declared itself blocked
  return side > 0 ? state.board : Rotated(state.board);
}

std::optional<Board> ClickedReply(const Board& board, int side, const LevelMove& move,
                                  bool& game_ended) {
  TwoPlayerPort port;
  GameState state;
  NewGame(state, port);
  state.board = board;
  state.side_to_move = static_cast<int8_t>(side);
  BoardMouseUp(state, port, move.from, MouseButton::kLeft);
  for (int i = 0; i < move.landing_count; ++i) {
    const bool last = i + 1 == move.landing_count;
    BoardMouseUp(state, port, move.landings[i], last ? MouseButton::kLeft : MouseButton::kRight);
    if (state.game_over) break;  // the last piece of the other side is gone
  }
  game_ended = state.game_over;
  if (!port.messages.empty() && !state.game_over) return std::nullopt;
  if (!state.game_over && state.side_to_move == side) return std::nullopt;
  return state.board;
}

std::optional<Board> CheckedReply(const Board& board, int side, const LevelMove& move) {
  bool ended = false;
  const auto after = ClickedReply(board, side, move, ended);
  if (!after) return std::nullopt;
  const engine::Position position = engine::PositionOf(board, side);
  const std::string played = PlayableKey(engine::PositionOf(*after, side));
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  for (const auto& m : moves) {
    if (PlayableKey(engine::MakeMove(position, m)) == played) return after;
  }
  return std::nullopt;
}

bool HasMove(const Board& board, int side) {
  engine::MoveList moves;
  engine::GenerateMoves(engine::PositionOf(board, side), moves);
  return !moves.empty();
}

}  // namespace zelbo::bench
