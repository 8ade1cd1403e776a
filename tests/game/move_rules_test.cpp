// SPDX-License-Identifier: GPL-3.0-or-later
// A player's clicks, position in and position, messages and turn out.
#include "game/move_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::BoardWith;
using testing::kInitialLine;

struct Click {
  const char* square;  // "-" off the board
  bool final;          // left button
};

struct ClickCase {
  const char* name;
  Board before;
  std::vector<Click> clicks;
  Board after;
  std::vector<std::string> events;
  int side_after = kComputerSide;
  bool game_over_after = false;
  int side_before = kPlayerSide;
  bool computer_checked = true;
};

const std::vector<std::string> kIllegal = {"title Error", "message illegal move !!!!!!"};
const std::vector<std::string> kIllegal2 = {"title Error", "message illegal move 2 !!!!!!"};

Board Initial() { return BoardOf(kInitialLine); }

Board InitialWith(std::initializer_list<testing::Placed> changes) {
  Board board = Initial();
  for (const auto& p : changes) WriteCell(board, testing::Sq(p.square), p.code);
  return board;
}

std::vector<ClickCase> Cases() {
  const CellCode p = kPlayerMan, P = kPlayerKing, c = kComputerMan;
  return {
      {"a man steps forward",
       Initial(),
       {{"D6", true}, {"E5", true}},
       InitialWith({{"D6", kEmpty}, {"E5", p}}),
       {}},
      {"a man may not step back",
       BoardWith({{"E5", p}}),
       {{"E5", true}, {"D6", true}},
       BoardWith({{"E5", p}}),
       kIllegal,
       kPlayerSide},
      {"a man may not jump an empty square",
       BoardWith({{"D6", p}}),
       {{"D6", true}, {"F4", true}},
       BoardWith({{"D6", p}}),
       kIllegal,
       kPlayerSide},
      {"a man may not jump its own piece",
       BoardWith({{"D6", p}, {"E5", p}}),
       {{"D6", true}, {"F4", true}},
       BoardWith({{"D6", p}, {"E5", p}}),
       kIllegal,
       kPlayerSide},
      {"a man may not go three squares",
       BoardWith({{"D6", p}}),
       {{"D6", true}, {"G3", true}},
       BoardWith({{"D6", p}}),
       kIllegal,
       kPlayerSide},
      {"a man may not land on a piece",
       Initial(),
       {{"C7", true}, {"D6", true}},
       Initial(),
       kIllegal,
       kPlayerSide},
      {"a step off the board is refused",
       Initial(),
       {{"D6", true}, {"-", true}},
       Initial(),
       kIllegal,
       kPlayerSide},
      {"a man takes forward",
       BoardWith({{"D6", p}, {"E5", c}, {"A1", c}}),
       {{"D6", true}, {"F4", true}},
       BoardWith({{"F4", p}, {"A1", c}}),
       {"gauges 10 10"}},
      {"a man may not take backwards",
       BoardWith({{"F4", p}, {"E5", c}}),
       {{"F4", true}, {"D6", true}},
       BoardWith({{"F4", p}, {"E5", c}}),
       kIllegal,
       kPlayerSide},
      {"a king flies along an empty diagonal",
       BoardWith({{"H8", P}, {"H2", c}}),
       {{"H8", true}, {"B2", true}},
       BoardWith({{"B2", P}, {"H2", c}}),
       {}},
      {"a king takes a lone piece and lands anywhere beyond",
       BoardWith({{"H8", P}, {"F6", c}, {"H2", c}}),
       {{"H8", true}, {"C3", true}},
       BoardWith({{"C3", P}, {"H2", c}}),
       {"gauges 10 10"}},
      {"a king may not pass two pieces standing together",
       BoardWith({{"H8", P}, {"F6", c}, {"E5", c}}),
       {{"H8", true}, {"C3", true}},
       BoardWith({{"H8", P}, {"F6", c}, {"E5", c}}),
       kIllegal,
       kPlayerSide},
      {"a king may not pass its own piece",
       BoardWith({{"H8", P}, {"F6", p}}),
       {{"H8", true}, {"C3", true}},
       BoardWith({{"H8", P}, {"F6", p}}),
       kIllegal,
       kPlayerSide},
      {"a king passing two separated pieces takes only the second",
       BoardWith({{"H8", P}, {"G7", c}, {"E5", c}, {"H2", c}}),
       {{"H8", true}, {"C3", true}},
       BoardWith({{"C3", P}, {"G7", c}, {"H2", c}}),
       {"gauges 10 20"}},
      {"a chain of two captures",
       BoardWith({{"B6", p}, {"C5", c}, {"E3", c}, {"A1", c}}),
       {{"B6", true}, {"D4", false}, {"F2", true}},
       BoardWith({{"F2", p}, {"A1", c}}),
       {"gauges 10 20", "gauges 10 10"}},
      {"a man promoted mid-chain goes on as a king",
       BoardWith({{"C3", p}, {"B2", c}, {"D4", c}, {"H8", c}}),
       {{"C3", true}, {"A1", false}, {"E5", true}},
       BoardWith({{"E5", P}, {"H8", c}}),
       {"gauges 10 20", "gauges 10 10"}},
      {"a plain step may end a chain",
       BoardWith({{"D6", p}, {"E5", c}, {"H1", c}}),
       {{"D6", true}, {"F4", false}, {"G3", true}},
       BoardWith({{"G3", p}, {"H1", c}}),
       {"gauges 10 10"}},
      {"a right-button plain step is undone",
       Initial(),
       {{"D6", true}, {"E5", false}},
       Initial(),
       kIllegal2,
       kPlayerSide},
      {"a refused chain puts its captures back",
       BoardWith({{"B6", p}, {"C5", c}, {"E3", c}, {"A1", c}}),
       {{"B6", true}, {"D4", false}, {"H8", true}},
       BoardWith({{"B6", p}, {"C5", c}, {"E3", c}, {"A1", c}}),
       {"gauges 10 20", "title Error", "message illegal move !!!!!!"},
       kPlayerSide},
      {"clicking the selected piece again",
       Initial(),
       {{"D6", true}, {"D6", true}},
       Initial(),
       kIllegal,
       kPlayerSide},
      {"clicking another own piece",
       Initial(),
       {{"D6", true}, {"F6", true}},
       Initial(),
       kIllegal,
       kPlayerSide},
      {"a left click on no own piece selects nothing",
       Initial(),
       {{"E5", true}, {"D2", true}, {"-", true}, {"B1", true}},
       Initial(),
       {},
       kPlayerSide},
      {"a right click that selects is refused",
       Initial(),
       {{"D6", false}},
       Initial(),
       kIllegal2,
       kPlayerSide},
      {"clicks of side +1 are ignored while the computer plays",
       Initial(),
       {{"A3", true}, {"B4", true}},
       Initial(),
       {},
       kComputerSide,
       false,
       kComputerSide,
       true},
      {"two players: side +1 moves with the computer off",
       Initial(),
       {{"C3", true}, {"D4", true}},
       InitialWith({{"C3", kEmpty}, {"D4", c}}),
       {},
       kPlayerSide,
       false,
       kComputerSide,
       false},
      {"taking the last piece ends the game and still passes the turn",
       BoardWith({{"D6", p}, {"E5", c}}),
       {{"D6", true}, {"F4", true}},
       BoardWith({{"F4", p}}),
       {"gauges 10 0", "title Congratulation", "message  * * *  you have WIN  * * * ",
        "panel shown"},
       kComputerSide,
       true},
  };
}

TEST(PlayerClick, FollowsTheMoveRules) {
  for (const ClickCase& test : Cases()) {
    SCOPED_TRACE(test.name);
    GameState state = testing::GameAt(test.before, test.side_before);
    testing::RecordingPort port;
    port.computer_checked = test.computer_checked;
    for (const Click& click : test.clicks) {
      PlayerClick(state, port, ParseSquareName(click.square).value_or(0), click.final);
    }
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after));
    EXPECT_EQ(port.Take(), test.events);
    EXPECT_EQ(state.side_to_move, test.side_after);
    EXPECT_EQ(state.game_over, test.game_over_after);
    EXPECT_EQ(Column(state.selected_square), 0);
    EXPECT_EQ(Column(state.captured_square), 0);
  }
}

TEST(PlayerClick, KeepsTheChainSelectedAndGaugesAfterARefusal) {
  GameState state =
      testing::GameAt(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}}));
  testing::RecordingPort port;
  PlayerClick(state, port, testing::Sq("B6"), true);
  EXPECT_EQ(SquareName(state.selected_square), "B6");
  PlayerClick(state, port, testing::Sq("D4"), false);
  EXPECT_EQ(SquareName(state.selected_square), "D4");
  EXPECT_EQ(state.side_to_move, kPlayerSide);
  PlayerClick(state, port, testing::Sq("C5"), true);  // a man may not step back
  EXPECT_EQ(ReadCell(state.board, testing::Sq("C5")), kComputerMan);
  EXPECT_EQ(port.gauge2, 10);  // the counts of the capture stay until the next check
}

TEST(PlayerClick, RightClickOnNothingNeverRestoresAnOldPosition) {
  // What was last saved for a refusal may be a long-gone position (or nothing at all at start).
  GameState state = testing::GameAt(Initial());
  state.backup_board = Board{};
  testing::RecordingPort port;
  PlayerClick(state, port, testing::Sq("E5"), false);
  EXPECT_EQ(FormatBoardLine(state.board), kInitialLine);
  EXPECT_EQ(port.Take(), kIllegal2);
  EXPECT_EQ(state.side_to_move, kPlayerSide);
}

TEST(CheckMove, ReportsTheCapturedSquare) {
  struct Case {
    Board board;
    const char* from;
    const char* to;
    bool ok;
    const char* captured;
  };
  const CellCode p = kPlayerMan, c = kComputerMan, C = kComputerKing;
  const Case cases[] = {
      {BoardWith({{"C3", c}}), "C3", "D4", true, "-"},
      {BoardWith({{"C3", c}}), "C3", "B2", false, "-"},
      {BoardWith({{"C3", c}, {"D4", p}}), "C3", "E5", true, "D4"},
      {BoardWith({{"C3", c}, {"D4", c}}), "C3", "E5", false, "-"},
      {BoardWith({{"A1", C}, {"C3", p}}), "A1", "H8", true, "C3"},
      {BoardWith({{"H8", C}, {"C3", p}, {"F6", p}}), "H8", "A1", true, "C3"},
      {BoardWith({{"A1", C}}), "A1", "B3", false, "-"},
      {BoardWith({{"A1", kEmpty}}), "A1", "B2", false, "-"},
  };
  for (const auto& test : cases) {
    const GameState state = testing::GameAt(test.board);
    const MoveCheckResult r = CheckMove(state, testing::Sq(test.from), testing::Sq(test.to));
    EXPECT_EQ(r.ok, test.ok) << test.from << "-" << test.to;
    if (r.ok) {
      EXPECT_EQ(SquareName(r.captured), test.captured) << test.from << "-" << test.to;
    }
  }
}

}  // namespace
}  // namespace zelbo
