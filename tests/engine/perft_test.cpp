// SPDX-License-Identifier: GPL-3.0-or-later
// The bitboard generator against the slow reference built on the move rules: the same positions
// after one move, and the same perft counts, from the opening and from positions of random games.
#include "engine/perft.h"

#include <gtest/gtest.h>

#include <set>

#include "engine_positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;

std::set<std::string> EngineResults(const Board& board, int side) {
  const std::set<std::string> results = testing::DistinctResultsOf(board, side);
  const engine::Position position = engine::PositionOf(board, side);
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  for (const engine::Move& move : moves) {
    const engine::Position next = engine::MakeMove(position, move);
    EXPECT_EQ(next.key, engine::ComputeKey(next));
  }
  return results;
}

TEST(Perft, CountsTheOpeningAsTheReferenceDoes) {
  const Board opening = BoardOf(testing::kInitialLine);
  const uint64_t expected[] = {7, 49, 379, 2977, 25332, 217266};
  for (int depth = 1; depth <= 6; ++depth) {
    EXPECT_EQ(engine::Perft(engine::PositionOf(opening, kPlayerSide), depth), expected[depth - 1]);
    EXPECT_EQ(testing::ReferencePerft(opening, kPlayerSide, depth), expected[depth - 1]);
  }
  EXPECT_EQ(engine::Perft(engine::PositionOf(opening, kComputerSide), 3),
            testing::ReferencePerft(opening, kComputerSide, 3));
}

// Every fifth position gets a wall: a code that is no piece on an empty playable square.
Board WithWall(Board board, std::size_t i) {
  if (i % 5 != 0) return board;
  for (std::size_t k = 0; k < 64; ++k) {
    const int column = static_cast<int>((i + 7 * k) % 8) + 1;
    const int row = static_cast<int>((i / 8 + 3 * k) % 8) + 1;
    if ((column + row) % 2 == 0 && board.Code(column, row) == kEmpty) {
      board.SetCode(column, row, static_cast<CellCode>(i % 2 ? kUnusable : 77));
      break;
    }
  }
  return board;
}

TEST(Perft, AgreesWithTheReferenceOnRandomGames) {
  const auto positions = testing::RandomGamePositions(20261209, 40, 90);
  int kings = 0;
  int compared = 0;
  for (std::size_t i = 0; i < positions.size(); i += 2) {
    const Board board = WithWall(positions[i].board, i);
    const int side = positions[i].side;
    const auto reference = testing::ReferenceMovesOf(board, side);
    const std::set<std::string> expected(reference.seen.begin(), reference.seen.end());
    ASSERT_EQ(EngineResults(board, side), expected) << FormatBoardLine(board) << " side " << side;
    if (i % 10 == 0) {
      EXPECT_EQ(engine::Perft(engine::PositionOf(board, side), 3),
                testing::ReferencePerft(board, side, 3))
          << FormatBoardLine(board) << " side " << side;
    }
    kings += FormatBoardLine(board).find_first_of("PC") != std::string::npos;
    ++compared;
  }
  EXPECT_GT(compared, 1000);
  EXPECT_GT(kings, 100) << "the random games should reach kings";
}

}  // namespace
}  // namespace zelbo
