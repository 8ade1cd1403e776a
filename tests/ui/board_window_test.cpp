// SPDX-License-Identifier: GPL-3.0-or-later
// The board window on the offscreen platform: its layout, the click protocol at the designed
// pixels, what the canvas shows, and the commands with their dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "game/end_of_game.h"
#include "game/notation.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::kInitialLine;

class BoardWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.surface->Repaint();
    window.Chec1->setChecked(false);
  }

  // The centre of a square on the client area.
  static QPoint Centre(const char* square) {
    const SquareRef s = testing::Sq(square);
    return {40 + (Column(s) - 1) * 32 + 16, 40 + (Row(s) - 1) * 32 + 16};
  }

  void Click(const char* square, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(window.surface, button, {}, Centre(square));
  }

  QColor Pixel(int x, int y) const { return window.surface->surface().pixelColor(x, y); }

  void Play(const Board& board) {
    window.state().board = board;
    window.surface->Repaint();
  }

  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 window{application};
};

TEST_F(BoardWindowTest, OpensAsDesigned) {
  EXPECT_EQ(window.size(), QSize(370, 375));
  EXPECT_EQ(window.Chec1->geometry(), QRect(152, 0, 97, 20));
  EXPECT_EQ(window.Chec1->text(), "Computer");
  EXPECT_EQ(window.BitBtn1->geometry(), QRect(308, 3, 47, 22));
  EXPECT_EQ(window.BitBtn1->text(), "0");
  EXPECT_EQ(window.Gauge1->geometry(), QRect(6, 1, 45, 11));
  EXPECT_EQ(window.Gauge2->geometry(), QRect(61, 1, 44, 13));
  EXPECT_EQ(window.Gauge1->progress(), 120);
  EXPECT_EQ(window.Gauge2->progress(), 120);
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_EQ(window.Panel1->geometry(), QRect(56, 32, 217, 261));
  EXPECT_EQ(window.Level1->text(), "Niveau  Facil: Easy ");
  EXPECT_TRUE(window.Level1->isEnabled());
  struct Placed {
    PictureControl* button;
    QPoint at;
  };
  for (const Placed& b : {Placed{window.BOUVRIR, {8, 8}}, Placed{window.bsauvegarder, {40, 8}},
                          Placed{window.bskins, {136, 8}}, Placed{window.MINIMISER, {264, 8}},
                          Placed{window.SORTI, {296, 8}}}) {
    EXPECT_EQ(b.button->pos(), b.at);
    EXPECT_FALSE(b.button->isVisible());
  }
  EXPECT_EQ(window.windowTitle(), window.title_string + "  ");
  EXPECT_EQ(FormatBoardLine(window.state().board), kInitialLine);
}

TEST_F(BoardWindowTest, DrawsEverySquareWithItsPicture) {
  // A1 holds a man of side +1, H8 one of side -1, B1 is unusable, A5 is empty.
  const struct {
    const char* square;
    const Picture& picture;
  } squares[] = {{"A1", window.Im1}, {"H8", window.Imm1}, {"B1", window.Im3}, {"A5", window.Im0}};
  for (const auto& s : squares) {
    const QPoint c = Centre(s.square);
    EXPECT_EQ(Pixel(c.x(), c.y()), s.picture.image().pixelColor(16, 16)) << s.square;
  }
}

TEST_F(BoardWindowTest, MovesAPieceAndRingsTheSelection) {
  Click("D6");
  EXPECT_EQ(SquareName(window.state().selected_square), "D6");
  // The ring is inscribed in D6's square: its top passes through the middle of the top edge.
  EXPECT_EQ(Pixel(40 + 3 * 32 + 16, 40 + 5 * 32), QColor(255, 255, 0));
  Click("E5");
  EXPECT_EQ(ReadCell(window.state().board, testing::Sq("E5")), kPlayerMan);
  EXPECT_EQ(ReadCell(window.state().board, testing::Sq("D6")), kEmpty);
  EXPECT_EQ(window.state().side_to_move, kComputerSide);
  EXPECT_NE(Pixel(40 + 3 * 32 + 16, 40 + 5 * 32), QColor(255, 255, 0));
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(BoardWindowTest, RefusesIllegalMovesWithTheErrorTitle) {
  Click("D6");
  Click("D4");
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{"Error: illegal move !!!!!!"});
  Click("D6");
  Click("E5", Qt::RightButton);
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{"Error: illegal move 2 !!!!!!"});
  EXPECT_EQ(FormatBoardLine(window.state().board), kInitialLine);
}

TEST_F(BoardWindowTest, GaugesFollowCapturesAndTheEndOfTheGame) {
  Play(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}}));
  Click("B6");
  Click("D4", Qt::RightButton);
  EXPECT_EQ(window.Gauge1->progress(), 10);
  EXPECT_EQ(window.Gauge2->progress(), 10);
  Click("F2");
  EXPECT_EQ(window.Gauge2->progress(), 0);
  EXPECT_EQ(dialogs.Take(),
            std::vector<std::string>{"Congratulation:  * * *  you have WIN  * * * "});
  EXPECT_TRUE(window.state().game_over);
  EXPECT_TRUE(window.Panel1->isVisible());

  // An ended game draws the coordinates but no squares, and ignores the board.
  window.surface->Repaint();
  const QPoint f2 = Centre("F2");
  EXPECT_EQ(Pixel(f2.x(), f2.y()), window.surface->window_color());
  const Board before = window.state().board;
  Click("A7");
  EXPECT_EQ(window.state().board, before);

  window.Nouvelle1Click();
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_EQ(window.Gauge1->progress(), 120);
  EXPECT_EQ(window.Gauge2->progress(), 120);
  EXPECT_EQ(FormatBoardLine(window.state().board), kInitialLine);
}

TEST_F(BoardWindowTest, BlockedPlayerLosesWithTheErrorDialog) {
  window.state().player_capture_score = 0;
  window.state().board = BoardWith({{"A5", kPlayerMan}, {"B4", kComputerMan}});
  CheckPlayerBlocked(window.state(), window);
  EXPECT_EQ(dialogs.Take(),
            std::vector<std::string>{"error-dialog: because all your player is blocked sorry\r YOU "
                                     "ARE LOST"});
  EXPECT_EQ(application.title(), "Sorry ");
  EXPECT_TRUE(window.Panel1->isVisible());
}

// A click on a control is that control's own: no button of it reaches the board, not even in the
// middle of a chain, where a refused click would undo the captures made.
TEST_F(BoardWindowTest, ClicksOnTheControlsStayWithTheControls) {
  Play(BoardWith({{"B6", kPlayerMan}, {"C5", kComputerMan}, {"E3", kComputerMan}}));
  Click("B6");
  Click("D4", Qt::RightButton);
  const Board in_chain = window.state().board;
  const struct {
    QWidget* control;
    QPoint at;
  } controls[] = {{window.BitBtn1, {23, 11}},
                  {window.Chec1, {8, 10}},
                  {window.Chec1, {90, 10}},
                  {window.Gauge1, {20, 5}},
                  {window.Gauge2, {20, 5}}};
  for (const auto& c : controls) {
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
      const bool checked = window.Chec1->isChecked();
      QTest::mouseClick(c.control, button, {}, c.at);
      if (c.control == window.Chec1 && button == Qt::LeftButton) {
        EXPECT_NE(window.Chec1->isChecked(), checked) << "a left click anywhere on it toggles it";
        window.Chec1->setChecked(false);
      }
    }
  }
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{});
  EXPECT_EQ(window.state().board, in_chain);
  EXPECT_EQ(SquareName(window.state().selected_square), "D4");

  // The about panel is hidden by a click on the window itself, not by one on a control.
  window.Aboute1Click();
  QTest::mouseClick(window.Gauge1, Qt::LeftButton, {}, QPoint(20, 5));
  EXPECT_TRUE(window.Panel1->isVisible());
  QTest::mouseClick(window.surface, Qt::LeftButton, {}, QPoint(5, 340));
  EXPECT_FALSE(window.Panel1->isVisible());
}

// What the window uncovers is erased and painted again from the game: after the end of a game the
// board shows its frame and coordinates and no squares, whether the window comes back from the
// taskbar or the about panel is put away.
TEST_F(BoardWindowTest, UncoveredAreasArePaintedFromTheGame) {
  const QPoint c3 = Centre("C3");  // under the about panel
  const auto shows_a_square = [&] {
    QCoreApplication::processEvents();
    return Pixel(c3.x(), c3.y()) != window.surface->window_color();
  };
  window.Aboute1Click();
  ASSERT_TRUE(shows_a_square());
  window.state().game_over = true;  // as the last capture of a game leaves it
  window.showMinimized();
  window.showNormal();
  EXPECT_FALSE(shows_a_square()) << "restored from the taskbar";

  window.state().game_over = false;
  window.surface->Repaint();
  ASSERT_TRUE(shows_a_square());
  window.state().game_over = true;
  window.FormClick();
  EXPECT_FALSE(window.Panel1->isVisible());
  EXPECT_FALSE(shows_a_square()) << "the about panel put away";
}

// A failed open has already reset the game; the window shows the reset position once the box that
// reported the failure is gone.
TEST_F(BoardWindowTest, AFailedOpenShowsTheResetPosition) {
  Click("D6");
  Click("E5");
  const QPoint e5 = Centre("E5");
  ASSERT_EQ(Pixel(e5.x(), e5.y()), window.Imm1.image().pixelColor(16, 16));
  dialogs.Accept(QStringLiteral("/nonexistent/folder/game.KRP"));
  window.open1Click();
  EXPECT_NE(dialogs.Take().back().find("Fichier introuvable"), std::string::npos);
  QCoreApplication::processEvents();
  EXPECT_EQ(Pixel(e5.x(), e5.y()), window.Im0.image().pixelColor(16, 16));
}

// The board window keeps its designed size: it cannot be maximised or resized.
TEST_F(BoardWindowTest, HasAFixedSize) {
  EXPECT_EQ(window.minimumSize(), QSize(370, 375));
  EXPECT_EQ(window.maximumSize(), QSize(370, 375));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

}  // namespace
}  // namespace zelbo
