// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the program records, it reads back equal: games played through the window's paths, by
// clicks on both sides and by the computer at every level (the designed chains with their slides
// and retreats, plain moves, experience moves played as stored), are judged move by move by the
// rules of the side that moved, and saved and read again as PDN.
#include <gtest/gtest.h>

#include "record/pdn.h"
#include "record/played_moves.h"
#include "self_play.h"
#include "support/positions.h"

namespace zelbo {
namespace {

// Experience records that match often: a man of side +1 on From with To empty, all else not
// important; one of them also empties a square of side -1's men, one moves whatever stands on an
// unusable square.
std::vector<ExperienceRecord> OftenMatchingStore() {
  std::vector<ExperienceRecord> store;
  const auto add = [&](const char* from, const char* to, const char* captured, CellCode from_code) {
    ExperienceRecord record{};
    for (auto& cell : record.pattern.cells) cell.code = kNotImportant;
    WriteCell(record.pattern, testing::Sq(from), from_code);
    WriteCell(record.pattern, testing::Sq(to), kEmpty);
    record.from = testing::Sq(from);
    record.to = testing::Sq(to);
    record.captured = captured != nullptr ? testing::Sq(captured) : SquareRef{0};
    store.push_back(record);
  };
  add("C3", "D4", nullptr, kComputerMan);
  add("E3", "F4", "D6", kAnyComputerPiece);
  add("G1", "H2", "G5", kComputerMan);
  add("B1", "C2", nullptr, kUnusable);
  return store;
}

void ExpectReadsBackEqual(const GameState& state, const std::string& game) {
  const GameRecord& record = state.record;
  for (std::size_t ply = 0; ply < record.size(); ++ply) {
    const MoveVerdict verdict = JudgeMove(record.PositionAt(ply), WrittenFormOf(record[ply]));
    ASSERT_TRUE(verdict.move.has_value()) << game << ", move " << ply + 1 << " "
                                          << MoveNotation(record[ply]) << ": " << verdict.refusal;
    ASSERT_EQ(*verdict.move, record[ply]) << game << ", move " << ply + 1;
  }
  if (!state.record.MoveUnderWay()) {
    EXPECT_EQ(record.Current().board, state.board) << game;
  }
  const auto text = PdnText(record, PdnDefaults{});
  ASSERT_TRUE(text.has_value()) << game;
  const PdnReplay replay = ReadPdnGame(*text);
  ASSERT_TRUE(replay.record.has_value()) << game << ": " << replay.error << "\n" << *text;
  EXPECT_EQ(replay.record->Start(), record.Start()) << game;
  EXPECT_EQ(replay.record->moves(), record.moves()) << game;
  EXPECT_EQ(replay.record->result(), record.result()) << game;
}

TEST(RecordRoundTrip, GamesOfEveryLevelAndModeReadBackEqual) {
  struct Case {
    const char* name;
    testing::SelfPlay play;
    int games;
  };
  testing::SelfPlay designed;
  designed.hinted_percent = 70;
  testing::SelfPlay experienced;
  experienced.experience = true;
  experienced.store = OftenMatchingStore();
  experienced.hinted_percent = 50;
  testing::SelfPlay two_players;
  two_players.computer = false;
  two_players.hinted_percent = 30;
  testing::SelfPlay searching;
  searching.level = 2;
  searching.hinted_percent = 60;
  testing::SelfPlay top;
  top.level = 4;
  top.hinted_percent = 60;
  const Case cases[] = {
      {"level 1", designed, 60},
      {"level 1 with experience", experienced, 20},
      {"two players", two_players, 30},
      {"level 2", searching, 6},
      {"level 4", top, 6},
  };
  int decided = 0;
  for (const Case& test : cases) {
    for (int seed = 0; seed < test.games; ++seed) {
      testing::RecordingPort port;
      GameState state;
      NewGame(state, port);
      testing::PlayRandomGame(state, test.play, static_cast<uint32_t>(seed));
      ExpectReadsBackEqual(state, std::string(test.name) + " #" + std::to_string(seed));
      if (state.record.result() != GameResult::kUnfinished) ++decided;
    }
  }
  EXPECT_GT(decided, 20);
}

}  // namespace
}  // namespace zelbo
