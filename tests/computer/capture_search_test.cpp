// SPDX-License-Identifier: GPL-3.0-or-later
// Threats, chain steps, whole chains and capture scores, each a position in and the answer out.
#include "computer/capture_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::BoardWith;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

TEST(FindAttacker, ReportsTheLastAttackInDirectionOrder) {
  struct Case {
    const char* name;
    Board board;
    CellCode attacker_man;
    const char* attacker;  // "-" when nothing is found
    const char* landing;
  };
  const Case cases[] = {
      {"a man from below", BoardWith({{"D4", c}, {"E5", p}}), p, "E5", "C3"},
      {"men do not take backwards", BoardWith({{"D4", c}, {"E3", p}}), p, "-", "-"},
      {"the landing square is taken", BoardWith({{"D4", c}, {"E5", p}, {"C3", p}}), p, "-", "-"},
      {"a king from afar lands right behind", BoardWith({{"D4", c}, {"G7", P}}), p, "G7", "C3"},
      {"a king behind another piece", BoardWith({{"D4", c}, {"F6", c}, {"G7", P}}), p, "-", "-"},
      {"two men: the higher direction", BoardWith({{"D4", c}, {"E5", p}, {"C5", p}}), p, "C5",
       "E3"},
      {"a king in 1, a man in 2", BoardWith({{"D4", c}, {"G7", P}, {"C5", p}}), p, "C5", "E3"},
      {"a man in 1, a king in 2", BoardWith({{"D4", c}, {"E5", p}, {"A7", P}}), p, "A7", "E3"},
  };
  for (const auto& test : cases) {
    AttackInfo info;
    FindAttacker(test.board, Sq("D4"), test.attacker_man, info);
    const bool expect_found = std::string(test.attacker) != "-";
    EXPECT_EQ(info.found, expect_found) << test.name;
    if (expect_found) {
      EXPECT_EQ(SquareName(info.attacker), test.attacker) << test.name;
      EXPECT_EQ(SquareName(info.landing), test.landing) << test.name;
    }
  }
}

TEST(FindAttacker, LeavesTheLastAttackInPlaceWhenItFindsNone) {
  AttackInfo info{true, Sq("H8"), Sq("A1")};
  FindAttacker(BoardWith({{"D4", c}}), Sq("D4"), p, info);
  EXPECT_FALSE(info.found);
  EXPECT_EQ(info.attacker, Sq("H8"));
  EXPECT_EQ(info.landing, Sq("A1"));
}

TEST(NextCaptureStep, FollowsEachPiecesRules) {
  struct Case {
    const char* name;
    Board board;
    const char* from;
    Direction last_before;
    const char* taken;
    const char* landing;
    Direction last_after;
  };
  const Case cases[] = {
      {"a man of +1 taking both ways steps down-left", BoardWith({{"D4", c}, {"E5", p}, {"C5", P}}),
       "D4", 0, "C5", "B6", 0},
      {"a man of +1 never takes backwards", BoardWith({{"D4", c}, {"C3", p}}), "D4", 0, "-", "-",
       0},
      {"a man of -1 taking both ways steps up-left", BoardWith({{"E5", p}, {"F4", c}, {"D4", C}}),
       "E5", 0, "D4", "C3", 0},
      {"a new chain may start in any direction", BoardWith({{"D4", C}, {"C3", p}}), "D4", 0, "C3",
       "B2", 4},
      {"a king that took down-right cannot take up-left", BoardWith({{"D4", C}, {"C3", p}}), "D4",
       1, "-", "-", 1},
      {"but it can take up-right", BoardWith({{"D4", C}, {"F2", P}}), "D4", 1, "F2", "G1", 3},
      {"the last capture found is the step; its reverse is skipped",
       BoardWith({{"D4", C}, {"F6", p}, {"B6", p}, {"F2", p}}), "D4", 0, "B6", "A7", 2},
      {"a capture in 1 rules out 4 within the same step",
       BoardWith({{"D4", C}, {"F6", p}, {"B2", p}}), "D4", 0, "F6", "G7", 1},
      {"a king that has taken slides to the farthest square to take sideways",
       BoardWith({{"C3", C}, {"F4", p}, {"G5", p}}), "C3", 1, "-", "F6", 1},
      {"no slide before the first capture", BoardWith({{"C3", C}, {"F4", p}}), "C3", 0, "-", "-",
       0},
  };
  for (const auto& test : cases) {
    ChainState state;
    state.last_direction = test.last_before;
    const CaptureStep step = NextCaptureStep(test.board, Sq(test.from), state);
    EXPECT_EQ(SquareName(step.taken), test.taken) << test.name;
    EXPECT_EQ(SquareName(step.landing), test.landing) << test.name;
    EXPECT_EQ(int{state.last_direction}, int{test.last_after}) << test.name;
  }
}

TEST(PlayCaptureChain, PlaysTheWholeChainOnTheBoard) {
  struct Case {
    const char* name;
    Board board;
    const char* from;
    bool retreat;
    Board after;
    int count;
    const char* final_square;
  };
  const Case cases[] = {
      {"a man takes twice", BoardWith({{"A1", c}, {"B2", p}, {"D4", P}}), "A1", false,
       BoardWith({{"E5", c}}), 2, "E5"},
      {"a man on row 8 stays a man and takes no further",
       BoardWith({{"B6", c}, {"C7", p}, {"E7", p}}), "B6", false, BoardWith({{"D8", c}, {"E7", p}}),
       1, "D8"},
      {"a king slides without counting, then takes",
       BoardWith({{"A1", C}, {"B2", p}, {"F4", p}, {"G5", p}}), "A1", false,
       BoardWith({{"H4", C}, {"F4", p}}), 2, "H4"},
      {"without retreat an exposed king stays",
       BoardWith({{"A1", C}, {"B2", p}, {"B4", p}, {"A5", p}}), "A1", false,
       BoardWith({{"C3", C}, {"B4", p}, {"A5", p}}), 1, "C3"},
      {"with retreat it runs on while the player could take",
       BoardWith({{"A1", C}, {"B2", p}, {"B4", p}, {"A5", p}}), "A1", true,
       BoardWith({{"D4", C}, {"B4", p}, {"A5", p}}), 1, "C3"},
      {"a man never retreats", BoardWith({{"A1", c}, {"B2", p}, {"B4", p}, {"A5", p}}), "A1", true,
       BoardWith({{"C3", c}, {"B4", p}, {"A5", p}}), 1, "C3"},
  };
  for (const auto& test : cases) {
    Board board = test.board;
    ChainState state;
    PlayCaptureChain(board, Sq(test.from), state, test.retreat);
    EXPECT_EQ(FormatBoardLine(board), FormatBoardLine(test.after)) << test.name;
    EXPECT_EQ(int{state.capture_count}, test.count) << test.name;
    EXPECT_EQ(SquareName(state.final_square), test.final_square) << test.name;
  }
}

TEST(CaptureScore, CountsEveryChainAndLeavesTheBoardAsItWas) {
  struct Case {
    const char* name;
    Board board;
    int side;
    int score;
  };
  const Case cases[] = {
      {"opening, player", BoardOf(testing::kInitialLine), kPlayerSide, 0},
      {"opening, computer", BoardOf(testing::kInitialLine), kComputerSide, 0},
      {"one man takes one man", BoardWith({{"D4", c}, {"E5", p}}), kPlayerSide, 1},
      {"a threatened king counts 2 more", BoardWith({{"D4", C}, {"E5", p}}), kPlayerSide, 3},
      {"a chain counts for the piece it starts from", BoardWith({{"A1", c}, {"B2", p}, {"D4", p}}),
       kComputerSide, 2},
      // D4 and B4 are both threatened by C3, whose chain takes B4 either way.
      {"each threatened piece counts its attacker's chain",
       BoardWith({{"C3", c}, {"D4", p}, {"B4", p}}), kComputerSide, 2},
  };
  for (const auto& test : cases) {
    Board board = test.board;
    board.cells[5].extra[0] = 0xA5;  // the meaningless bytes travel with the board too
    board.cells[63].extra[1] = 0x5A;
    const Board before = board;
    EXPECT_EQ(int{CaptureScore(board, test.side)}, test.score) << test.name;
    EXPECT_EQ(std::memcmp(&board, &before, sizeof(Board)), 0) << test.name;
  }
}

}  // namespace
}  // namespace zelbo
