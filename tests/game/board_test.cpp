// SPDX-License-Identifier: GPL-3.0-or-later
// The square operations and the reset, checked on named squares and notation lines.
#include "game/board.h"

#include <gtest/gtest.h>

#include "game/click_protocol.h"
#include "game/game_state.h"
#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::kInitialLine;
using testing::Sq;

TEST(ReadCell, NoSquareReadsUnusableWhateverItsHighByte) {
  const Board board = BoardOf(kInitialLine);
  EXPECT_EQ(ReadCell(board, 0x0000), kUnusable);
  EXPECT_EQ(ReadCell(board, 0x0500), kUnusable);
  EXPECT_EQ(ReadCell(board, Sq("A1")), kComputerMan);
  EXPECT_EQ(ReadCell(board, Sq("B1")), kUnusable);
  EXPECT_EQ(ReadCell(board, Sq("D6")), kPlayerMan);
}

TEST(Neighbour, StepsAlongDiagonalsAndStopsAtTheEdge) {
  struct Case {
    const char* from;
    Direction direction;
    uint8_t distance;
    const char* expected;  // "-" for off the board
  };
  const Case cases[] = {
      {"A1", 4, 1, "-"},  {"A1", 1, 7, "H8"}, {"C3", 2, 2, "A5"}, {"C3", 3, 3, "-"},
      {"D4", 1, 1, "E5"}, {"D4", 2, 1, "C5"}, {"D4", 3, 1, "E3"}, {"D4", 4, 1, "C3"},
      {"D4", 0, 1, "-"},  {"D4", 5, 1, "-"},  {"H8", 1, 1, "-"},  {"A8", 3, 7, "H1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SquareName(Neighbour(Sq(c.from), c.direction, c.distance)), c.expected)
        << c.from << " direction " << int{c.direction} << " distance " << int{c.distance};
  }
}

TEST(DirectionBetween, IsTheInverseOfNeighbour) {
  struct Case {
    const char* from;
    const char* to;
    Direction direction;
    uint8_t distance;
  };
  const Case cases[] = {
      {"D6", "F4", 3, 2}, {"F4", "D6", 2, 2}, {"D6", "E4", 0, 0}, {"D6", "D6", 0, 0},
      {"A1", "H8", 1, 7}, {"H8", "A1", 4, 7}, {"D6", "D4", 0, 0},
  };
  for (const auto& c : cases) {
    const DiagonalStep step = DirectionBetween(Sq(c.from), Sq(c.to));
    EXPECT_EQ(step.direction, c.direction) << c.from << " to " << c.to;
    if (c.direction == kNoDirection) continue;
    EXPECT_EQ(step.distance, c.distance) << c.from << " to " << c.to;
    EXPECT_EQ(Neighbour(Sq(c.from), step.direction, step.distance), Sq(c.to));
  }
  EXPECT_EQ(SquareName(Midpoint(Sq("D6"), Sq("F4"))), "E5");
}

TEST(IsOwnPiece, MenAndKingsOfTheSideOnly) {
  const Board board = testing::BoardWith({{"A1", kComputerMan},
                                          {"C1", kComputerKing},
                                          {"E1", kPlayerMan},
                                          {"G1", kPlayerKing},
                                          {"B2", kAnyComputerPiece}});
  const char* squares[] = {"A1", "C1", "E1", "G1", "B2", "D2", "B1"};
  const bool player[] = {false, false, true, true, false, false, false};
  const bool computer[] = {true, true, false, false, false, false, false};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(IsOwnPiece(board, kPlayerSide, Sq(squares[i])), player[i]) << squares[i];
    EXPECT_EQ(IsOwnPiece(board, kComputerSide, Sq(squares[i])), computer[i]) << squares[i];
  }
}

TEST(Promote, OnlyMenOnTheirLastRow) {
  struct Case {
    const char* square;
    CellCode before;
    CellCode after;
  };
  const Case cases[] = {
      {"C1", kPlayerMan, kPlayerKing},      {"D8", kComputerMan, kComputerKing},
      {"D8", kPlayerMan, kPlayerMan},       {"C1", kComputerMan, kComputerMan},
      {"C1", kComputerKing, kComputerKing}, {"D8", kPlayerKing, kPlayerKing},
      {"E5", kPlayerMan, kPlayerMan},       {"C1", kEmpty, kEmpty},
  };
  for (const auto& c : cases) {
    Board board = testing::BoardWith({{c.square, c.before}});
    Promote(board, Sq(c.square));
    EXPECT_EQ(ReadCell(board, Sq(c.square)), c.after) << c.square << " " << int{c.before};
  }
}

TEST(NewGame, SetsUpTheOpeningAndLeavesWhatItDoesNotOwn) {
  testing::RecordingPort port;
  port.take_back_caption = "7";
  GameState state;
  state.backup_board = BoardOf(testing::kEmptyLine);
  state.captured_square = Sq("C3");
  state.selected_square = Sq("D6");
  state.game_over = true;
  state.history.resize(3);
  state.history_count = 3;
  state.player_capture_score = 4;
  state.board.cells[5].extra[0] = 0x77;  // bytes that mean nothing travel through a reset

  NewGame(state, port);

  EXPECT_EQ(FormatBoardLine(state.board), kInitialLine);
  EXPECT_EQ(state.board.cells[5].extra[0], 0x77);
  EXPECT_EQ(state.side_to_move, kPlayerSide);
  EXPECT_EQ(state.selected_square, 0);
  EXPECT_FALSE(state.game_over);
  EXPECT_EQ(state.board_origin, 40);
  EXPECT_EQ(state.square_size, 32);
  EXPECT_EQ(state.execution_time, 50);
  EXPECT_TRUE(state.history.empty());
  EXPECT_EQ(state.history_count, 0u);
  EXPECT_EQ(port.take_back_caption, "0");
  EXPECT_EQ(state.backup_board, BoardOf(testing::kEmptyLine));
  EXPECT_EQ(state.captured_square, Sq("C3"));
  EXPECT_EQ(state.player_capture_score, 4);
}

TEST(Notation, RoundTripsEveryCodeAndRefusesMalformedLines) {
  const std::string line =
      "cxCxpxPx/x?x+x-x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.";
  EXPECT_EQ(FormatBoardLine(BoardOf(line)), line);
  EXPECT_FALSE(ParseBoardLine("cxcx"));
  EXPECT_FALSE(ParseBoardLine(std::string(kInitialLine).replace(8, 1, "|")));
  EXPECT_FALSE(ParseBoardLine(std::string(kInitialLine).replace(0, 1, "#")));
  Board odd{};
  odd.SetCode(1, 1, 9);
  EXPECT_EQ(FormatBoardLine(odd)[0], '#');
  EXPECT_EQ(ParseSquareName("d6"), MakeSquare(4, 6));
  EXPECT_FALSE(ParseSquareName("I1"));
  EXPECT_FALSE(ParseSquareName("A9"));
  EXPECT_FALSE(ParseSquareName("A"));
}

TEST(PixelToSquare, MapsTheDesignedPixels) {
  const GameState state = testing::GameAt(BoardOf(kInitialLine));
  struct Case {
    int x, y;
    const char* square;
  };
  const Case cases[] = {{40, 40, "A1"},   {71, 71, "A1"}, {72, 40, "B1"},  {295, 295, "H8"},
                        {296, 100, "-"},  {39, 100, "-"}, {100, 296, "-"}, {100, 39, "-"},
                        {151, 215, "D6"}, {-5, -5, "-"}};
  for (const auto& c : cases) {
    EXPECT_EQ(SquareName(PixelToSquare(state, c.x, c.y)), c.square) << c.x << "," << c.y;
  }
  EXPECT_EQ(PixelToSquare(GameState{}, 50, 50), 0);  // no geometry before the first new game
}

}  // namespace
}  // namespace zelbo
