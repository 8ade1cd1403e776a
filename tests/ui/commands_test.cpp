// SPDX-License-Identifier: GPL-3.0-or-later
// The board window's commands: take-back, the computer switch, the execution-time dialog, the
// about panel, saved games through the file dialogs, F1 and the scrolling caption.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "files/fifo.h"
#include "files/temp_folder.h"
#include "game/notation.h"
#include "savegame/saved_game.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/fake_dialogs.h"
#include "ui/title.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::kInitialLine;

// Counts the events a widget and its children receive.
class EventCounter : public QObject {
 public:
  explicit EventCounter(QWidget& widget) {
    widget.installEventFilter(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) child->installEventFilter(this);
  }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent*) override {
    ++count;
    return false;
  }
};

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetWindows(nullptr, nullptr, &help);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The caption's timer would change the application's title in the middle of a test.
    ASSERT_TRUE(window.Timer1->isActive());
    window.Timer1->stop();
  }

  void Click(const char* square) {
    const SquareRef s = testing::Sq(square);
    QTest::mouseClick(window.surface, Qt::LeftButton, {},
                      QPoint(40 + (Column(s) - 1) * 32 + 16, 40 + (Row(s) - 1) * 32 + 16));
  }
  void Move(const char* from, const char* to) {
    Click(from);
    Click(to);
  }
  QString FileIn(const char* name) const {
    return QString::fromStdString((folder / name).string());
  }

  testing::TempFolder temp_folder;
  const fs::path folder = temp_folder.path();
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 window{application, std::nullopt, folder};
  TForm4 help{application, folder};
};

TEST_F(CommandsTest, TakeBackReturnsToTheComputersPreviousReply) {
  window.BitBtn1Click();
  EXPECT_EQ(window.BitBtn1->text(), "0");
  Move("D6", "E5");
  EXPECT_EQ(window.BitBtn1->text(), "1");
  const Board after_first = window.state().board;
  window.BitBtn1Click();  // the oldest reply is never taken back
  EXPECT_EQ(window.state().board, after_first);
  Move("B6", "A5");
  const Board after_second = window.state().board;
  Move("F6", "G5");
  EXPECT_EQ(window.BitBtn1->text(), "3");
  window.BitBtn1Click();
  EXPECT_EQ(window.BitBtn1->text(), "2");
  EXPECT_EQ(window.state().board, after_second);
  EXPECT_EQ(window.state().side_to_move, kPlayerSide);

  // Enter on the check box clicks the window's default button.
  window.Chec1->setFocus();
  QTest::keyClick(window.Chec1, Qt::Key_Return);
  EXPECT_EQ(window.BitBtn1->text(), "1");
  EXPECT_EQ(window.state().board, after_first);
}

TEST_F(CommandsTest, NoRepliesNoSnapshotsWithTheComputerOff) {
  window.Chec1->setChecked(false);
  Move("D6", "E5");
  Move("C3", "D4");
  EXPECT_EQ(window.BitBtn1->text(), "0");
  EXPECT_EQ(window.state().history_count, 0u);
}

TEST_F(CommandsTest, OrdinateurSetsTheCheckBoxFromItsOwnMark) {
  window.Chec1->setChecked(false);
  EXPECT_TRUE(window.Ordinateur1->isChecked());
  window.Ordinateur1->trigger();
  EXPECT_FALSE(window.Ordinateur1->isChecked());
  EXPECT_FALSE(window.Chec1->isChecked());
  window.Ordinateur1->trigger();
  EXPECT_TRUE(window.Ordinateur1->isChecked());
  EXPECT_TRUE(window.Chec1->isChecked());
  window.Experience1->trigger();
  EXPECT_TRUE(window.IsExperienceChecked());
  window.Experience1->trigger();
  EXPECT_FALSE(window.IsExperienceChecked());
}

TEST_F(CommandsTest, ExecutionTimeDialog) {
  dialogs.Accept("120");
  window.empdexecution1Click();
  EXPECT_EQ(window.state().execution_time, 120);
  window.empdexecution1Click();  // cancelled
  EXPECT_EQ(dialogs.Take(), (std::vector<std::string>{"input THE TIME  | Time : |50",
                                                      "input THE TIME  | Time : |120"}));
  window.Nouvelle1Click();
  EXPECT_EQ(window.state().execution_time, 50);
  application.SetTitle("Zelbo");
  dialogs.Accept("12x");
  window.empdexecution1Click();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<std::string>{"input THE TIME  | Time : |50",
                                      "Zelbo: '12x' n'est pas une valeur entière correcte"}));
  EXPECT_EQ(window.state().execution_time, 50);
}

TEST_F(CommandsTest, AboutPanel) {
  window.Aboute1Click();
  EXPECT_TRUE(window.Panel1->isVisible());
  QTest::mouseClick(window.surface, Qt::LeftButton, {}, QPoint(350, 330));  // off the board
  EXPECT_FALSE(window.Panel1->isVisible());

  window.Aboute1Click();
  Move("D6", "E5");
  const Board during_game = window.state().board;
  QTest::mouseClick(window.Image1, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_EQ(window.state().board, during_game);

  window.state().game_over = true;
  window.Aboute1Click();
  QTest::mouseClick(window.Image1, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_FALSE(window.state().game_over);
  EXPECT_EQ(FormatBoardLine(window.state().board), kInitialLine);
}

TEST_F(CommandsTest, SavesAndOpensThroughTheFileDialogs) {
  Move("D6", "E5");
  const Board saved = window.state().board;
  dialogs.Accept(FileIn("game.KRP"));
  window.Save1Click();
  EXPECT_EQ(fs::file_size(folder / "game.KRP"), 192u);
  EXPECT_TRUE(dialogs.last_file_dialog.confirm_overwrite);
  EXPECT_EQ(dialogs.last_file_dialog.default_suffix, "KRP");
  // The dialog names the kind of file alone, and lists saved games whatever the case of their
  // extension.
  QFileDialog file_dialog;
  SetUpFileDialog(file_dialog, dialogs.last_file_dialog);
  const auto* types = file_dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(types, nullptr);
  EXPECT_EQ(types->currentText(), "ZELBO FILE");
  EXPECT_EQ(dialogs.last_file_dialog.patterns, "*.KRP *.krp");

  Move("B6", "A5");
  window.open1Click();  // cancelled: nothing changes
  EXPECT_EQ(window.BitBtn1->text(), "2");
  dialogs.Accept(FileIn("game.KRP"));
  window.open1Click();
  EXPECT_EQ(dialogs.last_file_dialog.folder, ".");
  EXPECT_EQ(window.state().board, saved);
  EXPECT_EQ(window.BitBtn1->text(), "0");
  EXPECT_EQ(window.state().side_to_move, kPlayerSide);

  dialogs.Take();
  std::ofstream(folder / "short.KRP") << "short";
  dialogs.Accept(FileIn("short.KRP"));
  window.open1Click();
  EXPECT_EQ(dialogs.Take().back(), ": Lecture au-delà de la fin de fichier");
  EXPECT_EQ(FormatBoardLine(window.state().board), kInitialLine);
}

// Another copy of the program saves over the game this window saved: "Enregistrer" says so and
// keeps the file, and saving again replaces it.
TEST_F(CommandsTest, DoesNotSaveSilentlyOverAGameAnotherCopyChanged) {
  dialogs.Accept(FileIn("game.KRP"));
  window.Save1Click();
  const Board theirs = testing::BoardWith({{"A7", kPlayerMan}});
  WriteSavedGame(folder / "game.KRP", theirs);
  dialogs.Take();
  dialogs.Accept(FileIn("game.KRP"));
  window.Save1Click();
  EXPECT_EQ(dialogs.Take().back(),
            ": Le fichier \"" + (folder / "game.KRP").string() +
                "\" a été modifié depuis son ouverture ou son dernier enregistrement : il n'a pas "
                "été remplacé. Enregistrez de nouveau pour le remplacer.");
  EXPECT_EQ(ReadSavedGame(folder / "game.KRP"), theirs);
  dialogs.Accept(FileIn("game.KRP"));
  window.Save1Click();
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{"save ZELBO FILE (*.KRP *.krp)"});
  EXPECT_EQ(ReadSavedGame(folder / "game.KRP"), window.state().board);
}

TEST_F(CommandsTest, OpensTheSavedGameNamedAtStart) {
  WriteSavedGame(folder / "won.KRP", testing::BoardWith({{"A7", kPlayerMan}}));
  TForm1 started(application, folder / "won.KRP", folder);
  EXPECT_EQ(started.Gauge1->progress(), 10);
  EXPECT_EQ(started.Gauge2->progress(), 0);
  EXPECT_TRUE(started.state().game_over);
  EXPECT_EQ(dialogs.Take().back(), "Congratulation:  * * *  you have WIN  * * * ");

  TForm1 missing(application, folder / "missing.KRP", folder);
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{"Congratulation: Fichier introuvable"});
  EXPECT_EQ(FormatBoardLine(missing.state().board), kInitialLine);
}

// A file name is the file system's bytes, text or not: "\xE9" alone is no UTF-8.
TEST_F(CommandsTest, TheFileNamedAtStartIsFoundByItsBytes) {
  const std::string moved =
      "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.xpx.x/x.xpxpxp/pxpxpxpx/xpxpxpxp";
  WriteSavedGame(folder / "\xE9.KRP", testing::BoardOf(moved));
  TForm1 started(application, folder / "\xE9.KRP", folder);
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{});
  EXPECT_EQ(FormatBoardLine(started.state().board), moved);
}

// A pipe named at start or chosen in "Ouvrir" is refused at once, as any file that cannot be read.
TEST_F(CommandsTest, APipeIsRefusedAtOnce) {
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.KRP"));
  const testing::FifoWatchdog watchdog({folder / "pipe.KRP"});
  application.SetTitle("Zelbo");
  TForm1 started(application, folder / "pipe.KRP", folder);
  EXPECT_EQ(FormatBoardLine(started.state().board), kInitialLine);
  dialogs.Accept(FileIn("pipe.KRP"));
  window.open1Click();
  dialogs.Accept(FileIn("pipe.KRP"));
  window.Save1Click();
  EXPECT_EQ(dialogs.Take(), (std::vector<std::string>{
                                "Zelbo: Accès au fichier refusé", "open ZELBO FILE (*.KRP *.krp)",
                                "Zelbo: Accès au fichier refusé", "save ZELBO FILE (*.KRP *.krp)",
                                "Zelbo: Accès au fichier refusé"}));
  EXPECT_TRUE(fs::is_fifo(folder / "pipe.KRP"));
  EXPECT_FALSE(watchdog.fired());
}

TEST_F(CommandsTest, F1ShowsTheHelpWindow) {
  EXPECT_FALSE(help.isVisible());
  QTest::keyClick(&window, Qt::Key_F1);
  EXPECT_TRUE(help.isVisible());
  help.hide();
  window.Help1->trigger();
  EXPECT_TRUE(help.isVisible());
}

TEST_F(CommandsTest, TheCaptionScrollsAndTheIconsCycle) {
  EXPECT_EQ(window.title_string, "Zelbo, le jeu de dames");
  window.caption = "ABC  ";
  const char* captions[] = {" ABC ", "C ABC", "BC AB", "ABC A", " ABC "};
  const uint8_t icons[] = {1, 2, 0, 1, 2};
  for (int tick = 0; tick < 5; ++tick) {
    window.Timer1Timer();
    EXPECT_EQ(window.windowTitle(), captions[tick]);
    EXPECT_EQ(application.title(), captions[tick]);
    EXPECT_EQ(window.icon_index, icons[tick]);
  }
  EXPECT_EQ(window.Timer1->interval(), 900);
  // The icon cycles on the board window and on the windows on the screen that have none of their
  // own; a hidden window is left alone until it is shown.
  EXPECT_EQ(window.windowIcon().cacheKey(), window.ImageList1[2].cacheKey());
  EXPECT_FALSE(help.testAttribute(Qt::WA_SetWindowIcon));
  EventCounter hidden_window_events(help);
  window.Timer1Timer();
  EXPECT_EQ(hidden_window_events.count, 0) << "a tick costs a hidden window nothing";
  help.show();
  EXPECT_EQ(help.windowIcon().cacheKey(), window.ImageList1[0].cacheKey());
  window.Timer1Timer();
  EXPECT_EQ(help.windowIcon().cacheKey(), window.ImageList1[1].cacheKey());
  help.hide();

  // With the about panel open during a game the caption is written on the picture, not after.
  window.Aboute1Click();
  const QImage before = window.Image1->picture().image().copy();
  window.Timer1Timer();
  EXPECT_NE(window.Image1->picture().image(), before);
  // A narrower text leaves nothing of a wider one.
  window.caption = "iWW";
  window.Timer1Timer();  // "WiW"
  window.Timer1Timer();  // "iWi"
  Canvas& canvas = window.Image1->canvas();
  const QRect wide = canvas.TextBox(5, 10, "WiW");
  const QRect narrow = canvas.TextBox(5, 10, "iWi");
  ASSERT_LT(narrow.right(), wide.right());
  const QImage& picture = window.Image1->picture().image();
  int dark = 0;
  for (int x = narrow.right() + 1; x <= wide.right(); ++x) {
    for (int y = wide.top(); y <= wide.bottom(); ++y) dark += picture.pixelColor(x, y) != Qt::white;
  }
  EXPECT_EQ(dark, 0);
  window.state().game_over = true;
  const QImage over = window.Image1->picture().image().copy();
  window.Timer1Timer();
  EXPECT_EQ(window.Image1->picture().image(), over);
}

TEST(RotateCaption, ShortCaptions) {
  EXPECT_EQ(RotateCaption("XY"), "XX");
  EXPECT_EQ(RotateCaption("XX"), "XX");
  EXPECT_EQ(RotateCaption(""), "");
}

}  // namespace
}  // namespace zelbo
