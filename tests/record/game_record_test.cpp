// SPDX-License-Identifier: GPL-3.0-or-later
// The record as the game keeps it (the moves of both sides in notation, take-back, a new game,
// going back to a position) and the ends of a game it decides: the draw rules, the blocked side
// in two-player mode, resigning and the draw offer.
#include "record/game_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/draw_offer.h"
#include "engine/level_turn.h"
#include "files/temp_folder.h"
#include "game/click_protocol.h"
#include "game/end_of_game.h"
#include "game/move_rules.h"
#include "game/take_back.h"
#include "savegame/saved_game.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::BoardWith;
using testing::Sq;
using Events = std::vector<std::string>;

// A game on `board`, its record starting there.
GameState GameOn(const Board& board, int side = kPlayerSide) {
  GameState state = testing::GameAt(board, side);
  state.record.Restart({state.board, state.side_to_move});
  return state;
}

// Clicks each move, "B6 D4 F2": left on the piece, right on each middle landing, left on the last;
// the computer replies after each when it is on.
void Play(GameState& state, testing::RecordingPort& port, Engine& engine,
          const std::vector<std::string>& moves) {
  for (const std::string& move : moves) {
    std::istringstream words(move);
    std::vector<std::string> squares{std::istream_iterator<std::string>(words), {}};
    for (std::size_t i = 0; i < squares.size(); ++i) {
      const bool left = i == 0 || i + 1 == squares.size();
      BoardMouseUp(state, port, Sq(squares[i]), left ? MouseButton::kLeft : MouseButton::kRight);
    }
    LevelReply(state, port, engine);
  }
}

TEST(GameRecord, KeepsEveryMoveOfBothSidesInNotation) {
  Engine engine(1 << 12);
  testing::RecordingPort port;
  port.computer_checked = true;
  GameState state;
  NewGame(state, port);
  Play(state, port, engine, {"D6 E5", "B6 A5"});
  EXPECT_EQ(MoveListText(state.record), "1. D6-E5 A3-B4 2. B6-A5 B4-C5");
  EXPECT_EQ(state.record.size(), 4u);
  EXPECT_EQ(state.record.Current(), (GamePosition{state.board, kPlayerSide}));

  // A chain of two captures and a king's capture ending with a plain step, in two-player mode;
  // the turn passes to side +1, whose first move the numbering marks.
  port.computer_checked = false;
  state = GameOn(BoardWith({{"B6", kPlayerMan},
                            {"C5", kComputerMan},
                            {"E3", kComputerMan},
                            {"H2", kComputerMan},
                            {"E1", kPlayerKing},
                            {"C3", kComputerMan}}));
  Play(state, port, engine, {"B6 D4 F2", "H2 G3", "E1 B4 D2"});
  EXPECT_EQ(MoveListText(state.record), "1. B6xD4xF2 H2-G3 2. E1xB4-D2");
  const RecordedMove& king = state.record[2];
  EXPECT_EQ(king.from, Sq("E1"));
  EXPECT_EQ(king.steps, (std::vector<MoveStep>{{Sq("B4"), Sq("C3")}, {Sq("D2"), 0}}));
  EXPECT_EQ(MoveNumber(state.record, 1), "1...");

  GameRecord from_black;
  from_black.Restart({BoardOf(testing::kInitialLine), kComputerSide});
  from_black.Append(from_black.Current(), state.record[1]);
  EXPECT_EQ(MoveListText(from_black), "1... H2-G3");
}

TEST(GameRecord, RefusedClicksRecordNothing) {
  Engine engine(1 << 12);
  testing::RecordingPort port;
  GameState state = GameOn(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"H2", 1}}));
  // A chain whose second step is refused comes back whole; a right-button plain step too.
  Play(state, port, engine, {"B6 D4 D2", "B6 A5 A4"});
  EXPECT_TRUE(state.record.empty());
  EXPECT_FALSE(state.record.MoveUnderWay());
  Play(state, port, engine, {"B6 D4"});
  EXPECT_EQ(MoveListText(state.record), "1. B6xD4");
}

TEST(GameRecord, FollowsTakeBackNewGameOpenAndGoTo) {
  Engine engine(1 << 12);
  testing::RecordingPort port;
  port.computer_checked = true;
  GameState state;
  NewGame(state, port);
  Play(state, port, engine, {"D6 E5", "B6 A5", "F6 G5"});
  const std::string three_pairs = MoveListText(state.record);
  const Board after_two = state.record.PositionAt(4).board;

  TakeBack(state, port);
  EXPECT_EQ(state.record.size(), 4u);
  EXPECT_EQ(state.board, after_two);
  EXPECT_EQ(three_pairs.rfind(MoveListText(state.record), 0), 0u);

  // Back to the start of the record, from a finished game: it goes on again.
  Resign(state, port);
  ASSERT_TRUE(state.game_over);
  port.Take();
  EXPECT_TRUE(GoToPly(state, port, 1));
  EXPECT_EQ(port.Take(), (Events{"panel hidden", "gauges 120 120"}));
  EXPECT_FALSE(state.game_over);
  EXPECT_EQ(state.record.result(), GameResult::kUnfinished);
  EXPECT_EQ(state.record.size(), 1u);
  EXPECT_EQ(state.side_to_move, kComputerSide);
  EXPECT_EQ(state.history_count, 0u);
  EXPECT_EQ(port.take_back_caption, "0");
  EXPECT_FALSE(GoToPly(state, port, 2));

  // The last position of a finished game is where it ended: going there changes nothing.
  Resign(state, port);
  EXPECT_TRUE(GoToPly(state, port, 1));
  EXPECT_TRUE(state.game_over);

  NewGame(state, port);
  EXPECT_TRUE(state.record.empty());
  EXPECT_EQ(state.record.Start(), (GamePosition{BoardOf(testing::kInitialLine), kPlayerSide}));

  const testing::TempFolder folder;
  const Board position = BoardWith({{"A5", kPlayerKing}, {"H8", kComputerKing}});
  WriteSavedGame(folder / "kings.KRP", position);
  Play(state, port, engine, {"D6 E5"});
  OpenSavedGame(state, port, folder / "kings.KRP");
  EXPECT_TRUE(state.record.empty());
  EXPECT_EQ(state.record.Start(), (GamePosition{position, kPlayerSide}));
}

TEST(DrawRules, EndTheGameAtExactlyTheMoveThatReachesThem) {
  const Board kings = BoardWith({{"A5", kPlayerKing}, {"H8", kComputerKing}});
  const std::string repetition =
      "message Partie nulle : la même position se présente pour la "
      "troisième fois.";
  struct Case {
    const char* name;
    bool computer;
    std::vector<std::string> moves;  // all but the last one
    std::string last;
  };
  // The designed computer's king goes from H8 to G7 and back, whatever the player does far away.
  const Case cases[] = {
      {"two players",
       false,
       {"A5 B6", "H8 G7", "B6 A5", "G7 H8", "A5 B6", "H8 G7", "B6 A5"},
       "G7 H8"},
      {"level 1", true, {"A5 B6", "B6 A5", "A5 B6"}, "B6 A5"},
  };
  for (const Case& test : cases) {
    Engine engine(1 << 12);
    testing::RecordingPort port;
    port.computer_checked = test.computer;
    GameState state = GameOn(kings);
    Play(state, port, engine, test.moves);
    EXPECT_FALSE(state.game_over) << test.name;
    port.Take();
    Play(state, port, engine, {test.last});
    EXPECT_TRUE(state.game_over) << test.name;
    EXPECT_EQ(state.record.size(), 8u) << test.name;
    EXPECT_EQ(state.record.result(), GameResult::kDraw) << test.name;
    const Events events = port.Take();
    EXPECT_NE(std::find(events.begin(), events.end(), repetition), events.end()) << test.name;
  }
}

// True when a king of `side` could take something.
bool KingCanTake(const Board& board, int side) {
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef from = MakeSquare(column, row);
      if (ReadCell(board, from) != 2 * side) continue;
      for (Direction d = 1; d <= 4; ++d) {
        for (uint8_t n = 2; n <= 7; ++n) {
          const SquareRef to = Neighbour(from, d, n);
          const MoveCheckResult r = CheckStep(board, from, to);
          if (ReadCell(board, to) == kEmpty && r.ok && !IsNoSquare(r.captured)) return true;
        }
      }
    }
  }
  return false;
}

// Plain moves of kings, the shortest first, that never come back to a position and never bring a
// king in reach of another.
void PlayQuietKingMoves(GameState& state, testing::RecordingPort& port, Engine& engine, int count) {
  std::vector<GamePosition> seen{state.record.Current()};
  for (int ply = 0; ply < count; ++ply) {
    bool moved = false;
    for (int column = 1; column <= 8 && !moved; ++column) {
      for (int row = 1; row <= 8 && !moved; ++row) {
        const SquareRef from = MakeSquare(column, row);
        if (ReadCell(state.board, from) != 2 * state.side_to_move) continue;
        for (int step = 0; step < 28 && !moved; ++step) {
          const SquareRef to = Neighbour(from, static_cast<Direction>(step % 4 + 1),
                                         static_cast<uint8_t>(step / 4 + 1));
          if (ReadCell(state.board, to) != kEmpty || !CheckStep(state.board, from, to).ok) continue;
          GamePosition next{state.board, static_cast<int8_t>(-state.side_to_move)};
          WriteCell(next.board, to, ReadCell(next.board, from));
          WriteCell(next.board, from, kEmpty);
          if (std::find(seen.begin(), seen.end(), next) != seen.end()) continue;
          if (KingCanTake(next.board, kPlayerSide) || KingCanTake(next.board, kComputerSide)) {
            continue;
          }
          Play(state, port, engine, {SquareName(from) + " " + SquareName(to)});
          seen.push_back(next);
          moved = true;
        }
      }
    }
    ASSERT_TRUE(moved) << ply;
  }
}

TEST(DrawRules, FiftyMovesOfKingsOnlyWithoutACaptureAreADraw) {
  const std::string kings_only =
      "message Partie nulle : 25 coups de chaque côté sans prise, où seules les dames ont joué.";
  // A king on each side, never in reach of the other.
  const Board corners = BoardWith({{"A3", kPlayerKing}, {"H6", kComputerKing}});
  for (const int level : {0, 2}) {
    Engine engine(1 << 12);
    engine.SetFixedNodes(300);
    testing::RecordingPort port;
    GameState state = GameOn(corners);
    PlayQuietKingMoves(state, port, engine, 49);
    ASSERT_EQ(QuietKingMoves(state.record), 49);
    EXPECT_FALSE(state.game_over);
    port.Take();
    // The 50th: side +1's, by a click or by a searching level.
    if (level > 0) {
      port.computer_checked = true;
      state.level = level;
      LevelReply(state, port, engine);
    } else {
      PlayQuietKingMoves(state, port, engine, 1);
    }
    EXPECT_EQ(state.record.size(), 50u) << level;
    EXPECT_TRUE(state.game_over) << level;
    EXPECT_EQ(state.record.result(), GameResult::kDraw) << level;
    const Events events = port.Take();
    const Events ending{"title Partie nulle", kings_only, "panel shown"};
    ASSERT_GE(events.size(), ending.size()) << level;
    EXPECT_TRUE(std::equal(ending.begin(), ending.end(), events.end() - 3)) << level;
  }

  // A capture or a man's step starts the count again.
  GameRecord record;
  RecordedMove quiet{kPlayerSide, kPlayerKing, Sq("A1"), {{Sq("B2"), 0}}};
  RecordedMove taking = quiet;
  taking.steps[0].taken = Sq("C3");
  RecordedMove man = quiet;
  man.piece = kPlayerMan;
  for (const RecordedMove& move : {quiet, taking, quiet, quiet, man, quiet}) {
    record.Append(record.Current(), move);
  }
  EXPECT_EQ(QuietKingMoves(record), 1);
}

TEST(TwoPlayers, ASideToMoveWithoutAMoveLoses) {
  Engine engine(1 << 12);
  testing::RecordingPort port;
  // Side +1's only man, on A7, has B8 before it and nothing to take.
  GameState state = GameOn(BoardWith({{"A7", kComputerMan}, {"B8", kPlayerMan}, {"H8", -1}}));
  Play(state, port, engine, {"H8 G7"});
  EXPECT_EQ(port.Take(),
            (Events{"title Fin de partie",
                    "message Les noirs (en haut) n'ont plus aucun coup possible : les blancs (en "
                    "bas) gagnent.",
                    "panel shown"}));
  EXPECT_TRUE(state.game_over);
  EXPECT_EQ(state.record.result(), GameResult::kWhiteWins);

  // With the computer on, its own turn decides, as designed.
  port.computer_checked = true;
  state = GameOn(BoardWith({{"A7", kComputerMan}, {"B8", kPlayerMan}, {"H8", -1}}));
  Play(state, port, engine, {"H8 G7"});
  EXPECT_EQ(port.Take(), (Events{"title Congratulation",
                                 "message because all my player is blocked \rCongratulation you "
                                 "have WIN 1",
                                 "panel shown"}));
  EXPECT_EQ(state.record.result(), GameResult::kWhiteWins);
}

TEST(Resign, TheSideToMoveLosesAndAMoveUnderWayIsPutBack) {
  Engine engine(1 << 12);
  testing::RecordingPort port;
  const Board chain = BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}});
  GameState state = GameOn(chain);
  BoardMouseUp(state, port, Sq("B6"), MouseButton::kLeft);
  BoardMouseUp(state, port, Sq("D4"), MouseButton::kRight);
  port.Take();
  Resign(state, port);
  EXPECT_EQ(port.Take(), (Events{"title Fin de partie",
                                 "message Les blancs (en bas) abandonnent : les noirs (en haut) "
                                 "gagnent.",
                                 "panel shown"}));
  EXPECT_EQ(state.board, chain);
  EXPECT_EQ(state.record.result(), GameResult::kBlackWins);
  EXPECT_TRUE(state.record.empty());
  Resign(state, port);
  EXPECT_TRUE(port.Take().empty());
}

TEST(DrawOffer, TheComputerAcceptsOnlyWhenItIsNotAhead) {
  const Board even = BoardWith({{"A5", kPlayerKing}, {"H8", kComputerKing}});
  const Board computer_ahead =
      BoardWith({{"A5", kPlayerMan}, {"H8", kComputerKing}, {"F8", kComputerKing}, {"H6", 2}});
  const Board player_ahead =
      BoardWith({{"A1", kComputerMan}, {"H8", kPlayerKing}, {"F8", kPlayerKing}, {"H6", -2}});
  struct Case {
    const char* name;
    Board board;
    int level;
    bool accepted;
  };
  const Case cases[] = {
      {"level 1, as many pieces", even, 1, true},
      {"level 1, more pieces", computer_ahead, 1, false},
      {"level 1, fewer pieces", player_ahead, 1, true},
      {"level 3, ahead", computer_ahead, 3, false},
      {"level 3, behind", player_ahead, 3, true},
  };
  for (const Case& test : cases) {
    Engine engine(1 << 14);
    engine.SetFixedNodes(2000);
    EXPECT_EQ(ComputerAcceptsDraw(engine, test.board, kPlayerSide, test.level, 50), test.accepted)
        << test.name;
    if (test.level == 1) {
      EXPECT_EQ(DesignedComputerAcceptsDraw(test.board), test.accepted) << test.name;
    }
    testing::RecordingPort port;
    port.computer_checked = true;
    GameState state = GameOn(test.board);
    state.level = test.level;
    OfferDraw(state, port, engine);
    EXPECT_EQ(state.game_over, test.accepted) << test.name;
    EXPECT_EQ(port.Take().front(), test.accepted ? "title Partie nulle" : "title Nulle refusée")
        << test.name;
  }
  // Two players at one mouse agree by the offer itself.
  Engine engine(1 << 12);
  testing::RecordingPort port;
  GameState state = GameOn(computer_ahead);
  OfferDraw(state, port, engine);
  EXPECT_EQ(port.Take(), (Events{"title Partie nulle", "message Nulle acceptée : partie nulle.",
                                 "panel shown"}));
  EXPECT_EQ(state.record.result(), GameResult::kDraw);
}

// The window asks the other player at the mouse, who may say no; and it searches off its thread,
// where a stop must end the search at once.
TEST(DrawOffer, APlayerRefusesInTheirOwnWordsAndAStopEndsTheSearch) {
  testing::RecordingPort port;
  RefuseDraw(port, false);
  EXPECT_EQ(port.Take(),
            (Events{"title Nulle refusée", "message Nulle refusée : la partie continue."}));

  Engine engine(1 << 14);
  const std::atomic<bool> stop{true};
  const auto start = std::chrono::steady_clock::now();
  ComputerAcceptsDraw(engine, BoardOf(testing::kInitialLine), kPlayerSide, 4, 60'000, {}, &stop);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace zelbo
