// SPDX-License-Identifier: GPL-3.0-or-later
// The generator's rules, one position each: what the side to move can leave on the board, written
// as the clicks that would make it (the piece, then each landing).
#include "engine/move_gen.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/levels.h"
#include "engine_positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

// The board after clicking "B6 D4 F2": the piece, then its landings.
Board AfterClicks(const Board& board, const std::string& clicks) {
  std::istringstream words(clicks);
  std::string word;
  words >> word;
  LevelMove move;
  move.from = Sq(word);
  while (words >> word) move.landings[move.landing_count++] = Sq(word);
  Board after = board;
  ApplyLevelMove(after, move);
  return after;
}

TEST(MoveGenerator, HoldsEachRule) {
  struct Case {
    const char* rule;
    Board board;
    int side;
    std::vector<std::string> allowed;
    std::vector<std::string> refused;
    int count;  // every distinct move; -1 when not counted
  };
  const Case cases[] = {
      {"a man steps forward only, both sides",
       BoardWith({{"D6", p}, {"E3", c}}),
       kPlayerSide,
       {"D6 C5", "D6 E5"},
       {"D6 C7", "D6 E7"},
       2},
      {"side +1's men go toward row 8",
       BoardWith({{"D6", p}, {"E3", c}}),
       kComputerSide,
       {"E3 D4", "E3 F4"},
       {"E3 D2", "E3 F2"},
       2},
      {"a man takes forward by a jump of two, never backwards",
       BoardWith({{"D6", p}, {"E5", c}, {"C7", c}}),
       kPlayerSide,
       {"D6 F4", "D6 F4 G3"},
       {"D6 B8"},
       4},
      {"captures are optional and a chain may stop after any capture",
       BoardWith({{"B6", p}, {"C5", c}, {"E3", c}}),
       kPlayerSide,
       {"B6 D4 F2", "B6 D4", "B6 A5", "B6 D4 C3"},
       {},
       4},
      {"after a capture a plain step may end the move, and crowns on the last row",
       BoardWith({{"D4", p}, {"C3", c}, {"C1", c}, {"E3", c}}),
       kPlayerSide,
       {"D4 B2 A1", "D4 F2 G1", "D4 B2"},
       {},
       -1},
      {"a man crowned by a capture then takes backwards as a king",
       BoardWith({{"E3", p}, {"D2", c}, {"B2", c}, {"H8", c}}),
       kPlayerSide,
       {"E3 C1 A3", "E3 C1 F4"},
       {},
       -1},
      {"a king takes only the last of several pieces, each followed by an empty square",
       BoardWith({{"A1", P}, {"B2", c}, {"D4", c}, {"H8", c}}),
       kPlayerSide,
       {"A1 C3", "A1 E5", "A1 G7", "A1 C3 E5"},
       {},
       -1},
      {"a king may not pass two pieces of the other side together",
       BoardWith({{"A1", P}, {"C3", c}, {"D4", c}, {"H1", c}}),
       kPlayerSide,
       {"A1 B2"},
       {"A1 E5", "A1 F6"},
       1},
      {"a king may not pass its own piece",
       BoardWith({{"A1", C}, {"C3", c}, {"E5", p}}),
       kComputerSide,
       {"A1 B2", "C3 D4", "C3 B4"},
       {"A1 D4", "A1 F6"},
       3},
      {"a capture that takes the other side's last piece ends the move",
       BoardWith({{"D6", p}, {"E5", c}}),
       kPlayerSide,
       {"D6 F4", "D6 C5"},
       {"D6 F4 G3", "D6 F4 E3"},
       2},
      {"two ways to the same position are one move",
       BoardWith({{"D4", P}, {"C5", c}, {"C7", c}, {"E7", c}, {"E5", c}, {"H2", c}}),
       kPlayerSide,
       {"D4 B6 D8 F6 D4", "D4 F6 D8 B6 D4"},
       {},
       -1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.rule);
    const std::set<std::string> results = testing::DistinctResultsOf(test.board, test.side);
    for (const auto& clicks : test.allowed) {
      EXPECT_TRUE(results.count(testing::PlayableCodes(AfterClicks(test.board, clicks)))) << clicks;
    }
    for (const auto& clicks : test.refused) {
      EXPECT_FALSE(results.count(testing::PlayableCodes(AfterClicks(test.board, clicks))))
          << clicks;
    }
    if (test.count >= 0) {
      EXPECT_EQ(static_cast<int>(results.size()), test.count);
    }
    const auto reference = testing::ReferenceMovesOf(test.board, test.side);
    EXPECT_EQ(results, std::set<std::string>(reference.seen.begin(), reference.seen.end()));
  }
}

// The clicks of every move, replayed on the board, leave the move's position.
TEST(MoveGenerator, GivesTheClicksOfEachMove) {
  const auto positions = testing::RandomGamePositions(7, 10, 80);
  int chains = 0;
  for (const auto& [board, side] : positions) {
    const engine::Position position = engine::PositionOf(board, side);
    engine::MoveList moves;
    engine::GenerateMoves(position, moves);
    for (const auto& move : moves) {
      const engine::MoveSteps steps = engine::StepsOf(position, move);
      ASSERT_GT(steps.count, 0) << FormatBoardLine(board);
      LevelMove clicks;
      clicks.from = engine::RefOf(move.from);
      for (int i = 0; i < steps.count; ++i) clicks.landings[i] = engine::RefOf(steps.landings[i]);
      clicks.landing_count = static_cast<uint8_t>(steps.count);
      Board after = board;
      ApplyLevelMove(after, clicks);
      EXPECT_EQ(testing::PlayableCodes(after),
                testing::CodesOf(engine::MakeMove(position, move), board))
          << FormatBoardLine(board);
      chains += steps.count > 1;
    }
  }
  EXPECT_GT(chains, 20);
}

}  // namespace
}  // namespace zelbo
