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
  EXPECT_FALSE(window.Level1->isEnabled());
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

}  // namespace
}  // namespace zelbo
