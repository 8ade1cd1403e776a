// SPDX-License-Identifier: GPL-3.0-or-later
// The gauges, the material check and the blocked player.
#include "game/end_of_game.h"

#include <gtest/gtest.h>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::BoardWith;
using testing::Sq;

TEST(CheckMaterial, SetsTheGaugesAndEndsGamesWithoutPieces) {
  struct Case {
    const char* name;
    Board board;
    std::vector<std::string> events;
  };
  Board three_left = BoardOf(testing::kInitialLine);
  for (const char* s : {"B6", "D6", "F6", "H6", "A7", "C7", "E7", "G7", "B8"}) {
    WriteCell(three_left, Sq(s), kEmpty);
  }
  const Case cases[] = {
      {"opening", BoardOf(testing::kInitialLine), {"gauges 120 120"}},
      {"side -1 lost nine pieces", three_left, {"gauges 30 120"}},
      {"side -1 has nothing left",
       BoardWith({{"A1", kComputerMan}}),
       {"gauges 0 10", "title Sorry", "message  -  YOU have LOST  - ", "panel shown"}},
      {"side +1 has nothing left",
       BoardWith({{"A7", kPlayerKing}}),
       {"gauges 10 0", "title Congratulation", "message  * * *  you have WIN  * * * ",
        "panel shown"}},
      {"nobody has anything: loss, then win",
       BoardOf(testing::kEmptyLine),
       {"gauges 0 0", "title Sorry", "message  -  YOU have LOST  - ", "panel shown",
        "title Congratulation", "message  * * *  you have WIN  * * * ", "panel shown"}},
  };
  for (const auto& test : cases) {
    GameState state = testing::GameAt(test.board);
    testing::RecordingPort port;
    CheckMaterial(state, port);
    EXPECT_EQ(port.Take(), test.events) << test.name;
    EXPECT_EQ(state.game_over, test.events.size() > 1) << test.name;
  }
}

TEST(CheckMaterial, KeepsTheGaugesWithinTheirRange) {
  Board crowded = BoardOf(testing::kEmptyLine);
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      if ((column + row) % 2 == 0)
        crowded.SetCode(column, row, row <= 4 ? kComputerMan : kPlayerMan);
    }
  }
  GameState state = testing::GameAt(crowded);
  testing::RecordingPort port;
  CheckMaterial(state, port);
  EXPECT_EQ(port.Take(), std::vector<std::string>{"gauges 120 120"});
}

TEST(IsBlocked, CountsOnlyPlainSteps) {
  struct Case {
    Board board;
    const char* square;
    bool blocked;
  };
  const Case cases[] = {
      {BoardWith({{"A1", kPlayerKing}}), "A1", false},
      {BoardWith({{"A1", kPlayerKing}, {"B2", kComputerMan}}), "A1", true},
      {BoardWith({{"A1", kPlayerKing}, {"B2", kPlayerMan}}), "A1", true},
      {BoardWith({{"D6", kPlayerMan}, {"C5", kComputerMan}, {"E5", kPlayerMan}}), "D6", true},
      {BoardWith({{"D6", kPlayerMan}, {"C5", kComputerMan}}), "D6", false},
      // Only the squares toward row 1 count for a man, whatever lies behind it.
      {BoardWith({{"D6", kPlayerMan}, {"C5", kComputerMan}, {"E5", kComputerMan}}), "D6", true},
      {BoardWith({{"A5", kPlayerMan}, {"B4", kComputerMan}}), "A5", true},
      {BoardWith({{"B1", kPlayerMan}}), "B1", true},
      {BoardWith({}), "C3", true},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(IsBlocked(test.board, Sq(test.square)), test.blocked)
        << FormatBoardLine(test.board) << " " << test.square;
  }
}

TEST(CheckPlayerBlocked, EndsTheGameOnlyWhenNothingCanMoveOrTake) {
  const std::vector<std::string> lost = {
      "title Sorry ", "error-dialog because all your player is blocked sorry\r YOU ARE LOST",
      "panel shown"};
  struct Case {
    const char* name;
    Board board;
    uint8_t player_capture_score;
    bool lost;
  };
  const Case cases[] = {
      {"every piece blocked", BoardWith({{"A5", kPlayerMan}, {"B4", kComputerMan}}), 0, true},
      {"blocked but able to take", BoardWith({{"A5", kPlayerMan}, {"B4", kComputerMan}}), 1, false},
      {"one piece free", BoardWith({{"A5", kPlayerMan}, {"B4", kComputerMan}, {"H8", kPlayerMan}}),
       0, false},
      {"no piece at all", BoardWith({{"B4", kComputerMan}}), 0, false},
  };
  for (const auto& test : cases) {
    GameState state = testing::GameAt(test.board);
    state.player_capture_score = test.player_capture_score;
    testing::RecordingPort port;
    CheckPlayerBlocked(state, port);
    EXPECT_EQ(port.Take(), test.lost ? lost : std::vector<std::string>{}) << test.name;
    EXPECT_EQ(state.game_over, test.lost) << test.name;
  }
}

}  // namespace
}  // namespace zelbo
