// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's choice: which chain it takes, which plain move it plays, and when it gives up.
#include "computer/move_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::BoardWith;
using testing::GameAt;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

// Every plain move of side +1 here leaves the player 13 or more to take.
constexpr std::string_view kHopelessLine =
    ".x.xPx.x/x.x.xCx./.xCx.x.x/x.x.x.x./.x.x.x.x/xCx.x.x./px.xCxCx/x.x.xPx.";

TEST(ChooseCapture, PlaysTheLongestChainWithTheFewestThreats) {
  struct Case {
    const char* name;
    Board board;
    Board after;
    bool played;
  };
  const Case cases[] = {
      {"nothing to take", BoardOf(testing::kInitialLine), BoardOf(testing::kInitialLine), false},
      {"the longer chain, however exposed",
       BoardWith({{"A1", c}, {"G3", c}, {"B2", p}, {"D4", p}, {"F4", p}, {"F6", p}, {"G7", p}}),
       BoardWith({{"E5", c}, {"G3", c}, {"F4", p}, {"F6", p}, {"G7", p}}), true},
      {"equal chains and threats: the later square in the scan",
       BoardWith({{"A1", c}, {"B2", p}, {"G1", c}, {"F2", p}}),
       BoardWith({{"A1", c}, {"B2", p}, {"E3", c}}), true},
      {"equal chains: fewer threats beat a later square",
       BoardWith({{"A1", c}, {"B2", p}, {"G1", c}, {"F2", p}, {"F4", p}, {"G5", p}}),
       BoardWith({{"C3", c}, {"G1", c}, {"F2", p}, {"F4", p}, {"G5", p}}), true},
      {"a man ending on row 8 is promoted", BoardWith({{"B6", c}, {"C7", p}}),
       BoardWith({{"D8", C}}), true},
      {"a king runs on while exposed", BoardWith({{"A1", C}, {"B2", p}, {"B4", p}, {"A5", p}}),
       BoardWith({{"D4", C}, {"B4", p}, {"A5", p}}), true},
  };
  for (const auto& test : cases) {
    GameState state = GameAt(test.board, kComputerSide);
    bool move_played = false;
    ChooseCapture(state, move_played);
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after)) << test.name;
    EXPECT_EQ(move_played, test.played) << test.name;
    EXPECT_EQ(state.side_to_move, test.played ? kPlayerSide : kComputerSide) << test.name;
  }
}

TEST(CounterThreatCount, CountsThreatsAndRetakesFromTheLandingSquare) {
  struct Case {
    const char* name;
    Board board;
    int count;
  };
  const Case cases[] = {
      {"nothing attacked", BoardOf(testing::kInitialLine), 0},
      {"a man taken by a man that stops there", BoardWith({{"D4", c}, {"E5", p}}), 1},
      {"a man taken by a man that could take again", BoardWith({{"D4", c}, {"E5", p}, {"B2", c}}),
       2},
      // From C3 the king attacks D4 again, and the square behind it is the empty E5.
      {"an adjacent king is found again on its landing square", BoardWith({{"D4", c}, {"E5", P}}),
       1},
      // Moved two squares, the king stands on D4 itself and C3 stays empty.
      {"a king two squares away ends on the piece", BoardWith({{"D4", c}, {"F6", P}, {"B2", c}}),
       1},
      // Found again, the attack from E5 names the empty C3, not E3 where C5's man went.
      {"a second attacker found again", BoardWith({{"D4", c}, {"E5", p}, {"C5", p}, {"F2", c}}), 1},
  };
  for (const auto& test : cases) {
    Board board = test.board;
    EXPECT_EQ(int{CounterThreatCount(board)}, test.count) << test.name;
    EXPECT_EQ(FormatBoardLine(board), FormatBoardLine(test.board)) << test.name;
  }
}

TEST(PlayerCanCaptureFrom, KingsTakeEveryWayMenOnlyForward) {
  struct Case {
    Board board;
    bool can;
  };
  const Case cases[] = {
      {BoardWith({{"D4", P}, {"C5", c}}), true},
      {BoardWith({{"D4", P}, {"F2", C}}), true},
      {BoardWith({{"D4", p}, {"C5", c}}), false},
      {BoardWith({{"D4", p}, {"E3", C}}), true},
      {BoardWith({{"D4", p}, {"E3", c}, {"F2", c}}), false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(PlayerCanCaptureFrom(test.board, Sq("D4")), test.can) << FormatBoardLine(test.board);
  }
}

TEST(ChoosePlainMove, ChoosesTheFirstMoveWithTheLowestPlayerScore) {
  struct Case {
    const char* name;
    Board board;
    bool played;
    Board chosen;  // when played
    int player_score;
    int computer_score;
  };
  const Case cases[] = {
      {"a man on A1 has one move", BoardWith({{"A1", c}}), true, BoardWith({{"B2", c}}), 0, 0},
      {"down-right before down-left", BoardWith({{"G1", c}}), true, BoardWith({{"H2", c}}), 0, 0},
      {"the lower row of the screen first", BoardWith({{"B2", c}, {"D6", c}}), true,
       BoardWith({{"B2", c}, {"E7", c}}), 0, 0},
      {"on one row, the piece farther left", BoardWith({{"C3", c}, {"E3", c}}), true,
       BoardWith({{"D4", c}, {"E3", c}}), 0, 0},
      {"a man reaching row 8 is promoted", BoardWith({{"A7", c}}), true, BoardWith({{"B8", C}}), 0,
       0},
      {"the lower score beats the order", BoardWith({{"C1", c}, {"E3", p}}), true,
       BoardWith({{"B2", c}, {"E3", p}}), 0, 0},
      {"the scores are those before the move", BoardWith({{"D4", c}, {"E5", p}, {"F6", p}}), true,
       BoardWith({{"C5", c}, {"E5", p}, {"F6", p}}), 1, 0},
      {"a king tries every distance, the nearest first",
       BoardWith({{"A1", C}, {"A3", p}, {"B4", p}}), true,
       BoardWith({{"D4", C}, {"A3", p}, {"B4", p}}), 0, 0},
      {"no move leaves less than 13", BoardOf(kHopelessLine), false, {}, 23, 0},
  };
  for (const auto& test : cases) {
    GameState state = GameAt(test.board, kComputerSide);
    state.player_capture_score = 99;
    state.computer_capture_score = 99;
    bool move_played = false;
    Board chosen{};
    ChoosePlainMove(state, move_played, chosen);
    EXPECT_EQ(move_played, test.played) << test.name;
    if (test.played) {
      EXPECT_EQ(FormatBoardLine(chosen), FormatBoardLine(test.chosen)) << test.name;
    }
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.board)) << test.name;
    EXPECT_EQ(int{state.player_capture_score}, test.player_score) << test.name;
    EXPECT_EQ(int{state.computer_capture_score}, test.computer_score) << test.name;
  }
}

TEST(PlayPlainMove, PlaysOrDeclaresTheComputerBlocked) {
  const std::vector<std::string> blocked = {
      "title Congratulation",
      "message because all my player is blocked \rCongratulation you have WIN 1", "panel shown"};
  struct Case {
    const char* name;
    Board board;
    bool game_over;
    Board after;
    std::vector<std::string> events;
    int side_after;
  };
  const Board stuck = BoardWith({{"A1", c}, {"B2", p}, {"C3", p}});
  const Case cases[] = {
      {"a move", BoardWith({{"A1", c}}), false, BoardWith({{"B2", c}}), {"draw"}, kPlayerSide},
      {"no move", stuck, false, stuck, blocked, kComputerSide},
      {"no move in a game already over", stuck, true, stuck, {}, kComputerSide},
  };
  for (const auto& test : cases) {
    GameState state = GameAt(test.board, kComputerSide);
    state.game_over = test.game_over;
    testing::RecordingPort port;
    port.record_draws = true;
    bool move_played = false;
    PlayPlainMove(state, port, move_played);
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after)) << test.name;
    EXPECT_EQ(port.Take(), test.events) << test.name;
    EXPECT_EQ(state.side_to_move, test.side_after) << test.name;
    EXPECT_EQ(state.game_over, test.game_over || test.events.size() > 1) << test.name;
  }
}

}  // namespace
}  // namespace zelbo
