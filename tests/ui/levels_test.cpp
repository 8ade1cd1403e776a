// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's levels in the board window: the level chooser and its caption, a searching
// level's reply through the window's own path, a long search that leaves the window alive and
// makes the game's commands wait, and the hint drawn on the board.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "engine/move_gen.h"
#include "files/temp_folder.h"
#include "game/notation.h"
#include "savegame/saved_game.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::kInitialLine;

const QColor kHint(0, 230, 255);

class LevelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->surface->Repaint();
  }

  void Click(const char* square) {
    const SquareRef s = testing::Sq(square);
    QTest::mouseClick(window->surface, Qt::LeftButton, {},
                      QPoint(40 + (Column(s) - 1) * 32 + 16, 40 + (Row(s) - 1) * 32 + 16));
  }

  // The top of the ring drawn `inset` pixels inside a square, in the window's canvas.
  QColor RingTop(const char* square, int inset) const {
    const SquareRef s = testing::Sq(square);
    return window->surface->surface().pixelColor(40 + (Column(s) - 1) * 32 + 16,
                                                 40 + (Row(s) - 1) * 32 + inset);
  }

  // The position side -1 has after side +1's reply is one that its move could leave.
  static bool ReplyIsLegal(const Board& before, const Board& after) {
    const engine::Position position = engine::PositionOf(before, kComputerSide);
    engine::MoveList moves;
    moves.clear();
    engine::GenerateMoves(position, moves);
    for (const engine::Move& move : moves) {
      if (engine::BoardOfPosition(engine::MakeMove(position, move), before) == after) return true;
    }
    return false;
  }

  testing::FakeDialogs dialogs;
  Application application{dialogs};
  std::unique_ptr<TForm1> window = std::make_unique<TForm1>(application);
};

TEST_F(LevelsTest, TheLevelChooserNamesTheChosenLevel) {
  ASSERT_EQ(window->Level1->menu(), window->Levels1);
  ASSERT_EQ(window->level_items.size(), static_cast<std::size_t>(LevelCount()));
  ASSERT_GE(LevelCount(), 4);
  EXPECT_EQ(window->Outils1->actions().front(), window->Level1) << "first in Outils, as it was";
  for (int level = 1; level <= LevelCount(); ++level) {
    const QAction* item = window->level_items[static_cast<std::size_t>(level - 1)];
    EXPECT_EQ(item->text().toStdString(), LevelCaption(level));
    EXPECT_EQ(item->isChecked(), level == 1);
  }
  window->level_items[2]->trigger();
  EXPECT_EQ(window->state().level, 3);
  EXPECT_EQ(window->Level1->text().toStdString(), LevelCaption(3));
  EXPECT_FALSE(window->level_items[0]->isChecked());
  EXPECT_TRUE(window->level_items[2]->isChecked());
  window->Nouvelle1Click();
  EXPECT_EQ(window->state().level, 3) << "the level lasts for the run";
  EXPECT_EQ(window->Level1->text().toStdString(), LevelCaption(3));
}

// A searching level answers through the window's own path: the move drawn, the take-back list
// and its button.
TEST_F(LevelsTest, ASearchingLevelRepliesThroughTheWindow) {
  window->level_items.back()->trigger();
  Click("D6");
  const Board before_reply = [&] {
    Board board = window->state().board;
    WriteCell(board, testing::Sq("D6"), kEmpty);
    WriteCell(board, testing::Sq("E5"), kPlayerMan);
    return board;
  }();
  Click("E5");
  EXPECT_FALSE(window->thinking()) << "50 ms are thought on the window's own thread";
  EXPECT_EQ(window->BitBtn1->text(), "1");
  EXPECT_EQ(window->state().side_to_move, kPlayerSide);
  EXPECT_TRUE(ReplyIsLegal(before_reply, window->state().board));
  EXPECT_EQ(window->state().history.back(), window->state().board);
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{});
}

// A long search leaves the window alive: the caption scrolls and the pointer shows the computer
// busy; the commands that change the game wait for the reply and then run in order.
TEST_F(LevelsTest, ALongSearchLeavesTheWindowAliveAndTheGameWaits) {
  window->level_items.back()->trigger();
  window->state().execution_time = 3000;
  window->Timer1->setInterval(50);  // the caption's ticks, faster than the search
  Click("D6");
  Click("E5");
  ASSERT_TRUE(window->thinking());
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  window->BitBtn1Click();
  Click("F6");
  EXPECT_EQ(window->state().selected_square, 0) << "the click waits";
  const QString caption = window->windowTitle();
  QTest::qWait(200);
  EXPECT_NE(window->windowTitle(), caption) << "the caption goes on scrolling";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->thinking(); }, 10000));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(window->BitBtn1->text(), "1") << "the reply came, then the take-back found one only";
  EXPECT_EQ(window->state().selected_square, testing::Sq("F6")) << "then the click selected F6";
}

// "Nouveau" and "Ouvrir" do not wait for a search of up to a minute: it stops at once and its
// reply never comes, nor do the commands that waited for it. Cancelled, "Ouvrir" leaves the
// game as it was: the computer thinks its reply again.
TEST_F(LevelsTest, NewAndOpenStopASearchAtOnce) {
  const testing::TempFolder folder;
  const std::filesystem::path game = folder / "game.KRP";
  const Board saved = BoardWith({{"A5", kPlayerMan}, {"H2", kComputerMan}});
  WriteSavedGame(game, saved);
  const struct {
    const char* name;
    std::function<void()> command;
    std::optional<std::string> board;  // the position at once; none: the reply is thought again
  } cases[] = {
      {"F2", [&] { QTest::keyClick(window.get(), Qt::Key_F2); }, std::string(kInitialLine)},
      {"Ouvrir",
       [&] {
         dialogs.Accept(QString::fromStdString(game.string()));
         window->open1->trigger();
       },
       FormatBoardLine(saved)},
      {"Ouvrir, cancelled", [&] { window->open1->trigger(); }, std::nullopt},
  };
  window->level_items.back()->trigger();
  for (const auto& c : cases) {
    window->Nouvelle1Click();
    window->state().execution_time = std::numeric_limits<int32_t>::max();
    Click("D6");
    Click("E5");
    ASSERT_TRUE(window->thinking()) << c.name;
    const Board before_reply = window->state().board;
    Click("F6");  // waits for the reply
    QElapsedTimer stopping;
    stopping.start();
    c.command();
    EXPECT_LT(stopping.elapsed(), 1000) << c.name;
    if (c.board) {
      EXPECT_FALSE(window->thinking()) << c.name;
      EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
      QTest::qWait(300);
      EXPECT_EQ(FormatBoardLine(window->state().board), *c.board) << c.name << ": no reply came";
      EXPECT_EQ(window->state().selected_square, 0) << c.name << ": the click was dropped";
      continue;
    }
    EXPECT_TRUE(window->thinking()) << c.name;
    EXPECT_EQ(window->state().board, before_reply) << c.name;
  }
  EXPECT_EQ(dialogs.Take().size(), 2u);
}

// The execution time a searching level may think is a minute at most: a longer one is refused
// by the dialog while a searching level plays, and taken by level 1, which reads no time.
TEST_F(LevelsTest, TheExecutionTimeOfASearchingLevelIsAMinuteAtMost) {
  application.SetTitle("Zelbo");
  dialogs.Accept("600000");
  window->empdexecution1Click();
  EXPECT_EQ(window->state().execution_time, 600000);
  window->level_items.back()->trigger();
  dialogs.Accept("60001");
  window->empdexecution1Click();
  dialogs.Accept("60000");
  window->empdexecution1Click();
  EXPECT_EQ(window->state().execution_time, 60000);
  EXPECT_EQ(dialogs.Take(), (std::vector<std::string>{
                                "input THE TIME  | Time : |50", "input THE TIME  | Time : |600000",
                                "Zelbo: '60001' : un niveau qui cherche réfléchit 60000 ms au plus",
                                "input THE TIME  | Time : |600000"}));
}

// Closing the window in the middle of a search stops it at once.
TEST_F(LevelsTest, ClosingStopsASearch) {
  window->level_items.back()->trigger();
  window->state().execution_time = 60000;
  Click("D6");
  Click("E5");
  ASSERT_TRUE(window->thinking());
  QElapsedTimer closing;
  closing.start();
  window.reset();
  EXPECT_LT(closing.elapsed(), 2000);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The hint rings the piece the top level would move and marks its landing squares; it plays
// nothing. Here side -1 has a single move, A5 to B4.
TEST_F(LevelsTest, TheHintIsDrawnOnTheBoard) {
  window->state().board = BoardWith({{"A5", kPlayerMan}, {"H2", kComputerMan}});
  window->surface->Repaint();
  const Board board = window->state().board;
  window->Hint1->trigger();
  EXPECT_EQ(RingTop("A5", 0), kHint);
  EXPECT_EQ(RingTop("B4", 7), kHint);
  EXPECT_EQ(window->state().board, board);
  EXPECT_EQ(window->Hint1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
  EXPECT_EQ(window->Aide1->actions().back(), window->Hint1);
}

}  // namespace
}  // namespace zelbo
