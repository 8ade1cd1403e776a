// SPDX-License-Identifier: GPL-3.0-or-later
// The endgame tables: built small here (every position of up to 3 pieces, kings only up to 4),
// they agree with the engine's own deep search on seeded random positions, come back whole from
// their file and refuse a damaged or foreign one, and the top level plays from them.
#include <gtest/gtest.h>

#include <random>

#include "engine/draw_offer.h"
#include "engine/levels.h"
#include "engine/search.h"
#include "engine/tables/endgame_tables.h"
#include "engine/tables/table_build.h"
#include "engine/tables/table_file.h"
#include "engine_positions.h"
#include "table_check.h"

namespace zelbo {
namespace {

using engine::Material;
using engine::Position;
using engine::TableValue;
using testing::BoardWith;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;
constexpr engine::TableScope kSmallScope{3, 4};

const engine::TableSet& SmallSet() {
  static const engine::TableSet set = engine::BuildTables(kSmallScope);
  return set;
}

const engine::EndgameTables& SmallTables() {
  static const auto tables = engine::EndgameTables::FromSet(SmallSet(), kSmallScope);
  return *tables;
}

// A position of the material at a seeded random index, either side to move.
std::optional<Position> RandomPosition(const Material& material, std::mt19937& random) {
  const auto view = engine::PositionAt(random() % engine::TableSize(material), material);
  if (!view) return std::nullopt;
  const Position position = engine::PositionOfView(*view);
  return random() % 2 == 0 ? position : engine::TurnedRound(position);
}

std::string Describe(const Position& position) {
  const Board board = engine::BoardOfPosition(position, testing::BoardOf(testing::kEmptyLine));
  return FormatBoardLine(board) + (position.side < 0 ? ", side -1 to move" : ", side +1 to move");
}

// A win or loss in d plies is the search's mate in exactly d; a draw shows no mate. Where the
// engine's search errs, a plain alpha-beta without reductions decides (see table_check.h).
TEST(EndgameTables, AgreeWithTheEnginesDeepSearch) {
  std::mt19937 random(18);
  engine::Searcher searcher(1 << 16);
  int checked[3] = {0, 0, 0};
  for (int round = 0; round < 30; ++round) {
    for (const Material& m : engine::MaterialsOf(kSmallScope)) {
      const std::optional<Position> position = RandomPosition(m, random);
      if (!position) continue;
      const TableValue value = *SmallTables().Probe(*position);
      if (value.plies > 13) continue;
      ++checked[value.result + 1];
      EXPECT_NE(bench::CheckValue(searcher, SmallTables(), *position, value),
                bench::Confirmed::kWrong)
          << Describe(*position) << ": " << value.result << " in " << value.plies;
    }
  }
  for (const int count : checked) EXPECT_GT(count, 50);
}

// Every position has the value its best move gives: the shortest win, else a draw, else the
// longest loss; and a side +1 position has the value of side -1's turned one.
TEST(EndgameTables, HoldTheBestOfEveryMove) {
  std::mt19937 random(1818);
  engine::MoveList moves;
  for (int round = 0; round < 200; ++round) {
    for (const Material& m : engine::MaterialsOf(kSmallScope)) {
      const std::optional<Position> position = RandomPosition(m, random);
      if (!position) continue;
      SCOPED_TRACE(Describe(*position));
      engine::GenerateMoves(*position, moves);
      TableValue best{-1, 0};
      for (const engine::Move& move : moves) {
        const TableValue after = *SmallTables().Probe(engine::MakeMove(*position, move));
        if (moves.begin() == &move || engine::Better(engine::ValueBefore(after), best)) {
          best = engine::ValueBefore(after);
        }
      }
      EXPECT_EQ(*SmallTables().Probe(*position), best);
      EXPECT_EQ(*SmallTables().Probe(engine::TurnedRound(*position)), best);
    }
  }
}

std::vector<uint8_t> SmallFile() { return engine::TablesFileBytes(SmallSet(), kSmallScope); }

TEST(EndgameTables, ComeBackWholeFromTheirFile) {
  std::string why;
  const auto read = engine::EndgameTables::FromBytes(SmallFile(), why);
  ASSERT_NE(read, nullptr) << why;
  EXPECT_EQ(read->UnpackedTables(), 0);
  for (const Material& m : engine::MaterialsOf(kSmallScope)) {
    const std::vector<uint8_t>& values = *SmallSet().Values(m);
    for (uint64_t i = 0; i < values.size(); ++i) {
      const auto view = engine::PositionAt(i, m);
      if (!view) continue;
      ASSERT_EQ(read->Probe(engine::PositionOfView(*view)), engine::DecodeTableValue(values[i]));
    }
  }
  EXPECT_EQ(read->UnpackedTables(), static_cast<int>(engine::MaterialsOf(kSmallScope).size()));
}

void PutNumber(std::vector<uint8_t>& bytes, std::size_t at, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(EndgameTables, RefuseAFileNotOfTheirRules) {
  struct Case {
    const char* what;
    void (*damage)(std::vector<uint8_t>&);
  };
  const Case cases[] = {
      {"another kind of file", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
      {"another format", [](std::vector<uint8_t>& b) { PutNumber(b, 8, 2, 4); }},
      {"more pieces than a table may hold",
       [](std::vector<uint8_t>& b) { PutNumber(b, 12, 6, 4); }},
      {"other move rules", [](std::vector<uint8_t>& b) { b[20] ^= 1; }},
      {"one table fewer", [](std::vector<uint8_t>& b) { b[28] -= 1; }},
      {"cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 1); }},
      {"empty", [](std::vector<uint8_t>& b) { b.clear(); }},
  };
  for (const Case& test : cases) {
    std::vector<uint8_t> bytes = SmallFile();
    test.damage(bytes);
    std::string why;
    EXPECT_EQ(engine::EndgameTables::FromBytes(bytes, why), nullptr) << test.what;
    EXPECT_FALSE(why.empty()) << test.what;
  }
}

// A damaged table is refused when first looked up; the others still answer.
TEST(EndgameTables, RefuseADamagedTableOnly) {
  std::vector<uint8_t> bytes = SmallFile();
  engine::TablesFileContents contents;
  std::string why;
  ASSERT_TRUE(engine::ParseTablesFile(bytes, contents, why));
  const engine::TablesFileEntry& last = contents.entries.back();  // K-KKK
  const auto at = static_cast<std::size_t>(last.packed.data() - bytes.data());
  bytes[at + last.packed.size() / 2] ^= 0x40;
  const auto tables = engine::EndgameTables::FromBytes(bytes, why);
  ASSERT_NE(tables, nullptr) << why;
  const Board one_against_three = BoardWith({{"A1", P}, {"C3", C}, {"E5", C}, {"H6", C}});
  const Board one_against_two = BoardWith({{"A1", P}, {"C3", C}, {"E5", C}});
  EXPECT_FALSE(tables->Probe(engine::PositionOf(one_against_three, kPlayerSide)).has_value());
  EXPECT_TRUE(tables->Probe(engine::PositionOf(one_against_two, kPlayerSide)).has_value());
}

// The board after a move of the tables' choice: the shortest win, else a draw, else the longest
// loss.
Board PerfectReply(const Board& board, int side) {
  const Position position = engine::PositionOf(board, side);
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  const engine::Move* best = nullptr;
  TableValue best_value;
  for (const engine::Move& move : moves) {
    const TableValue value =
        engine::ValueBefore(*SmallTables().Probe(engine::MakeMove(position, move)));
    if (best == nullptr || engine::Better(value, best_value)) best = &move, best_value = value;
  }
  return engine::BoardOfPosition(engine::MakeMove(position, *best), board);
}

bool HasMove(const Board& board, int side) {
  engine::MoveList moves;
  engine::GenerateMoves(engine::PositionOf(board, side), moves);
  return !moves.empty();
}

// The top level against the tables' perfect play: it wins a won ending in the tables' number of
// plies, every ply one nearer the end, and holds a drawn one for 40 plies.
TEST(EndgameTables, TheTopLevelPlaysFromThem) {
  struct Case {
    const char* what;
    Board board;
    bool won;
  };
  const Case cases[] = {
      {"three kings against one", BoardWith({{"E7", C}, {"B8", C}, {"F8", C}, {"A3", P}}), true},
      {"two kings against two", BoardWith({{"G7", C}, {"B8", C}, {"D4", P}, {"E5", P}}), true},
      {"two kings against two", BoardWith({{"A1", C}, {"G1", C}, {"B8", P}, {"H8", P}}), false},
      {"a king against a man", BoardWith({{"B8", C}, {"F8", p}}), true},
  };
  Engine engine(1 << 14);
  engine.UseTables(&SmallTables());
  engine.SetFixedNodes(3000);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const auto start = SmallTables().Probe(engine::PositionOf(test.board, kComputerSide));
    ASSERT_TRUE(start.has_value());
    ASSERT_EQ(start->result, test.won ? 1 : 0);
    const int plies = test.won ? start->plies : 40;
    Board board = test.board;
    int side = kComputerSide, played = 0;
    while (played < plies && HasMove(board, side)) {
      if (side == kComputerSide) {
        const auto move = engine.Choose(board, kComputerSide, LevelCount(), 50);
        ASSERT_TRUE(move.has_value());
        ApplyLevelMove(board, *move);
      } else {
        board = PerfectReply(board, side);
      }
      ++played, side = -side;
      const TableValue value = *SmallTables().Probe(engine::PositionOf(board, side));
      const int for_the_computer = side == kComputerSide ? value.result : -value.result;
      if (test.won) {
        ASSERT_EQ(for_the_computer, 1) << FormatBoardLine(board);
        ASSERT_EQ(value.plies, plies - played) << FormatBoardLine(board);
      } else {
        ASSERT_EQ(for_the_computer, 0) << FormatBoardLine(board);
      }
    }
    EXPECT_EQ(played, plies);
  }
}

// Against the designed computer a player whose pieces have no plain step is lost, captures or
// not: the tables do not know it, so the hint's search does not take the player's such positions
// from them.
TEST(EndgameTables, GiveWayToTheDesignedBlockedLoss) {
  // A3 to B4 leaves the man on A5 only its capture of B4.
  const Board board = BoardWith({{"A5", p}, {"A3", c}, {"H8", C}});
  engine::Searcher searcher(1 << 12);
  for (const bool designed : {false, true}) {
    engine::SearchLimits limits;
    limits.depth = 3;
    limits.tables = &SmallTables();
    limits.player_lost_without_step = designed;
    const auto result =
        searcher.Search(engine::PositionOf(board, kComputerSide), limits, engine::EvalWeights{});
    EXPECT_EQ(result.score == engine::kMate - 1, designed);
  }
}

// Three kings win against one in 9 plies, the last one taking the king. After 41 moves of kings
// only, the game's 25-move rule would draw it first: the search then sees a draw.
TEST(EndgameTables, YieldToTheTwentyFiveMoveRule) {
  const Board board = BoardWith({{"E7", C}, {"B8", C}, {"F8", C}, {"A3", P}});
  engine::Searcher searcher(1 << 14);
  const struct {
    int quiet_plies;
    int score;
  } cases[] = {{0, engine::kMate - 9}, {40, engine::kMate - 9}, {45, 0}};
  for (const auto& test : cases) {
    engine::SearchLimits limits;
    limits.depth = 8;
    limits.tables = &SmallTables();
    limits.quiet_plies = test.quiet_plies;
    const auto result =
        searcher.Search(engine::PositionOf(board, kComputerSide), limits, engine::EvalWeights{});
    EXPECT_EQ(result.score, test.score) << test.quiet_plies << " quiet plies";
  }
}

// Offered a draw, the top level refuses in a won ending and accepts in a drawn one.
TEST(EndgameTables, AnswerADrawOffer) {
  Engine engine(1 << 14);
  engine.UseTables(&SmallTables());
  engine.SetFixedNodes(2000);
  const Board won = BoardWith({{"E7", C}, {"B8", C}, {"F8", C}, {"A3", P}});
  const Board drawn = BoardWith({{"A1", C}, {"G1", C}, {"B8", P}, {"H8", P}});
  EXPECT_FALSE(ComputerAcceptsDraw(engine, won, kComputerSide, LevelCount(), 50));
  EXPECT_TRUE(ComputerAcceptsDraw(engine, drawn, kComputerSide, LevelCount(), 50));
}

}  // namespace
}  // namespace zelbo
