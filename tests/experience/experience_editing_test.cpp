// SPDX-License-Identifier: GPL-3.0-or-later
// The experience editor's rules without its window: the move check on a drawn pattern beyond the
// cases the window tests try, and how the working record's move is kept and forgotten.
#include "experience/experience_editing.h"

#include <gtest/gtest.h>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

TEST(CheckPatternMove, MenStepAndJumpForwardKingsFlyOverSeparatePieces) {
  const struct {
    const char* name;
    Board pattern;
    const char* from;
    const char* to;
    const char* captured;  // "" when the move is refused
  } cases[] = {
      {"off the diagonal", BoardWith({{"C3", c}}), "C3", "C5", ""},
      {"a man jumps no empty square", BoardWith({{"C3", c}}), "C3", "E5", ""},
      {"a man jumps a king", BoardWith({{"C3", c}, {"B4", P}}), "C3", "A5", "B4"},
      {"a man goes no further", BoardWith({{"C3", c}}), "C3", "F6", ""},
      {"any piece +1 goes no further back", BoardWith({{"C3", 4}}), "C3", "B2", ""},
      {"a king backwards over empty squares", BoardWith({{"H8", C}}), "H8", "A1", "-"},
      {"a king over two separate men takes the last", BoardWith({{"A1", C}, {"C3", p}, {"E5", P}}),
       "A1", "H8", "E5"},
      {"a king passes wildcards", BoardWith({{"A1", C}, {"B2", -3}, {"C3", 4}, {"D4", -4}}), "A1",
       "H8", "-"},
      {"a man -1 moves nowhere", BoardWith({{"C3", p}}), "C3", "D4", ""},
  };
  for (const auto& test : cases) {
    const PatternMove move = CheckPatternMove(test.pattern, Sq(test.from), Sq(test.to));
    EXPECT_EQ(move.legal, std::string(test.captured) != "") << test.name;
    EXPECT_EQ(move.legal ? SquareName(move.captured) : "", test.captured) << test.name;
  }
}

TEST(EditRecordMove, IsKeptUntilFromIsChosenAgain) {
  ExperienceRecord record{BoardWith({{"C3", c}, {"D4", p}, {"G3", c}}), 0, 0, 0};
  EXPECT_EQ(ChooseMoveTo(record, Sq("E5")), MoveToOutcome::kIgnored);  // no piece chosen yet
  EXPECT_FALSE(ChooseMoveFrom(record, Sq("D4")));
  ASSERT_TRUE(ChooseMoveFrom(record, Sq("C3")));
  EXPECT_EQ(ChooseMoveTo(record, Sq("D4")), MoveToOutcome::kIgnored);  // not drawn empty
  ASSERT_EQ(ChooseMoveTo(record, Sq("E5")), MoveToOutcome::kChosen);

  // A refused destination keeps the move, and so does a change elsewhere that makes it illegal.
  EXPECT_EQ(ChooseMoveTo(record, Sq("F6")), MoveToOutcome::kIllegal);
  SetPatternCode(record, Sq("D4"), kEmpty);
  EXPECT_EQ(SquareName(record.to), "E5");
  EXPECT_EQ(SquareName(record.captured), "D4");

  // Choosing From again clears the destination and the capture, low bytes only.
  ChooseMoveFrom(record, Sq("G3"));
  EXPECT_EQ(SquareName(record.from), "G3");
  EXPECT_EQ(record.to, 0x0500);
  EXPECT_EQ(record.captured, 0x0400);
}

}  // namespace
}  // namespace zelbo
