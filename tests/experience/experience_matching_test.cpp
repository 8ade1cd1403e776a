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
  struct Case {
    const char* name;
    Board pattern;
    Board board;
    bool matches;
  };
  const Board initial = BoardOf(kInitialLine);
  const Case cases[] = {
      {"all not important, the opening", BoardOf(kAnythingLine), initial, true},
      {"all not important, kings", BoardOf(kAnythingLine), BoardWith({{"D4", C}, {"E5", P}}), true},
      {"the same position", initial, initial, true},
      {"any piece +1 on a man", AnythingBut("D4", 4), BoardWith({{"D4", c}}), true},
      {"any piece +1 on a king", AnythingBut("D4", 4), BoardWith({{"D4", C}}), true},
      {"any piece +1 on an empty square", AnythingBut("D4", 4), BoardWith({}), false},
      {"any piece +1 on a man -1", AnythingBut("D4", 4), BoardWith({{"D4", p}}), false},
      {"any piece -1 on a man", AnythingBut("D4", -4), BoardWith({{"D4", p}}), true},
      {"any piece -1 on a king", AnythingBut("D4", -4), BoardWith({{"D4", P}}), true},
      {"any piece -1 on an empty square", AnythingBut("D4", -4), BoardWith({}), false},
      {"any piece -1 on a man +1", AnythingBut("D4", -4), BoardWith({{"D4", c}}), false},
      {"a man is not a king", AnythingBut("D4", c), BoardWith({{"D4", C}}), false},
      {"empty is not any piece", AnythingBut("D4", kEmpty), BoardWith({{"D4", p}}), false},
      {"one exact square differs, wildcards elsewhere",
       BoardOf("?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x+x?x./-x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?"),
       BoardWith({{"D4", c}, {"A5", p}, {"H4", p}}), false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(PatternMatches({test.pattern, 0, 0, 0}, test.board), test.matches) << test.name;
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
  struct Case {
    const char* name;
    std::vector<ExperienceRecord> store;
    Board board;
    std::string message;  // with the board as it stood then; empty when nothing is played
    Board after;
  };
  const Board start = BoardWith({{"C3", c}, {"E5", p}, {"G7", c}});
  const std::string start_line = " | " + FormatBoardLine(start);
  const Board anything = BoardOf(kAnythingLine);
  const Case cases[] = {
      {"an empty store", {}, start, "", start},
      {"no record matches", {Record(AnythingBut("C3", p), "C3", "D4")}, start, "", start},
      {"the only record is number 0",
       {Record(anything, "C3", "D4")},
       start,
       "Similar Experience N:°0" + start_line,
       BoardWith({{"D4", c}, {"E5", p}, {"G7", c}})},
      {"of two matching records the later one",
       {Record(anything, "C3", "D4"), Record(AnythingBut("E5", -4), "C3", "B4"),
        Record(AnythingBut("E5", kEmpty), "C3", "D4")},
       start,
       "Similar Experience N:°1" + start_line,
       BoardWith({{"B4", c}, {"E5", p}, {"G7", c}})},
      {"a capture removes the captured piece",
       {Record(anything, "C3", "E5", Sq("D4"))},
       BoardWith({{"C3", c}, {"D4", p}}),
       "Similar Experience N:°0 | " + FormatBoardLine(BoardWith({{"C3", c}, {"D4", p}})),
       BoardWith({{"E5", c}})},
      {"a man reaching row 8 is crowned",
       {Record(anything, "G7", "H8")},
       start,
       "Similar Experience N:°0" + start_line,
       BoardWith({{"C3", c}, {"E5", p}, {"H8", C}})},
      {"a captured square with low byte 0 removes nothing",
       {Record(anything, "C3", "D4", 0x0500)},
       start,
       "Similar Experience N:°0" + start_line,
       BoardWith({{"D4", c}, {"E5", p}, {"G7", c}})},
      {"a captured unusable square removes nothing",
       {Record(anything, "C3", "D4", Sq("E4"))},
       start,
       "Similar Experience N:°0" + start_line,
       BoardWith({{"D4", c}, {"E5", p}, {"G7", c}})},
  };
  for (const Case& test : cases) {
    GameState state = testing::GameAt(test.board, kComputerSide);
    state.experience_list = test.store;
    state.experience_count = static_cast<uint32_t>(test.store.size());
    SnapshotPort port(state);
    bool move_played = false;
    PlayExperience(state, port, move_played);
    const bool played = !test.message.empty();
    EXPECT_EQ(port.Take(), played ? std::vector{test.message} : std::vector<std::string>{})
        << test.name;
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
