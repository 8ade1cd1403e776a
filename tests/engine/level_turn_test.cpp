// SPDX-License-Identifier: GPL-3.0-or-later
// A searched reply goes through the designed turn's path: the drawing, the end-of-game words of
// the designed game, the take-back list and its caption; level 1 is the designed reply itself.
#include "engine/level_turn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "computer/computer_turn.h"
#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::GameAt;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan;

TEST(LevelReply, PlaysASearchedMoveThroughTheDesignedPath) {
  const std::vector<std::string> blocked_computer = {
      "title Congratulation",
      "message because all my player is blocked \rCongratulation you have WIN 1", "panel shown"};
  const std::vector<std::string> blocked_player = {
      "draw", "title Sorry ",
      "error-dialog because all your player is blocked sorry\r YOU ARE LOST", "panel shown"};
  struct Case {
    const char* name;
    Board board;
    Board after;
    std::vector<std::string> events;
    bool over;
  };
  const Case cases[] = {
      {"a move: drawn, then the material check",
       BoardWith({{"A1", c}, {"H8", p}, {"G7", p}}),
       BoardWith({{"B2", c}, {"H8", p}, {"G7", p}}),
       {"draw", "gauges 20 10"},
       false},
      {"the player's last piece taken: the designed loss",
       BoardWith({{"C3", c}, {"D4", p}, {"A1", c}}),
       BoardWith({{"E5", c}, {"A1", c}}),
       {"draw", "gauges 0 20", "title Sorry", "message  -  YOU have LOST  - ", "panel shown"},
       true},
      {"the player left with no legal move: the designed blocked loss",
       BoardWith({{"A3", p}, {"B2", c}, {"C1", c}, {"H8", C}}),
       BoardWith({{"A3", p}, {"B2", c}, {"C1", c}, {"H8", C}}), blocked_player, true},
      {"no move for the computer: the designed blocked win",
       BoardWith({{"A7", c}, {"B8", p}, {"H2", p}}), BoardWith({{"A7", c}, {"B8", p}, {"H2", p}}),
       blocked_computer, true},
  };
  Engine engine(1 << 12);
  engine.SetFixedNodes(5000);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    GameState state = GameAt(test.board, kComputerSide);
    state.level = LevelCount();
    state.history.assign(2, test.board);
    state.history_count = 2;
    testing::RecordingPort port;
    port.computer_checked = true;
    port.record_draws = true;
    LevelReply(state, port, engine);
    if (test.events != blocked_player) {
      EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after));
    }
    EXPECT_EQ(port.Take(), test.events);
    EXPECT_EQ(state.game_over, test.over);
    EXPECT_EQ(state.backup_board, test.board);
    ASSERT_EQ(state.history_count, 3u);
    EXPECT_EQ(state.history.back(), state.board);
    EXPECT_EQ(port.take_back_caption, "3");
  }
}

// The player's only man is stuck behind two men of the computer as long as they stay: moving the
// king instead wins at once, and every searching level sees it.
TEST(LevelReply, LeavesAPlayerWithoutAMoveLost) {
  GameState state = GameAt(BoardWith({{"A3", p}, {"B2", c}, {"C1", c}, {"H8", C}}), kComputerSide);
  state.level = 2;
  testing::RecordingPort port;
  port.computer_checked = true;
  Engine engine(1 << 12);
  engine.SetFixedNodes(5000);
  LevelReply(state, port, engine);
  EXPECT_TRUE(state.game_over);
  EXPECT_EQ(port.title, "Sorry ");
}

TEST(LevelReply, IsTheDesignedReplyAtLevelOneAndWaitsForItsTurn) {
  struct Case {
    const char* name;
    int level;
    bool computer_checked;
    int side;
    bool replies;
  };
  const Case cases[] = {
      {"level 1", 1, true, kComputerSide, true},
      {"a searching level", 3, true, kComputerSide, true},
      {"the computer switched off", 3, false, kComputerSide, false},
      {"the player's turn", 3, true, kPlayerSide, false},
  };
  const Board before = BoardWith({{"A1", c}, {"H8", p}});
  Engine engine(1 << 12);
  engine.SetFixedNodes(2000);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    GameState state = GameAt(before, test.side);
    state.level = test.level;
    testing::RecordingPort port;
    port.computer_checked = test.computer_checked;
    LevelReply(state, port, engine);
    EXPECT_EQ(state.history_count, test.replies ? 1u : 0u);
    if (test.level == 1) {
      GameState designed = GameAt(before, test.side);
      testing::RecordingPort designed_port;
      designed_port.computer_checked = true;
      ComputerReply(designed, designed_port);
      EXPECT_EQ(state.board, designed.board);
      EXPECT_EQ(port.events, designed_port.events);
    }
  }
}

TEST(LevelReply, PlaysTheExperienceFirstWhenItIsChecked) {
  const Board before = BoardWith({{"A1", c}, {"C1", c}, {"H8", p}});
  GameState state = GameAt(before, kComputerSide);
  state.level = LevelCount();
  ExperienceRecord record{before, testing::Sq("C1"), testing::Sq("D2"), 0};
  state.experience_list = {record};
  state.experience_count = 1;
  testing::RecordingPort port;
  port.computer_checked = true;
  port.experience_checked = true;
  port.record_draws = true;
  Engine engine(1 << 12);
  LevelReply(state, port, engine);
  EXPECT_EQ(port.Take(), (std::vector<std::string>{"message Similar Experience N:°0", "draw"}));
  EXPECT_EQ(state.board, BoardWith({{"A1", c}, {"D2", c}, {"H8", p}}));
  EXPECT_EQ(state.side_to_move, kPlayerSide);
  EXPECT_EQ(state.history_count, 1u);
  EXPECT_EQ(port.take_back_caption, "1");
}

}  // namespace
}  // namespace zelbo
