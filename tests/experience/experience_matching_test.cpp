// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's experience as a player sees it: which stored pattern matches the board, which
// record wins, the message that announces it, and the position after its move.
#include "computer/experience_matching.h"

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
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

// Every playable square "not important".
constexpr std::string_view kAnythingLine =
    "?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?";

ExperienceRecord Record(const Board& pattern, const char* from, const char* to,
                        SquareRef captured = 0) {
  return {pattern, Sq(from), Sq(to), captured};
}

// A pattern that holds `code` on `square` and is "not important" everywhere else.
Board AnythingBut(const char* square, CellCode code) {
  Board pattern = BoardOf(kAnythingLine);
  WriteCell(pattern, Sq(square), code);
  return pattern;
}

TEST(PatternMatches, WildcardsMatchTheirPiecesAndOtherCodesOnlyThemselves) {
  // The code of the pattern on D4, everything else "not important", against the board's D4.
  const struct {
    CellCode pattern, board;
    bool matches;
  } squares[] = {
      {-3, C, true}, {-3, kEmpty, true}, {4, c, true},  {4, C, true},   {4, kEmpty, false},
      {4, p, false}, {-4, p, true},      {-4, P, true}, {-4, 0, false}, {-4, c, false},
      {c, C, false}, {kEmpty, p, false}, {P, P, true},
  };
  for (const auto& test : squares) {
    EXPECT_EQ(
        PatternMatches({AnythingBut("D4", test.pattern), 0, 0, 0}, BoardWith({{"D4", test.board}})),
        test.matches)
        << int{test.pattern} << " on " << int{test.board};
  }
  const Board initial = BoardOf(kInitialLine);
  EXPECT_TRUE(PatternMatches({initial, 0, 0, 0}, initial));
  // One exact square that differs is enough, whatever the wildcards elsewhere.
  const Board one_off =
      BoardOf("?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x+x?x./-x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?");
  EXPECT_FALSE(PatternMatches({one_off, 0, 0, 0}, BoardWith({{"D4", c}, {"A5", p}, {"H4", p}})));
}

// The rule for one square, whatever the square and whatever the two bytes after each code: patterns
// are compared many squares at a time, so every square of the image is tried here.
TEST(PatternMatches, EverySquareOfTheImageCountsAndOnlyItsCode) {
  const CellCode codes[] = {-128, -4, -3, -2, -1, 0, 1, 2, 3, 4, 7, 127};
  const auto rule = [](CellCode pattern, CellCode board) {
    if (pattern == kNotImportant || pattern == board) return true;
    if (pattern == kAnyComputerPiece) return board == c || board == C;
    if (pattern == kAnyPlayerPiece) return board == p || board == P;
    return false;
  };
  Board pattern{}, board{};
  for (std::size_t i = 0; i < pattern.cells.size(); ++i) {
    pattern.cells[i] = {kNotImportant, {static_cast<uint8_t>(i), 0xFF}};
    board.cells[i] = {codes[i % std::size(codes)], {0, static_cast<uint8_t>(3 * i)}};
  }
  for (std::size_t square = 0; square < pattern.cells.size(); ++square) {
    for (const CellCode pattern_code : codes) {
      for (const CellCode board_code : codes) {
        Board one_square = pattern, game = board;
        one_square.cells[square].code = pattern_code;
        game.cells[square].code = board_code;
        ASSERT_EQ(PatternMatches({one_square, 0, 0, 0}, game), rule(pattern_code, board_code))
            << "cell " << square << ": " << int{pattern_code} << " on " << int{board_code};
      }
    }
  }
}

// A port that notes the board as it stands when each message is shown.
class SnapshotPort : public testing::RecordingPort {
 public:
  explicit SnapshotPort(const GameState& state) : state_(state) {}
  void ShowMessage(std::string_view text) override {
    events.push_back(std::string(text) + " | " + FormatBoardLine(state_.board));
  }

 private:
  const GameState& state_;
};

TEST(PlayExperience, PlaysTheNewestMatchingRecordAsStored) {
  const Board start = BoardWith({{"C3", c}, {"D4", p}, {"G7", c}});
  const Board anything = BoardOf(kAnythingLine);
  const struct {
    const char* name;
    std::vector<ExperienceRecord> store;
    int shown;  // the index announced, -1 for no message and no move
    Board after;
  } cases[] = {
      {"an empty store", {}, -1, start},
      {"no record matches", {Record(AnythingBut("C3", p), "C3", "B4")}, -1, start},
      {"the only record",
       {Record(anything, "C3", "B4")},
       0,
       BoardWith({{"B4", c}, {"D4", p}, {"G7", c}})},
      {"of two matching records the later one, a capture",
       {Record(anything, "C3", "B4"), Record(AnythingBut("D4", -4), "C3", "E5", Sq("D4")),
        Record(AnythingBut("D4", kEmpty), "C3", "B4")},
       1,
       BoardWith({{"E5", c}, {"G7", c}})},
      {"a man reaching row 8 is crowned",
       {Record(anything, "G7", "H8")},
       0,
       BoardWith({{"C3", c}, {"D4", p}, {"H8", C}})},
      {"Captured with low byte 0 removes nothing",
       {Record(anything, "C3", "B4", 0x0400)},
       0,
       BoardWith({{"B4", c}, {"D4", p}, {"G7", c}})},
      {"Captured on an unusable square removes nothing",
       {Record(anything, "C3", "B4", Sq("E4"))},
       0,
       BoardWith({{"B4", c}, {"D4", p}, {"G7", c}})},
  };
  for (const auto& test : cases) {
    GameState state = testing::GameAt(start, kComputerSide);
    state.experience_list = test.store;
    state.experience_count = static_cast<uint32_t>(test.store.size());
    SnapshotPort port(state);
    bool move_played = false;
    PlayExperience(state, port, move_played);
    const bool played = test.shown >= 0;
    // The message comes before the move.
    const std::string message =
        "Similar Experience N:°" + std::to_string(test.shown) + " | " + FormatBoardLine(start);
    EXPECT_EQ(port.Take(), played ? std::vector{message} : std::vector<std::string>{}) << test.name;
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(test.after)) << test.name;
    EXPECT_EQ(move_played, played) << test.name;
    EXPECT_EQ(state.side_to_move, played ? kPlayerSide : kComputerSide) << test.name;
  }
}

TEST(PlayExperience, PassesOverRecordsWhoseMoveLeavesTheBoard) {
  const Board anything = BoardOf(kAnythingLine);
  const ExperienceRecord playable = Record(anything, "C3", "D4");
  const struct {
    const char* name;
    SquareRef from, to, captured;
  } broken[] = {
      {"no From", 0x0300, Sq("D4"), 0},
      {"no To", Sq("C3"), 0x0400, 0},
      {"From in column 9", MakeSquare(9, 3), Sq("D4"), 0},
      {"To in row 0", Sq("C3"), MakeSquare(4, 0), 0},
      {"To in row 9", Sq("C3"), MakeSquare(4, 9), 0},
      {"Captured in row 9", Sq("C3"), Sq("E5"), MakeSquare(4, 9)},
      {"Captured in column 200", Sq("C3"), Sq("E5"), MakeSquare(200, 4)},
  };
  for (const auto& test : broken) {
    GameState state = testing::GameAt(BoardWith({{"C3", c}}), kComputerSide);
    state.experience_list = {playable, {anything, test.from, test.to, test.captured}};
    state.experience_count = 2;
    const auto store = state.experience_list;
    testing::RecordingPort port;
    bool move_played = false;
    PlayExperience(state, port, move_played);
    EXPECT_EQ(port.Take(), std::vector<std::string>{"message Similar Experience N:°0"})
        << test.name;
    EXPECT_EQ(FormatBoardLine(state.board), FormatBoardLine(BoardWith({{"D4", c}}))) << test.name;
    EXPECT_EQ(state.experience_list, store) << test.name;
  }
}

}  // namespace
}  // namespace zelbo
