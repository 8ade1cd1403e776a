// SPDX-License-Identifier: GPL-3.0-or-later
// Games in PDN as a file holds them: what the reader takes around the moves, what it refuses and
// why, the text the writer makes, and the files themselves.
#include "record/pdn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "files/child_process.h"
#include "files/fifo.h"
#include "files/temp_folder.h"
#include "game/click_protocol.h"
#include "record/pdn_file.h"
#include "self_play.h"
#include "support/positions.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::RecordingPort;
using testing::Sq;
using Events = std::vector<std::string>;

constexpr std::string_view kOpening = "1. D6-E5 A3-B4 2. B6-A5 B4-C5";

TEST(PdnReader, TakesWhatPdnAllowsAroundTheMoves) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t number;
    std::string moves;
    GameResult result;
  };
  const Case cases[] = {
      {"plain", "1. D6-E5 A3-B4 2. B6-A5 B4-C5 *", 1, std::string(kOpening),
       GameResult::kUnfinished},
      {"a byte order mark, CRLF, tags in any order and unknown ones",
       "\xEF\xBB\xBF[Result \"1-0\"]\r\n[Annotator \"A\"] [GameType \"zelbo\"]\r\n\r\n"
       "1. D6-E5 A3-B4\r\n2. B6-A5 B4-C5 1-0\r\n",
       1, std::string(kOpening), GameResult::kWhiteWins},
      {"comments, NAGs, variations, numbers glued to moves, lower case",
       "{debut} 1.d6-e5 $12 a3-b4!? ; fin de ligne {x}\n2... (2. F6-G5) B6-A5?! (1. H6-G5 "
       "(1. F6-G5)) B4-C5 $3 {fin}",
       1, std::string(kOpening), GameResult::kUnfinished},
      {"lines wrapped between every word, the result by its tag only",
       "[Result\n\"1/2-1/2\"\n]\n1.\nD6-E5\n{a\nb}\nA3-B4\n2.\nB6-A5\nB4-C5\n", 1,
       std::string(kOpening), GameResult::kDraw},
      {"the second of two games, results as 2-0 and 0-2",
       "[Event \"a\"]\n1. D6-E5 2-0\n[Event \"b\"]\n1. D6-E5 A3-B4 2. B6-A5 B4-C5 0-2\n", 2,
       std::string(kOpening), GameResult::kBlackWins},
      {"a game without tags after one ended by its result", "1. D6-E5 * 1. F6-G5 *", 2, "1. F6-G5",
       GameResult::kUnfinished},
      {"a set-up position, side +1 to move, and an experience move",
       "[SetUp \"1\"]\n[FEN \"B:WKA5:BC3,H8\"]\n1... C3-D4 {[%experience]} 2. A5-B6 *", 1,
       "1... C3-D4 2. A5-B6", GameResult::kUnfinished},
  };
  for (const Case& test : cases) {
    const PdnReplay replay = ReadPdnGame(test.text, test.number);
    ASSERT_TRUE(replay.record.has_value()) << test.name << ": " << replay.error;
    EXPECT_EQ(MoveListText(*replay.record), test.moves) << test.name;
    EXPECT_EQ(replay.record->result(), test.result) << test.name;
  }
}

TEST(PdnReader, RefusesWithWhereAndWhy) {
  const struct {
    std::string text;
    std::size_t number;
    std::string error;
  } cases[] = {
      {"1. D6-E5 A3-B4 2. E5-D6 *", 1,
       "Coup 2. E5-D6 : le pas E5-D6 n'est pas permis à cette pièce."},
      {"1. D6-E5 A3-B4 2. E7-D6 B4-D5 *", 1,
       "Coup 2... B4-D5 : le pas B4-D5 n'est pas permis à cette pièce."},
      {"1. D6-E5 E5-F4 *", 1,
       "Coup 1... E5-F4 : la case E5 ne porte aucune pièce des noirs (en haut)."},
      {"1. C7-D6 *", 1, "Coup 1. C7-D6 : la case D6 n'est pas libre."},
      {"[FEN \"W:WB6:BC5,H8\"]\n1. B6-D4-F2 *", 1,
       "Coup 1. B6-D4-F2 : le pas D4-F2 n'est pas permis à cette pièce."},
      {"[FEN \"W:WB6,H6:BC5,E3\"]\n1. B6-A5-B4 *", 1,
       "Coup 1. B6-A5-B4 : le pas B6-A5 ne prend rien : seul le dernier pas d'un coup peut ne "
       "rien prendre."},
      {"[FEN \"W:WB6:BC5\"]\n1. B6xD4 C5-D6 *", 1,
       "Coup 1... C5-D6 : la case C5 ne porte aucune pièce des noirs (en haut)."},
      {"1. D6-E5 {[%experience]} *", 1,
       "Coup 1. D6-E5 : seul l'ordinateur, les noirs (en haut), joue les coups de son "
       "expérience."},
      {"[GameType \"21\"]\n1. 11-15 *", 1,
       "GameType « 21 » : cette partie n'est pas jouée aux règles de Zelbo."},
      {"[FEN \"W:WB1:BC3\"]\n*", 1, "La position de l'étiquette FEN « W:WB1:BC3 » ne se lit pas."},
      {"1. D6-E5 A3-B4\n2. D9-C5 *", 1, "Ligne 2 : « D9-C5 » n'est pas un coup."},
      {"1. D6-E5 {jamais fermé", 1, "Ligne 1 : commentaire « { » jamais fermé."},
      {"[Event \"a]\n", 1, "Ligne 1 : la valeur de l'étiquette Event n'est pas fermée."},
      {"1. D6-E5 *\n1. D6-E5 A3-B4 2. E5-D6 *", 2,
       "Partie 2, coup 2. E5-D6 : le pas E5-D6 n'est pas permis à cette pièce."},
      {"1. D6-E5 *", 2, "Le fichier ne contient qu'une partie."},
      {"{rien}", 1, "Le fichier ne contient aucune partie."},
  };
  for (const auto& test : cases) {
    const PdnReplay replay = ReadPdnGame(test.text, test.number);
    EXPECT_FALSE(replay.record.has_value()) << test.text;
    EXPECT_EQ(replay.error, test.error) << test.text;
  }
}

// The designed computer's chain with a slide in its middle is legal for side +1, as that chain
// and only as it; the same landings are no move of side -1's.
TEST(PdnReader, JudgesTheDesignedComputersChainsByItsOwnRules) {
  // A king of side +1 on A1 takes C3 from the diagonal, lands on D4, slides on to F6 from where it
  // takes G5 sideways, landing on H4.
  const Board board = BoardWith(
      {{"A1", kComputerKing}, {"C3", kPlayerMan}, {"G5", kPlayerMan}, {"A7", kPlayerMan}});
  const RecordedMove chain = DesignedChain(board, kComputerSide, Sq("A1"));
  ASSERT_EQ(MoveNotation(chain), "A1xD4-F6xH4");
  WrittenMove written = WrittenFormOf(chain);
  EXPECT_TRUE(JudgeMove({board, kComputerSide}, written).move.has_value());
  written.landings.back() = Sq("E7");
  EXPECT_EQ(JudgeMove({board, kComputerSide}, written).refusal,
            "le pas D4-F6 ne prend rien : seul le dernier pas d'un coup peut ne rien prendre");
}

TEST(PdnWriter, WritesTheRosterTheGameTypeAFenAndTheMovesWrapped) {
  GameRecord record;
  record.Restart({BoardWith({{"A5", kPlayerKing}, {"C3", kComputerMan}, {"H8", kComputerMan}}),
                  kComputerSide});
  for (const auto& [from, to, experience] :
       {std::tuple{"C3", "D4", true}, {"A5", "B6", false}, {"D4", "E5", false}}) {
    const MoveVerdict verdict =
        JudgeMove(record.Current(), WrittenMove{Sq(from), {Sq(to)}, experience, 0});
    ASSERT_TRUE(verdict.move.has_value()) << verdict.refusal;
    record.Append(record.Current(), *verdict.move);
  }
  record.set_tags({{"White", "Anne \"A\""}, {"Annotator", "moi"}, {"FEN", "ignoré"}});
  PdnDefaults defaults;
  defaults.date = "2025.06.01";
  EXPECT_EQ(PdnText(record, defaults),
            "[Event \"Partie de Zelbo\"]\n[Site \"?\"]\n[Date \"2025.06.01\"]\n[Round \"-\"]\n"
            "[White \"Anne \\\"A\\\"\"]\n[Black \"Zelbo\"]\n[Result \"*\"]\n"
            "[GameType \"Zelbo\"]\n[SetUp \"1\"]\n[FEN \"B:WKA5:BC3,H8\"]\n[Annotator \"moi\"]\n\n"
            "1... C3-D4 {[%experience]} 2. A5-B6 D4-E5 *\n\n");
  const PdnReplay replay = ReadPdnGame(PdnText(record, defaults).value_or(""));
  ASSERT_TRUE(replay.record.has_value()) << replay.error;
  EXPECT_EQ(replay.record->moves(), record.moves());
  // Read again, the tags are those written, the computed ones aside.
  EXPECT_EQ(replay.record->tags(),
            (std::vector<std::pair<std::string, std::string>>{{"Event", "Partie de Zelbo"},
                                                              {"Site", "?"},
                                                              {"Date", "2025.06.01"},
                                                              {"Round", "-"},
                                                              {"White", "Anne \"A\""},
                                                              {"Black", "Zelbo"},
                                                              {"Annotator", "moi"}}));

  // A long game: no line longer than 79 characters.
  testing::RecordingPort port;
  GameState state;
  NewGame(state, port);
  testing::SelfPlay play;
  play.computer = false;
  testing::PlayRandomGame(state, play, 7);
  const std::string text = PdnText(state.record, defaults).value_or("");
  ASSERT_GT(state.record.size(), 40u);
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    EXPECT_LE(end - at, 79u);
  }

  // A start that FEN cannot say is refused, naming the square.
  Board odd = testing::BoardOf(testing::kInitialLine);
  WriteCell(odd, Sq("E4"), 7);
  record.Restart({odd, kPlayerSide});
  std::string why;
  EXPECT_FALSE(PdnText(record, defaults, &why).has_value());
  EXPECT_EQ(why,
            "La position de départ de cette partie porte en E4 un code que le PDN ne sait "
            "pas écrire.");
}

TEST(PdnFile, OpensAGameOrChangesNothing) {
  const testing::TempFolder folder;
  {
    const std::string text = "[Result \"0-1\"]\n1. D6-E5 A3-B4 0-1\n";
    std::ofstream(folder / "over.pdn") << text;
    std::ofstream(folder / "good.pdn") << "1. D6-E5 A3-B4 2. B6-A5 *\n";
    std::ofstream(folder / "bad.pdn") << "1. D6-E5 A3-B4 2. B6-A4 *\n";
  }
  std::filesystem::create_directory(folder / "folder.pdn");
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.pdn"));
  const testing::FifoWatchdog watchdog({folder / "pipe.pdn"});
  const struct {
    const char* file;
    Events events;
    std::string moves;
  } cases[] = {
      {"good.pdn", {"panel hidden", "gauges 120 120"}, "1. D6-E5 A3-B4 2. B6-A5"},
      {"over.pdn",
       {"panel hidden", "gauges 120 120", "title Fin de partie",
        "message Partie terminée : les noirs (en haut) ont gagné (0-1).", "panel shown"},
       "1. D6-E5 A3-B4"},
      {"bad.pdn", {"message Coup 2. B6-A4 : le pas B6-A4 n'est pas permis à cette pièce."}, ""},
      {"missing.pdn", {"message Fichier introuvable"}, ""},
      {"folder.pdn", {"message Accès au fichier refusé"}, ""},
      {"pipe.pdn", {"message Accès au fichier refusé"}, ""},
  };
  for (const auto& test : cases) {
    testing::RecordingPort port;
    GameState state;
    NewGame(state, port);
    BoardMouseUp(state, port, Sq("F6"), MouseButton::kLeft);
    BoardMouseUp(state, port, Sq("G5"), MouseButton::kLeft);
    state.level = 3;
    const GameState before = state;
    port.Take();
    const bool opened = OpenPdnGame(state, port, folder / test.file);
    EXPECT_EQ(port.Take(), test.events) << test.file;
    EXPECT_EQ(opened, !test.moves.empty()) << test.file;
    if (!opened) {
      EXPECT_EQ(state.board, before.board) << test.file;
      EXPECT_EQ(state.record.moves(), before.record.moves()) << test.file;
      EXPECT_EQ(state.side_to_move, before.side_to_move) << test.file;
      continue;
    }
    EXPECT_EQ(MoveListText(state.record), test.moves) << test.file;
    EXPECT_EQ(state.board, state.record.Current().board) << test.file;
    EXPECT_EQ(state.side_to_move, state.record.Current().side) << test.file;
    EXPECT_EQ(state.level, 3) << test.file;
  }
}

// A save replaces the file whole or not at all, and refuses what it may not write.
TEST(PdnFile, SavesAtomicallyAndRefusesReadOnlyFilesAndPipes) {
  testing::TempFolder folder;
  testing::RecordingPort port;
  GameState state;
  NewGame(state, port);
  BoardMouseUp(state, port, Sq("D6"), MouseButton::kLeft);
  BoardMouseUp(state, port, Sq("E5"), MouseButton::kLeft);
  SavePdnGame(state, port, folder / "game.pdn");
  EXPECT_TRUE(port.Take().empty());
  const std::vector<uint8_t> saved = testing::ReadBytes(folder / "game.pdn");
  ASSERT_FALSE(saved.empty());

  BoardMouseUp(state, port, Sq("C3"), MouseButton::kLeft);
  BoardMouseUp(state, port, Sq("D4"), MouseButton::kLeft);
  EXPECT_EQ(
      testing::IoErrorUnderSizeLimit(100,
                                     [&] {
                                       RecordingPort child;
                                       SavePdnGame(state, child, folder / "game.pdn");
                                       for (const std::string& event : child.Take())
                                         throw IoError(event);
                                     }),
      "message Taille de fichier permise dépassée : \"" + (folder / "game.pdn").string() + "\"");
  EXPECT_EQ(testing::ReadBytes(folder / "game.pdn"), saved);

  const testing::OrdinaryUser user = testing::TheOrdinaryUser();
  ASSERT_TRUE(testing::Prepare(folder.path(), user.uid, user.gid, 0755));
  ASSERT_TRUE(testing::Prepare(folder / "game.pdn", user.uid, user.gid, 0444));
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.pdn"));
  for (const char* file : {"game.pdn", "pipe.pdn"}) {
    const std::string outcome = testing::IoErrorAsOrdinaryUser([&] {
      RecordingPort child;
      SavePdnGame(state, child, folder / file);
      for (const std::string& event : child.Take()) throw IoError(event);
    });
    if (outcome == testing::kStillRoot) GTEST_SKIP() << outcome;
    EXPECT_EQ(outcome, "message Accès au fichier refusé") << file;
  }
  EXPECT_EQ(testing::ReadBytes(folder / "game.pdn"), saved);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.pdn", "pipe.pdn"}));
}

}  // namespace
}  // namespace zelbo
