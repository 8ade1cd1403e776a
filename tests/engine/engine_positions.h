// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the engine tests: the board a position stands for, and positions reached by seeded
// random play, kings and long chains included.
#pragma once

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/move_gen.h"
#include "engine/position.h"
#include "reference_moves.h"
#include "support/positions.h"

namespace zelbo::testing {

// The playable codes of a position, walls taken from the board it was made from.
inline std::string CodesOf(const engine::Position& position, const Board& original) {
  return PlayableCodes(engine::BoardOfPosition(position, original));
}

// The playable codes of the positions that the moves of `side` leave, one for each move.
inline std::vector<std::string> ResultsOf(const Board& board, int side) {
  const engine::Position position = engine::PositionOf(board, side);
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  std::vector<std::string> results;
  for (const auto& move : moves)
    results.push_back(CodesOf(engine::MakeMove(position, move), board));
  return results;
}

// The same, as a set; a position left by two moves fails the test.
inline std::set<std::string> DistinctResultsOf(const Board& board, int side) {
  const std::vector<std::string> each = ResultsOf(board, side);
  const std::set<std::string> results(each.begin(), each.end());
  EXPECT_EQ(results.size(), each.size()) << "a position twice: " << FormatBoardLine(board);
  return results;
}

struct PlayedPosition {
  Board board;
  int side;
};

// Positions of games played at random from the opening, captures preferred so that kings and
// chains come soon; a game stops at a position without a move or after `plies`.
inline std::vector<PlayedPosition> RandomGamePositions(unsigned seed, int games, int plies) {
  std::mt19937 random(seed);
  std::vector<PlayedPosition> positions;
  for (int game = 0; game < games; ++game) {
    Board board = BoardOf(kInitialLine);
    int side = kPlayerSide;
    for (int ply = 0; ply < plies; ++ply) {
      positions.push_back({board, side});
      const engine::Position position = engine::PositionOf(board, side);
      engine::MoveList moves;
      engine::GenerateMoves(position, moves);
      if (moves.empty()) break;
      const bool take = moves.capture_count() > 0 && random() % 4 != 0;
      const int count = take ? moves.capture_count() : moves.size();
      const engine::Move& move = moves[static_cast<int>(random() % count)];
      const engine::Position next = engine::MakeMove(position, move);
      board = engine::BoardOfPosition(next, board);
      side = -side;
    }
  }
  return positions;
}

}  // namespace zelbo::testing
