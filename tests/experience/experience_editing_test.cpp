// The experience editor's rules without its window: the move check on a drawn pattern, how the
// working record's move is chosen and forgotten, and paging and deleting through the list.
#include "experience/experience_editing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

TEST(CheckPatternMove, MenStepAndJumpForwardKingsFlyOverSeparatePieces) {
  struct Case {
    const char* name;
    Board pattern;
    const char* from;
    const char* to;
    bool legal;
    const char* captured;
  };
  const Case cases[] = {
      {"a man steps forward", BoardWith({{"C3", c}}), "C3", "D4", true, "-"},
      {"a man steps backward", BoardWith({{"C3", c}}), "C3", "B2", false, "-"},
      {"off the diagonal", BoardWith({{"C3", c}}), "C3", "C5", false, "-"},
      {"a man jumps a man", BoardWith({{"C3", c}, {"D4", p}}), "C3", "E5", true, "D4"},
      {"a man jumps a king", BoardWith({{"C3", c}, {"B4", P}}), "C3", "A5", true, "B4"},
      {"a man jumps any piece -1", BoardWith({{"C3", c}, {"D4", -4}}), "C3", "E5", true, "D4"},
      {"not important cannot be jumped", BoardWith({{"C3", c}, {"D4", -3}}), "C3", "E5", false,
       "-"},
      {"a man jumps no empty square", BoardWith({{"C3", c}}), "C3", "E5", false, "-"},
      {"a man goes no further", BoardWith({{"C3", c}}), "C3", "F6", false, "-"},
      {"any piece +1 moves like a man", BoardWith({{"C3", 4}, {"D4", p}}), "C3", "E5", true, "D4"},
      {"any piece +1 goes no further back", BoardWith({{"C3", 4}}), "C3", "B2", false, "-"},
      {"a king over empty squares", BoardWith({{"A1", C}}), "A1", "H8", true, "-"},
      {"a king backwards", BoardWith({{"H8", C}}), "H8", "A1", true, "-"},
      {"a king over one man", BoardWith({{"A1", C}, {"C3", p}}), "A1", "H8", true, "C3"},
      {"a king over two men in a row", BoardWith({{"A1", C}, {"C3", p}, {"D4", p}}), "A1", "H8",
       false, "-"},
      {"a king over its own man", BoardWith({{"A1", C}, {"E5", c}}), "A1", "H8", false, "-"},
      {"a king over two separate men takes the last", BoardWith({{"A1", C}, {"C3", p}, {"E5", P}}),
       "A1", "H8", true, "E5"},
      {"a king passes wildcards", BoardWith({{"A1", C}, {"B2", -3}, {"C3", 4}, {"D4", -4}}), "A1",
       "H8", true, "-"},
      {"an empty square moves nowhere", BoardWith({}), "C3", "D4", false, "-"},
      {"a man -1 moves nowhere", BoardWith({{"C3", p}}), "C3", "D4", false, "-"},
  };
  for (const Case& test : cases) {
    const PatternMove move = CheckPatternMove(test.pattern, Sq(test.from), Sq(test.to));
    EXPECT_EQ(move.legal, test.legal) << test.name;
    if (move.legal) {
      EXPECT_EQ(SquareName(move.captured), test.captured) << test.name;
    }
  }
}

TEST(EditRecordMove, IsChosenForgottenAndKeptAsTheEditorSays) {
  ExperienceRecord record{BoardWith({{"C3", c}, {"D4", p}, {"G3", c}}), 0, 0, 0};
  EXPECT_EQ(ChooseMoveTo(record, Sq("E5")), MoveToOutcome::kIgnored);  // no piece chosen yet
  EXPECT_FALSE(ChooseMoveFrom(record, Sq("D4")));
  EXPECT_FALSE(ChooseMoveFrom(record, Sq("E5")));
  EXPECT_TRUE(ChooseMoveFrom(record, Sq("C3")));
  EXPECT_EQ(ChooseMoveTo(record, Sq("D4")), MoveToOutcome::kIgnored);  // not drawn empty
  EXPECT_EQ(ChooseMoveTo(record, Sq("B2")), MoveToOutcome::kIllegal);
  EXPECT_EQ(ChooseMoveTo(record, Sq("E5")), MoveToOutcome::kChosen);
  EXPECT_EQ(SquareName(record.to), "E5");
  EXPECT_EQ(SquareName(record.captured), "D4");

  // An illegal destination keeps the move; a legal plain one clears the capture.
  EXPECT_EQ(ChooseMoveTo(record, Sq("F6")), MoveToOutcome::kIllegal);
  EXPECT_EQ(SquareName(record.captured), "D4");
  EXPECT_EQ(ChooseMoveTo(record, Sq("B4")), MoveToOutcome::kChosen);
  EXPECT_EQ(SquareName(record.captured), "-");

  // Changing another square keeps the move, even one it no longer allows.
  ChooseMoveTo(record, Sq("E5"));
  SetPatternCode(record, Sq("D4"), kEmpty);
  EXPECT_EQ(SquareName(record.to), "E5");
  EXPECT_EQ(SquareName(record.captured), "D4");

  // Writing on the From square forgets From and To, low bytes only, and keeps Captured.
  SetPatternCode(record, Sq("C3"), C);
  EXPECT_EQ(record.from, 0x0300);
  EXPECT_EQ(record.to, 0x0500);
  EXPECT_EQ(SquareName(record.captured), "D4");

  // Choosing From again clears the destination and the capture.
  ChooseMoveFrom(record, Sq("C3"));
  ChooseMoveTo(record, Sq("E5"));
  ChooseMoveFrom(record, Sq("G3"));
  EXPECT_EQ(SquareName(record.from), "G3");
  EXPECT_EQ(record.to, 0x0500);
  EXPECT_EQ(record.captured, 0x0400);
}

TEST(PopupItemsOver, OffersItemsOnlyOnPlayableSquares) {
  ExperienceRecord record{BoardWith({{"C3", c}, {"E3", 4}, {"D4", p}}), 0, 0, 0};
  struct Case {
    const char* square;  // "-" for off the board
    bool chosen;         // a From has been chosen
    PopupItems items;
  };
  const Case cases[] = {
      {"-", true, {false, false, false}},  {"D3", true, {false, false, false}},
      {"A5", false, {true, false, false}}, {"A5", true, {true, false, true}},
      {"C3", false, {true, true, false}},  {"E3", true, {true, true, false}},
      {"D4", true, {true, false, false}},
  };
  for (const Case& test : cases) {
    record.from = test.chosen ? Sq("C3") : 0;
    const SquareRef s = std::string(test.square) == "-" ? 0 : Sq(test.square);
    const PopupItems items = PopupItemsOver(record, s);
    EXPECT_EQ(items.visible, test.items.visible) << test.square;
    if (!items.visible) continue;  // hidden items are not offered, enabled or not
    EXPECT_EQ(items.from_enabled, test.items.from_enabled) << test.square;
    EXPECT_EQ(items.to_enabled, test.items.to_enabled) << test.square;
  }
}

// A list of three records told apart by the code on A5; the index one past the end, as after
// loading.
GameState ThreeRecords() {
  GameState state;
  for (CellCode code : {c, p, C})
    state.experience_list.push_back({BoardWith({{"A5", code}}), 0, 0, 0});
  state.experience_count = 3;
  state.experience_index = 3;
  return state;
}

CellCode Shown(const GameState& state) { return ReadCell(state.edit_record.pattern, Sq("A5")); }

TEST(ExperienceList, PagesAroundAndDeletesTheShownRecord) {
  struct Case {
    const char* name;
    std::vector<int> steps;  // +1 next, -1 previous, 0 delete
    uint32_t index;
    std::size_t count;
    CellCode shown;
  };
  const Case cases[] = {
      {"next after loading", {+1}, 0, 3, c},
      {"previous after loading", {-1}, 2, 3, C},
      {"next wraps", {-1, +1}, 0, 3, c},
      {"previous wraps", {+1, -1}, 2, 3, C},
      {"delete the middle one", {+1, +1, 0}, 0, 2, c},
      {"delete the first one", {+1, 0}, 0, 2, p},
      {"delete after loading takes the last", {0}, 2, 2, p},
      {"delete everything", {0, 0, 0}, 0, 0, c},
      {"delete with nothing left", {0, 0, 0, 0}, 0, 0, c},
  };
  for (const Case& test : cases) {
    GameState state = ThreeRecords();
    for (int step : test.steps) {
      if (step == 0) {
        DeleteExperienceRecord(state);
      } else {
        PageExperience(state, step > 0);
      }
    }
    EXPECT_EQ(state.experience_index, test.index) << test.name;
    EXPECT_EQ(state.experience_count, test.count) << test.name;
    EXPECT_EQ(state.experience_list.size(), test.count) << test.name;
    EXPECT_EQ(Shown(state), test.shown) << test.name;
  }
  GameState empty;
  EXPECT_FALSE(PageExperience(empty, true));
  EXPECT_FALSE(DeleteExperienceRecord(empty));
}

}  // namespace
}  // namespace zelbo
