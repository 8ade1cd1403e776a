// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's whole turn and its reply after a click: the move, the end-of-game checks that
// follow it, the saved position and the take-back list.
#include "computer/computer_turn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::GameAt;

constexpr CellCode c = kComputerMan, p = kPlayerMan;

TEST(ComputerTurn, PlaysThenRunsTheEndOfGameChecks) {
  const std::vector<std::string> lost = {
      "title Sorry ", "error-dialog because all your player is blocked sorry\r YOU ARE LOST",
      "panel shown"};
  const std::vector<std::string> blocked = {
      "title Congratulation",
      "message because all my player is blocked \rCongratulation you have WIN 1", "panel shown"};
  struct Case {
    const char* name;
    Board board;
    int computer_score_before;  // the player's is 0 before every turn here
    Board after;
    std::vector<std::string> events;  // after the "draw" of a move
    int computer_score_after;
  };
  // After A1 takes B2, the man on A5 is stuck behind B4.
  const Board stuck_after_capture = BoardWith({{"A1", c}, {"B2", p}, {"B4", c}, {"A5", p}});
  const Board stuck_after = BoardWith({{"C3", c}, {"B4", c}, {"A5", p}});
  const Board hemmed_in = BoardWith({{"A1", c}, {"B2", p}, {"C3", p}, {"H8", p}});
  const Board both_stuck =
      BoardWith({{"A1", c}, {"B2", p}, {"C3", p}, {"C1", p}, {"D2", p}, {"E1", p}});
  const Case cases[] = {
      {"a capture: the scores are not measured again",
       BoardWith({{"A1", c}, {"B2", p}, {"H8", p}}),
       9,
       BoardWith({{"C3", c}, {"H8", p}}),
       {"draw", "gauges 10 10"},
       9},
      {"a blocked player is checked while the computer's score is 0",
       stuck_after_capture,
       0,
       stuck_after,
       {"draw", lost[0], lost[1], lost[2]},
       0},
      {"and not while it is above 0",
       stuck_after_capture,
       9,
       stuck_after,
       {"draw", "gauges 10 20"},
       9},
      {"a plain move, measured before it is played",
       BoardWith({{"A1", c}, {"H8", p}}),
       9,
       BoardWith({{"B2", c}, {"H8", p}}),
       {"draw", "gauges 10 10"},
       0},
      {"a blocked computer: no material check", hemmed_in, 9, hemmed_in, blocked, 0},
      {"a blocked computer facing a blocked player: the game is already won", both_stuck, 9,
       both_stuck, blocked, 0},
  };
  for (const auto& test : cases) {
    GameState state = GameAt(test.board, kComputerSide);
    state.player_capture_score = 0;
    state.computer_capture_score = static_cast<uint8_t>(test.computer_score_before);
    testing::RecordingPort port;
    port.record_draws = true;
    ComputerTurn(state, port);
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after)) << test.name;
    EXPECT_EQ(port.Take(), test.events) << test.name;
    EXPECT_EQ(FormatBoardLine(state.backup_board), FormatBoardLine(test.board)) << test.name;
    EXPECT_EQ(int{state.computer_capture_score}, test.computer_score_after) << test.name;
    const bool moved = test.events.front() == "draw";
    EXPECT_EQ(state.side_to_move, moved ? kPlayerSide : kComputerSide) << test.name;
  }
}

TEST(ComputerReply, RepliesOnlyToAGameStillOnAndRecordsTheReply) {
  struct Case {
    const char* name;
    bool computer_checked;
    int side;
    bool game_over;
    bool replies;
  };
  const Case cases[] = {
      {"the computer's turn", true, kComputerSide, false, true},
      {"the computer switched off", false, kComputerSide, false, false},
      {"the player's turn", true, kPlayerSide, false, false},
      {"a game the player has just won", true, kComputerSide, true, false},
  };
  const Board before = BoardWith({{"A1", c}, {"H8", p}});
  const Board reply = BoardWith({{"B2", c}, {"H8", p}});
  for (const auto& test : cases) {
    GameState state = GameAt(before, test.side);
    state.game_over = test.game_over;
    state.history.assign(9, before);
    state.history_count = 9;
    testing::RecordingPort port;
    port.computer_checked = test.computer_checked;
    ComputerReply(state, port);
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.replies ? reply : before))
        << test.name;
    ASSERT_EQ(state.history_count, test.replies ? 10u : 9u) << test.name;
    ASSERT_EQ(state.history.size(), state.history_count) << test.name;
    EXPECT_EQ(state.history.back(), test.replies ? reply : before) << test.name;
    EXPECT_EQ(port.take_back_caption, test.replies ? "10" : "0") << test.name;
  }
}

}  // namespace
}  // namespace zelbo
