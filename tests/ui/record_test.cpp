// SPDX-License-Identifier: GPL-3.0-or-later
// The board window and the game's record: the last move marked on the board, the record window
// that follows the game and shows its earlier positions, "Jouer d'ici", whole games in PDN through
// the file dialogs and on the command line, resigning and the draw offer.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/temp_folder.h"
#include "game/notation.h"
#include "savegame/saved_game.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/fake_dialogs.h"
#include "ui/record_window.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::BoardWith;
using testing::kInitialLine;
using Shown = std::vector<std::string>;

const QColor kMark(255, 64, 192);
constexpr int kMovedInset = 2;
constexpr int kTakenInset = 10;

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.Timer1->stop();  // its ticks would change the application's title
    window.surface->Repaint();
  }

  static QPoint Centre(const char* square) {
    const SquareRef s = testing::Sq(square);
    return {40 + (Column(s) - 1) * 32 + 16, 40 + (Row(s) - 1) * 32 + 16};
  }
  void Click(const char* square, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(window.surface, button, {}, Centre(square));
  }
  void Move(const char* from, const char* to) {
    Click(from);
    Click(to);
  }
  QColor Pixel(QPoint p) const { return window.surface->surface().pixelColor(p); }

  // Whether the square shows a frame `inset` pixels inside it, in the mark's colour, on its top
  // and its left side.
  bool Framed(const char* square, int inset) const {
    const QPoint c = Centre(square);
    return Pixel({c.x(), c.y() - 16 + inset}) == kMark &&
           Pixel({c.x() - 16 + inset, c.y()}) == kMark;
  }
  // The squares among `squares` that show the mark's frame of a moved piece.
  std::vector<std::string> MovedFrames(std::initializer_list<const char*> squares) const {
    std::vector<std::string> framed;
    for (const char* square : squares) {
      if (Framed(square, kMovedInset)) framed.emplace_back(square);
    }
    return framed;
  }
  // The square shows the picture of `picture` at its centre.
  bool Shows(const char* square, const Picture& picture) const {
    return Pixel(Centre(square)) == picture.image().pixelColor(16, 16);
  }

  void Start(const Board& board) {
    window.state().board = board;
    window.surface->Repaint();
  }

  RecordWindow& Record() {
    window.Partie1->trigger();
    EXPECT_NE(window.record_window(), nullptr);
    return *window.record_window();
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    QListWidget* moves = Record().Moves;
    for (int row = 0; row < moves->count(); ++row) {
      lines.push_back(moves->item(row)->text().toStdString());
    }
    return lines;
  }
  QString PathIn(const char* name) const {
    return QString::fromStdString((folder / name).string());
  }

  testing::TempFolder temp_folder;
  const fs::path folder = temp_folder.path();
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 window{application, std::nullopt, folder};
};

TEST_F(RecordTest, TheNewCommandsStandBesideTheDesignedOnesWithKeysOfTheirOwn) {
  const auto captions = [](QMenu* menu) {
    std::vector<std::string> texts;
    for (QAction* item : menu->actions()) {
      if (!item->isSeparator()) texts.push_back(item->text().toStdString());
    }
    return texts;
  };
  EXPECT_EQ(captions(window.Fichier1),
            (Shown{"Nouveau", "Ouvrir", "Enregistrer", "Ouvrir une partie...",
                   "Enregistrer la partie...", "Abandonner", "Proposer la nulle", "Quitter"}));
  EXPECT_EQ(captions(window.Outils1).back(), "Partie");
  EXPECT_TRUE(window.DernierCoup1->isCheckable());
  EXPECT_TRUE(window.DernierCoup1->isChecked());
  // No two commands share a key, and the designed ones keep theirs.
  std::vector<QKeySequence> keys;
  for (QMenu* menu : {window.Fichier1, window.Outils1, window.Aide1, window.Levels1}) {
    for (QAction* item : menu->actions()) {
      if (item->shortcut().isEmpty()) continue;
      EXPECT_EQ(std::count(keys.begin(), keys.end(), item->shortcut()), 0)
          << item->text().toStdString();
      keys.push_back(item->shortcut());
    }
  }
  EXPECT_EQ(window.Nouvelle1->shortcut(), QKeySequence(Qt::Key_F2));
  EXPECT_EQ(window.skin1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(window.Help1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F1));
}

// The computer's reply is framed where its piece left and landed, until the next click on the
// board; with the computer off, each side's move is.
TEST_F(RecordTest, TheLastMoveIsMarkedUntilTheNextClick) {
  Move("D6", "E5");
  ASSERT_EQ(window.state().record.size(), 2u);
  const RecordedMove& reply = window.state().record[1];
  const std::string from = SquareName(reply.from);
  const std::string to = SquareName(reply.To());
  for (const std::string& square : {from, to}) {
    EXPECT_TRUE(Framed(square.c_str(), kMovedInset)) << square;
  }
  EXPECT_FALSE(Framed("D6", kMovedInset)) << "the player's own move, answered, is not marked";
  EXPECT_TRUE(Shows(to.c_str(), window.Im1)) << "the piece itself shows through the frame";

  Click("E5");  // selects a piece: the mark goes, the selection's ring comes
  EXPECT_FALSE(Framed(from.c_str(), kMovedInset));
  EXPECT_FALSE(Framed(to.c_str(), kMovedInset));
  EXPECT_EQ(Pixel({Centre("E5").x(), Centre("E5").y() - 16}), QColor(255, 255, 0));

  window.Chec1->setChecked(false);
  Click("F4");
  EXPECT_EQ(MovedFrames({"E5", "F4", from.c_str(), to.c_str()}), (Shown{"E5", "F4"}));
}

// A game from a saved position is marked as one from the opening, its record starting there.
TEST_F(RecordTest, AGameFromASavedPositionIsMarkedToo) {
  const std::string position =
      "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.xpx.x/x.xpxpxp/pxpxpxpx/xpxpxpxp";
  WriteSavedGame(folder / "partie.KRP", testing::BoardOf(position));
  dialogs.Accept(PathIn("partie.KRP"));
  window.open1Click();
  ASSERT_EQ(FormatBoardLine(window.state().board), position);
  Move("F6", "G5");
  const GameRecord& record = window.state().record;
  ASSERT_EQ(record.size(), 2u);
  EXPECT_EQ(FormatBoardLine(record.Start().board), position);
  EXPECT_EQ(MovedFrames({SquareName(record[1].from).c_str(), SquareName(record[1].To()).c_str(),
                         "F6", "G5"}),
            (Shown{SquareName(record[1].from), SquareName(record[1].To())}));
}

// A chain marks each landing and, smaller, each piece it took; the item of "Outils" puts the mark
// away and keeps it away, whatever the next games bring.
TEST_F(RecordTest, AChainMarksItsLandingsAndItsCapturesAndTheItemTurnsTheMarkOff) {
  window.Chec1->setChecked(false);
  Start(BoardWith(
      {{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}, {"A1", kComputerMan}}));
  Click("B6");
  Click("D4", Qt::RightButton);
  EXPECT_EQ(MovedFrames({"B6", "D4"}), Shown{}) << "nothing is marked in the middle of a move";
  Click("F2");
  EXPECT_EQ(MovedFrames({"B6", "D4", "F2", "C5", "E3", "A1"}), (Shown{"B6", "D4", "F2"}));
  EXPECT_TRUE(Framed("C5", kTakenInset));
  EXPECT_TRUE(Framed("E3", kTakenInset));
  EXPECT_TRUE(Shows("C5", window.Im0)) << "the frame leaves the square's centre alone";

  window.DernierCoup1->trigger();
  EXPECT_FALSE(window.DernierCoup1->isChecked());
  EXPECT_EQ(MovedFrames({"B6", "D4", "F2"}), Shown{});
  EXPECT_FALSE(Framed("C5", kTakenInset));
  window.Nouvelle1Click();
  Move("D6", "E5");
  EXPECT_EQ(MovedFrames({"D6", "E5"}), Shown{}) << "off for the rest of the run";
  window.DernierCoup1->trigger();
  EXPECT_EQ(MovedFrames({"D6", "E5"}), (Shown{"D6", "E5"}));
}

// The window lists the moves under the start, follows the game, and pages through its positions
// with the buttons and the keys; meanwhile the board shows the chosen position and is not played.
TEST_F(RecordTest, TheRecordWindowFollowsTheGameAndShowsItsPositions) {
  RecordWindow& record = Record();
  EXPECT_EQ(Lines(), Shown{"Début de la partie"});
  Move("D6", "E5");
  Move("E7", "D6");
  const GameRecord& moves = window.state().record;
  ASSERT_EQ(moves.size(), 4u);
  const Shown lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "1. D6-E5");
  EXPECT_EQ(lines[2], "1... " + MoveNotation(moves[1]));
  EXPECT_EQ(lines[3], "2. E7-D6");
  EXPECT_EQ(record.Moves->currentRow(), 4) << "the game's own position is highlighted";
  EXPECT_EQ(record.windowTitle(), "Partie");
  EXPECT_FALSE(record.PlayFrom->isEnabled());
  const Board now = window.state().board;

  record.First->click();
  EXPECT_EQ(window.shown_ply(), 0u);
  EXPECT_EQ(record.Moves->currentRow(), 0);
  EXPECT_EQ(record.windowTitle(), "Partie : position antérieure");
  EXPECT_TRUE(Shows("D6", window.Imm1));
  EXPECT_TRUE(Shows("E5", window.Im0));
  Click("D6");
  Click("E5");
  EXPECT_EQ(window.state().board, now) << "the board shown is not played";
  EXPECT_EQ(window.shown_ply(), 0u);
  EXPECT_TRUE(dialogs.Take().empty());

  record.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&record));
  const struct {
    Qt::Key key;
    std::size_t shown;
  } keys[] = {{Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Left, 1}, {Qt::Key_Down, 2},
              {Qt::Key_Up, 1},    {Qt::Key_End, 4},   {Qt::Key_Home, 0}};
  for (const auto& key : keys) {
    QTest::keyClick(record.Moves, key.key);
    EXPECT_EQ(window.shown_ply().value_or(moves.size()), key.shown) << key.key;
  }
  record.Next->click();
  EXPECT_EQ(window.shown_ply(), 1u);
  EXPECT_TRUE(Framed("D6", kMovedInset)) << "the move that led there is marked";
  EXPECT_TRUE(Shows("E5", window.Imm1));
  record.Moves->setCurrentRow(3);
  EXPECT_EQ(window.shown_ply(), 3u);
  record.Last->click();
  EXPECT_EQ(window.shown_ply(), std::nullopt);
  EXPECT_EQ(record.windowTitle(), "Partie");

  // Shown again, then put away: the board is the game's.
  record.Previous->click();
  EXPECT_EQ(window.shown_ply(), 3u);
  record.close();
  EXPECT_EQ(window.shown_ply(), std::nullopt);
  EXPECT_TRUE(Shows("D6", window.Imm1));
  EXPECT_TRUE(Shows("E7", window.Im0));
  Move("F6", "G5");
  EXPECT_EQ(window.state().record.size(), 6u) << "the game goes on";
}

// "Jouer d'ici" drops the moves after the position shown and goes on from it: the computer
// answers at once when it is to move there.
TEST_F(RecordTest, PlayingFromAnEarlierPositionDropsTheMovesAfterIt) {
  RecordWindow& record = Record();
  Move("D6", "E5");
  Move("E7", "D6");
  Move("F6", "G5");
  ASSERT_EQ(window.state().record.size(), 6u);
  const RecordedMove first_reply = window.state().record[1];

  record.Moves->setCurrentRow(2);
  ASSERT_TRUE(record.PlayFrom->isEnabled());
  record.PlayFrom->click();
  EXPECT_EQ(window.shown_ply(), std::nullopt);
  EXPECT_EQ(window.state().record.size(), 2u);
  EXPECT_EQ(window.state().side_to_move, kPlayerSide);
  EXPECT_EQ(window.BitBtn1->text(), "1");
  EXPECT_EQ(Lines().size(), 3u);
  Move("F6", "G5");
  EXPECT_EQ(window.state().record.size(), 4u);

  record.Moves->setCurrentRow(1);  // after the player's first move: the computer is to move
  record.PlayFrom->click();
  ASSERT_EQ(window.state().record.size(), 2u);
  EXPECT_EQ(window.state().record[1], first_reply) << "it answered at once, as it did then";
  EXPECT_EQ(window.state().side_to_move, kPlayerSide);
  EXPECT_TRUE(Framed(SquareName(first_reply.To()).c_str(), kMovedInset));
}

// After the end of a game the record window still shows every position, the final one included:
// the about panel makes way for it, and "Jouer d'ici" from an earlier one takes the game up again.
// Put away, the window leaves the board as the end of a game leaves it, without squares.
TEST_F(RecordTest, AfterTheEndEveryPositionCanStillBeShown) {
  RecordWindow& record = Record();
  Start(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}}));
  Click("B6");
  Click("D4", Qt::RightButton);
  Click("F2");
  ASSERT_TRUE(window.state().game_over);
  EXPECT_EQ(dialogs.Take(), Shown{"Congratulation:  * * *  you have WIN  * * * "});
  EXPECT_TRUE(window.Panel1->isVisible());
  EXPECT_EQ(record.windowTitle(), "Partie terminée");
  EXPECT_EQ(Lines(), (Shown{"Début de la partie", "1. B6xD4xF2"}));
  EXPECT_TRUE(record.Last->isEnabled());
  EXPECT_FALSE(record.PlayFrom->isEnabled());

  record.Last->click();
  EXPECT_EQ(window.shown_ply(), 1u);
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_TRUE(Shows("F2", window.Imm1)) << "the final position";
  EXPECT_TRUE(Shows("C5", window.Im0));
  EXPECT_TRUE(Framed("F2", kMovedInset));
  EXPECT_FALSE(record.PlayFrom->isEnabled()) << "nothing to go on with from the final position";
  EXPECT_NE(record.Status->text().indexOf("1-0"), -1);

  record.Previous->click();
  EXPECT_TRUE(Shows("B6", window.Imm1));
  EXPECT_TRUE(Shows("C5", window.Im1));
  record.Next->click();
  record.close();
  EXPECT_EQ(window.shown_ply(), std::nullopt);
  EXPECT_EQ(Pixel(Centre("F2")), window.surface->window_color()) << "no squares, as designed";
  Click("B6");
  EXPECT_TRUE(window.state().game_over);

  Record().First->click();
  Record().PlayFrom->click();
  EXPECT_FALSE(window.state().game_over);
  EXPECT_TRUE(window.state().record.empty());
  EXPECT_TRUE(Shows("B6", window.Imm1));
}

TEST_F(RecordTest, WholeGamesAreSavedAndOpenedThroughTheirOwnDialogs) {
  Move("D6", "E5");
  Move("E7", "D6");
  const GameRecord played = window.state().record;
  const Board board = window.state().board;
  dialogs.Accept(PathIn("partie.pdn"));
  window.SavePdn1->trigger();
  EXPECT_EQ(dialogs.Take(), Shown{"save PARTIE PDN (*.pdn *.PDN)"});
  EXPECT_EQ(dialogs.last_file_dialog.default_suffix, "pdn");
  EXPECT_TRUE(dialogs.last_file_dialog.confirm_overwrite);
  std::stringstream text;
  text << std::ifstream(folder / "partie.pdn").rdbuf();
  EXPECT_NE(text.str().find("1. D6-E5 "), std::string::npos) << text.str();

  window.Nouvelle1Click();
  window.openPdn1->trigger();  // cancelled
  EXPECT_TRUE(window.state().record.empty());
  dialogs.Accept(PathIn("partie.pdn"));
  window.openPdn1->trigger();
  EXPECT_EQ(dialogs.Take(),
            (Shown{"open PARTIE PDN (*.pdn *.PDN)", "open PARTIE PDN (*.pdn *.PDN)"}));
  EXPECT_EQ(dialogs.last_file_dialog.folder, ".");
  EXPECT_EQ(window.state().record.moves(), played.moves());
  EXPECT_EQ(window.state().board, board);
  EXPECT_EQ(window.BitBtn1->text(), "0");
  EXPECT_TRUE(Framed(SquareName(played[3].To()).c_str(), kMovedInset)) << "its last move";
  EXPECT_EQ(Lines().size(), 5u);

  // The designed saved position is still a board of 192 bytes.
  dialogs.Accept(PathIn("position.KRP"));
  window.Save1Click();
  EXPECT_EQ(fs::file_size(folder / "position.KRP"), 192u);
}

// A file that cannot be read changes nothing: not the board, not its record, not the about panel
// of the game that was over.
TEST_F(RecordTest, AGameThatCannotBeReadChangesNothing) {
  Start(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}}));
  Move("B6", "D4");
  ASSERT_TRUE(window.state().game_over);
  dialogs.Take();
  const GameState before = window.state();
  std::ofstream(folder / "illegal.pdn") << "[Event \"x\"]\r\n\r\n1. D6-E5 C3-D4 2. E5-D6 *\r\n";
  for (const char* name : {"illegal.pdn", "missing.pdn"}) {
    dialogs.Accept(PathIn(name));
    window.openPdn1->trigger();
    const Shown shown = dialogs.Take();
    ASSERT_EQ(shown.size(), 2u) << name;
    EXPECT_EQ(window.state().board, before.board) << name;
    EXPECT_EQ(window.state().record.moves(), before.record.moves()) << name;
    EXPECT_TRUE(window.state().game_over) << name;
    EXPECT_TRUE(window.Panel1->isVisible()) << name;
  }
  dialogs.Accept(PathIn("illegal.pdn"));
  window.openPdn1->trigger();
  const std::string refusal = dialogs.Take().back();
  EXPECT_NE(refusal.find("Coup 2. E5-D6"), std::string::npos) << refusal;
}

// `zelbo FILE.pdn` opens a whole game at start, whatever the case of its extension; any other name
// is a saved position, as designed.
TEST_F(RecordTest, AGameNamedAtStartIsOpened) {
  std::ofstream(folder / "soir.PDN") << "\xEF\xBB\xBF[Event \"Soir\"]\n{un commentaire}\n1. D6-E5 "
                                        "$1 A3-B4 2. E5-D4! *\n";
  TForm1 started(application, folder / "soir.PDN", folder);
  EXPECT_EQ(dialogs.Take(), Shown{});
  EXPECT_EQ(MoveListText(started.state().record), "1. D6-E5 A3-B4 2. E5-D4");
  EXPECT_EQ(ReadCell(started.state().board, testing::Sq("D4")), kPlayerMan);
  EXPECT_EQ(started.state().side_to_move, kComputerSide);

  std::ofstream(folder / "bad.pdn") << "1. D6-D5 *\n";
  TForm1 refused(application, folder / "bad.pdn", folder);
  EXPECT_EQ(dialogs.Take().size(), 1u);
  EXPECT_EQ(FormatBoardLine(refused.state().board), kInitialLine);
  EXPECT_TRUE(refused.state().record.empty());
}

// Resigning is asked first; the side to move loses.
TEST_F(RecordTest, ResigningIsAskedAndLosesTheGame) {
  window.Abandonner1->trigger();  // answered No
  EXPECT_EQ(dialogs.Take(), Shown{"question Abandonner: Abandonner la partie ? Les blancs (en "
                                  "bas) la perdent."});
  EXPECT_FALSE(window.state().game_over);
  dialogs.Accept("yes");
  window.Abandonner1->trigger();
  EXPECT_EQ(dialogs.Take().back(),
            "Fin de partie: Les blancs (en bas) abandonnent : les noirs (en haut) gagnent.");
  EXPECT_TRUE(window.state().game_over);
  EXPECT_TRUE(window.Panel1->isVisible());
  EXPECT_EQ(window.state().record.result(), GameResult::kBlackWins);
  window.Abandonner1->trigger();
  EXPECT_EQ(dialogs.Take(), Shown{}) << "a game over is not given up twice";
}

// The computer answers a draw offer as its level judges; two players at the mouse, the other one
// answers.
TEST_F(RecordTest, TheDrawOfferIsAnsweredByTheComputerOrByTheOtherPlayer) {
  const Board computer_ahead =
      BoardWith({{"A7", kPlayerMan}, {"H2", kComputerMan}, {"F2", kComputerMan}});
  const struct {
    const char* name;
    Board board;
    int level;
    bool computer;
    bool yes;
    Shown shown;
  } cases[] = {
      {"level 1, even",
       testing::BoardOf(kInitialLine),
       1,
       true,
       false,
       {"Partie nulle: L'ordinateur accepte la nulle."}},
      {"level 1, ahead",
       computer_ahead,
       1,
       true,
       false,
       {"Nulle refusée: L'ordinateur refuse la nulle : la partie continue."}},
      {"level 2, ahead",
       computer_ahead,
       2,
       true,
       false,
       {"Nulle refusée: L'ordinateur refuse la nulle : la partie continue."}},
      {"two players, no",
       computer_ahead,
       1,
       false,
       false,
       {"question Proposer la nulle: Les blancs (en bas) proposent la nulle. Les noirs (en haut), "
        "acceptez-vous ?",
        "Nulle refusée: Nulle refusée : la partie continue."}},
      {"two players, yes",
       computer_ahead,
       1,
       false,
       true,
       {"question Proposer la nulle: Les blancs (en bas) proposent la nulle. Les noirs (en haut), "
        "acceptez-vous ?",
        "Partie nulle: Nulle acceptée : partie nulle."}},
  };
  for (const auto& test : cases) {
    window.Nouvelle1Click();
    window.LevelClick(test.level);
    window.Chec1->setChecked(test.computer);
    Start(test.board);
    if (test.yes) dialogs.Accept("yes");
    window.ProposerNulle1->trigger();
    EXPECT_EQ(dialogs.Take(), test.shown) << test.name;
    const bool drawn = test.shown.back().starts_with("Partie nulle");
    EXPECT_EQ(window.state().game_over, drawn) << test.name;
    EXPECT_EQ(window.state().record.result(), drawn ? GameResult::kDraw : GameResult::kUnfinished)
        << test.name;
  }
}

// A searching level that thinks longer than a moment answers the offer off the window's thread:
// the answer comes once it has thought.
TEST_F(RecordTest, ALongThoughtAnswerComesAfterTheWindowWentOn) {
  window.LevelClick(2);
  window.state().execution_time = 400;
  Start(BoardWith({{"A7", kPlayerMan}, {"H2", kComputerMan}, {"F2", kComputerMan}}));
  window.ProposerNulle1->trigger();
  EXPECT_TRUE(window.thinking());
  EXPECT_EQ(dialogs.Take(), Shown{});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.thinking(); }, 10'000));
  EXPECT_EQ(dialogs.Take(),
            Shown{"Nulle refusée: L'ordinateur refuse la nulle : la partie continue."});
  EXPECT_FALSE(window.state().game_over);
}

}  // namespace
}  // namespace zelbo
