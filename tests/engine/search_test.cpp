// SPDX-License-Identifier: GPL-3.0-or-later
// The search and the levels: what they choose where there is one good answer, their limits, and
// a signature over the bench corpus that any change of the search's behaviour changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "corpus.h"
#include "engine/levels.h"
#include "engine_positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::Sq;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan, P = kPlayerKing;

TEST(Levels, HaveTheirCaptions) {
  ASSERT_EQ(LevelCount(), 4);
  EXPECT_EQ(LevelCaption(1), "Niveau  Facil: Easy ");
  EXPECT_EQ(LevelCaption(2), "Niveau  Moyen: Medium ");
  EXPECT_EQ(LevelCaption(3), "Niveau  Difficile: Hard ");
  EXPECT_EQ(LevelCaption(4), "Niveau  Expert: Expert ");
  EXPECT_EQ(LevelCaption(0), "");
  EXPECT_EQ(LevelCaption(5), "");
}

std::string Clicks(const std::optional<LevelMove>& move) {
  if (!move) return "none";
  std::string text = SquareName(move->from);
  for (int i = 0; i < move->landing_count; ++i) text += " " + SquareName(move->landings[i]);
  return text;
}

TEST(Search, FindsTheOneGoodMove) {
  struct Case {
    const char* what;
    Board board;
    int side;
    std::string expected;
  };
  const Case cases[] = {
      {"takes the last piece at once, by the shortest way",
       BoardWith({{"A1", C}, {"D4", p}, {"F6", c}, {"H8", C}}), kComputerSide, "A1 E5"},
      {"a side with no legal move gets none", BoardWith({{"A1", p}, {"H8", c}, {"B2", c}}),
       kPlayerSide, "none"},
      {"crowns a man that nothing can stop rather than wander",
       BoardWith({{"B2", p}, {"G7", c}, {"A7", c}, {"H4", c}}), kPlayerSide, "B2 A1|B2 C1"},
      {"takes a king left hanging", BoardWith({{"C3", c}, {"D4", P}, {"H6", p}, {"A1", c}}),
       kComputerSide, "C3 E5"},
  };
  Engine engine(1 << 14);
  engine.SetFixedNodes(20000);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    for (int level = 2; level <= LevelCount(); ++level) {
      const std::string chosen =
          Clicks(engine.Choose(test.board, static_cast<int8_t>(test.side), level, 50));
      // Any of the expected moves, possibly going on with more steps.
      bool expected = false;
      for (std::size_t at = 0; at <= test.expected.size();) {
        const std::size_t end = std::min(test.expected.find('|', at), test.expected.size());
        const std::string move = test.expected.substr(at, end - at);
        expected |= chosen == move || chosen.rfind(move + " ", 0) == 0;
        at = end + 1;
      }
      EXPECT_TRUE(expected) << "level " << level << " chose " << chosen;
    }
  }
}

// The move's clicks leave one of the positions the rules' moves leave.
bool IsLegal(const Board& board, int side, const LevelMove& move) {
  Board after = board;
  ApplyLevelMove(after, move);
  const auto results = testing::ResultsOf(board, side);
  return std::find(results.begin(), results.end(), testing::PlayableCodes(after)) != results.end();
}

// Against the designed computer a player whose pieces have no plain step is declared lost, even
// with a capture left: the hint's search knows it, the levels' does not.
TEST(Search, KnowsTheDesignedBlockedLossOnlyWhenAsked) {
  // A3 to B4 leaves the man on A5 only its capture of B4.
  const Board board = BoardWith({{"A5", p}, {"A3", c}, {"D4", c}, {"H8", C}});
  Engine engine(1 << 12);
  for (const bool designed : {false, true}) {
    engine::SearchLimits limits;
    limits.depth = 1;  // deeper, a real win comes into sight
    limits.player_lost_without_step = designed;
    const auto result = engine.Search(board, kComputerSide, limits, engine::EvalWeights{});
    EXPECT_EQ(result.score > engine::kMateBound, designed);
    if (designed) {
      EXPECT_EQ(Clicks(Engine::ToLevelMove(board, kComputerSide, result)), "A3 B4");
    }
  }
}

TEST(Search, StopsWhenTold) {
  const Board opening = testing::BoardOf(testing::kInitialLine);
  Engine engine(1 << 14);
  const std::atomic<bool> stop{true};
  const auto start = std::chrono::steady_clock::now();
  const auto move = engine.Choose(opening, kPlayerSide, LevelCount(), 100000, &stop);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  ASSERT_TRUE(move.has_value());
  EXPECT_TRUE(IsLegal(opening, kPlayerSide, *move));
}

TEST(Search, KeepsToItsTime) {
  const Board middle =
      testing::BoardOf("cxcxcxcx/x.x.xcxc/.xcx.xcx/x.xcx.xp/cxcxpx.x/xpxpxpx./px.xpxpx/x.xpxpxp");
  Engine engine(1 << 16);
  for (const int ms : {1, 30}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine.Choose(middle, kComputerSide, LevelCount(), ms).has_value());
    // The machine is shared: allow it a generous margin over the time given.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms + 200));
  }
}

// A search by time goes on from the table that the searches by time before it left; a search by
// nodes or depth must not, or its reply would depend on what was searched before.
TEST(Search, ByNodesIgnoresTheSearchesByTimeBefore) {
  const Board middle =
      testing::BoardOf("cxcxcxcx/x.x.xcxc/.xcx.xcx/x.xcx.xp/cxcxpx.x/xpxpxpx./px.xpxpx/x.xpxpxp");
  engine::SearchLimits by_nodes;
  by_nodes.nodes = 20000;
  Engine fresh(1 << 16);
  const auto expected = fresh.Search(middle, kComputerSide, by_nodes, engine::EvalWeights{});
  Engine used(1 << 16);
  for (const int8_t side : {kComputerSide, kPlayerSide, kComputerSide}) {
    used.Choose(middle, side, LevelCount(), 20);
  }
  const auto result = used.Search(middle, kComputerSide, by_nodes, engine::EvalWeights{});
  EXPECT_EQ(result.move, expected.move);
  EXPECT_EQ(result.score, expected.score);
  EXPECT_EQ(result.nodes, expected.nodes);
}

// The game is drawn at the 50th move in a row that moved a king and took nothing: three kings
// against one are worth nothing when every move left is such a move. The count comes from the
// take-back list, positions with side -1 to move.
TEST(Search, KnowsTheDrawByKingsAlone) {
  const Board before = BoardWith({{"A1", C}, {"B6", C}, {"F8", C}, {"H2", P}});
  const Board board = BoardWith({{"A1", C}, {"B6", C}, {"F8", C}, {"G1", P}});
  struct Case {
    int history;  // positions in the take-back list, all `before`
    bool drawn;
  };
  for (const Case test : {Case{25, true}, Case{24, false}, Case{1, false}}) {
    SCOPED_TRACE(test.history);
    const std::vector<Board> history(static_cast<std::size_t>(test.history), before);
    engine::SearchLimits limits;
    limits.depth = 3;
    Engine engine(1 << 12);
    const auto result =
        engine.Search(board, kComputerSide, limits, SettingsOf(LevelCount()).weights, history);
    if (test.drawn) {
      EXPECT_EQ(result.score, 0);
    } else {
      EXPECT_GT(result.score, 300);
    }
  }
}

// What the search plays from every corpus position, digested: any change of the search's
// behaviour changes it. After an intended change, pin the signature that zelbo_engine_bench prints.
TEST(Search, IsDeterministicByDepth) {
  const bench::Corpus corpus = bench::ReadCorpus(ZELBO_CORPUS_FILE);
  ASSERT_EQ(corpus.error, "");
  // One engine searches every position after the others: nothing of an earlier search may leak
  // into a later one.
  EXPECT_EQ(bench::EngineSignature(corpus.positions, 4), 13623624074500383897ull);
}

}  // namespace
}  // namespace zelbo
