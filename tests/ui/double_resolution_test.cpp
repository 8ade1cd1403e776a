// SPDX-License-Identifier: GPL-3.0-or-later
// The board window on a screen of device pixel ratio 2 (this program's main gives the offscreen
// platform two screens, one of ratio 2 and one of ratio 1): the canvas holds the screen's own
// pixels, the built-in pictures are the ones drawn twice as fine, texts and outlines are as fine as
// the screen, a skin's bitmaps are enlarged pixel by pixel, clicks land on the designed squares,
// and a move to the other screen makes the canvas anew for it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <functional>
#include <utility>

#include "files/temp_folder.h"
#include "game/notation.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

constexpr int kRatio = 2;
const QColor kYellow(255, 255, 0);

// The screen's pixels under a box of logical pixels.
QRect OnScreen(const QRect& logical) {
  return {logical.topLeft() * kRatio, logical.size() * kRatio};
}

// The square's own 32 x 32 logical pixels, which no neighbour overlaps.
QRect SquareBox(const char* square) {
  const SquareRef s = testing::Sq(square);
  return {40 + (Column(s) - 1) * 32, 40 + (Row(s) - 1) * 32, 32, 32};
}

// A picture enlarged pixel by pixel to the screen.
QImage Enlarged(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32)
      .scaled(image.size() * kRatio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Whether some logical pixel of `box` shows more than one colour on the screen: the drawing is
// finer than a logical pixel.
bool FinerThanALogicalPixel(const QImage& surface, const QRect& box) {
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      const QRgb first = surface.pixel(x * kRatio, y * kRatio);
      for (int dy = 0; dy < kRatio; ++dy) {
        for (int dx = 0; dx < kRatio; ++dx) {
          if (surface.pixel(x * kRatio + dx, y * kRatio + dy) != first) return true;
        }
      }
    }
  }
  return false;
}

QScreen* ScreenNamed(const char* name) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == QLatin1String(name)) return screen;
  }
  return nullptr;
}

class DoubleResolutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(MoveTo("fine"));
    window.surface->Repaint();
    window.Chec1->setChecked(false);
  }

  // Moves the window to a screen and lets it repaint there; false when the canvas was not made for
  // that screen's ratio.
  bool MoveTo(const char* name) {
    QScreen* screen = ScreenNamed(name);
    if (screen == nullptr) return false;
    window.windowHandle()->setScreen(screen);
    window.move(screen->geometry().topLeft() + QPoint(20, 20));
    window.surface->update();
    return QTest::qWaitFor(
        [&] { return window.surface->surface().devicePixelRatio() == screen->devicePixelRatio(); });
  }

  const QImage& Surface() const { return window.surface->surface(); }
  QColor Pixel(int x, int y) const { return Surface().pixelColor(x, y); }

  void ClickAt(QPoint logical) { QTest::mouseClick(window.surface, Qt::LeftButton, {}, logical); }

  testing::TempFolder folder;
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 window{application, std::nullopt, folder.path()};
};

TEST_F(DoubleResolutionTest, TheCanvasHoldsTheScreensPixels) {
  EXPECT_EQ(window.size(), QSize(370, 375));
  EXPECT_EQ(Surface().size(), window.surface->size() * kRatio);
  EXPECT_EQ(Surface().devicePixelRatio(), kRatio);
}

// Each built-in picture keeps its designed size in logical pixels and is the drawing made twice as
// fine, not the designed one enlarged; a square of the board shows its picture pixel for pixel.
TEST_F(DoubleResolutionTest, BuiltInPicturesAreTheOnesDrawnTwiceAsFine) {
  TForm2 editor(application, window);
  dialogs.Take();  // the editor's word on the missing experience store
  const struct {
    const char* name;
    const Picture& picture;
    QSize size;
    const char* square;  // where the opening position shows it, if it does
  } pictures[] = {
      {"Im1", window.Im1, {35, 34}, "A1"},
      {"Imm1", window.Imm1, {35, 34}, "H8"},
      {"Im3", window.Im3, {33, 33}, "B1"},
      {"Im0", window.Im0, {35, 34}, "A5"},
      {"Im2", window.Im2, {35, 34}, nullptr},
      {"Imm2", window.Imm2, {35, 34}, nullptr},
      {"exclama", editor.exclama, {35, 34}, nullptr},
      {"omage_enmi", editor.omage_enmi, {35, 34}, nullptr},
      {"Imageamie", editor.Imageamie, {35, 34}, nullptr},
      {"Image1", window.Image1->picture(), {225, 261}, nullptr},
  };
  for (const auto& p : pictures) {
    EXPECT_EQ(p.picture.size(), p.size) << p.name;
    ASSERT_EQ(p.picture.image().size(), p.size * kRatio) << p.name;
    const QImage designed(QStringLiteral(":/pictures/%1.bmp").arg(QLatin1String(p.name)));
    EXPECT_EQ(designed.size(), p.size) << p.name;
    EXPECT_NE(p.picture.image(), Enlarged(designed)) << p.name;
    if (p.square == nullptr) continue;
    const QRect box = OnScreen(SquareBox(p.square));
    EXPECT_EQ(Surface().copy(box), p.picture.image().copy(0, 0, box.width(), box.height()))
        << p.square;
  }
  EXPECT_EQ(window.title_string, "Zelbo, le jeu de dames") << "read from the designed picture";
}

// The letters and numbers around the board are written at the screen's resolution: some of their
// logical pixels are partly ink, which a text written at ratio 1 and enlarged never has.
TEST_F(DoubleResolutionTest, CoordinatesAreWrittenAtTheScreensResolution) {
  const Canvas& canvas = window.surface->canvas();
  const QColor background = window.surface->window_color();
  for (int n = 1; n <= 8; ++n) {
    const int along = 40 + (n - 1) * 32 + 20;
    const QString letter(QChar('A' + n - 1));
    const QString number = QString::number(n);
    for (const QRect& box :
         {canvas.TextBox(along, 20, letter), canvas.TextBox(20, along, number)}) {
      const QRect screen = OnScreen(box);
      bool inked = false;
      for (int y = screen.top(); y <= screen.bottom(); ++y) {
        for (int x = screen.left(); x <= screen.right(); ++x) inked |= Pixel(x, y) != background;
      }
      EXPECT_TRUE(inked) << n;
      EXPECT_TRUE(FinerThanALogicalPixel(Surface(), box)) << n;
    }
  }
}

// Clicks are in logical pixels: the last pixel of D6 selects it and the first of E5 moves there.
// The ring on the selection is one logical pixel wide, inside the square.
TEST_F(DoubleResolutionTest, ClicksLandOnTheDesignedSquaresAndTheRingIsOneLogicalPixel) {
  const QRect d6 = SquareBox("D6");
  ClickAt(d6.bottomRight());
  ASSERT_EQ(SquareName(window.state().selected_square), "D6");
  const int middle_x = (d6.left() + 16) * kRatio;
  const int middle_y = (d6.top() + 16) * kRatio;
  const struct {
    QPoint at;  // a pixel of the screen
    bool ring;
  } pixels[] = {
      {{middle_x, d6.top() * kRatio - 1}, false},     // the square above
      {{middle_x, d6.top() * kRatio}, true},          // the ring's top, two pixels thick
      {{middle_x, d6.top() * kRatio + 1}, true},      //
      {{middle_x, d6.top() * kRatio + 2}, false},     // inside the ring
      {{d6.left() * kRatio, middle_y}, true},         // its left side
      {{d6.left() * kRatio + 1, middle_y}, true},     //
      {{d6.left() * kRatio + 2, middle_y}, false},    //
      {{d6.right() * kRatio + 1, middle_y}, true},    // its right side, the square's last pixels
      {{d6.right() * kRatio, middle_y}, true},        //
      {{d6.right() * kRatio - 1, middle_y}, false},   //
      {{middle_x, d6.bottom() * kRatio + 1}, true},   // its bottom
      {{middle_x, d6.bottom() * kRatio + 2}, false},  // the square below
  };
  for (const auto& p : pixels) {
    EXPECT_EQ(Pixel(p.at.x(), p.at.y()) == kYellow, p.ring) << p.at.x() << ", " << p.at.y();
  }
  ClickAt(SquareBox("E5").topLeft());
  EXPECT_EQ(ReadCell(window.state().board, testing::Sq("E5")), kPlayerMan);
  EXPECT_EQ(ReadCell(window.state().board, testing::Sq("D6")), kEmpty);
}

// The last move's mark is a frame one logical pixel wide, two pixels in from the square's sides,
// laid on whole screen pixels.
TEST_F(DoubleResolutionTest, TheLastMoveIsFramedOneLogicalPixelWide) {
  const QColor mark(255, 64, 192);
  ClickAt(SquareBox("D6").center());
  ClickAt(SquareBox("E5").center());
  for (const char* square : {"D6", "E5"}) {
    const QRect box = SquareBox(square);
    const int middle_x = (box.left() + 16) * kRatio;
    const int top = (box.top() + 2) * kRatio;
    const int right = (box.right() - 2) * kRatio + 1;  // the frame's last screen pixel
    const struct {
      QPoint at;
      bool framed;
    } pixels[] = {
        {{middle_x, top - 1}, false},   {{middle_x, top}, true},
        {{middle_x, top + 1}, true},    {{middle_x, top + 2}, false},
        {{right, top + 20}, true},      {{right - 1, top + 20}, true},
        {{right + 1, top + 20}, false}, {{right - 2, top + 20}, false},
    };
    for (const auto& p : pixels) {
      EXPECT_EQ(Pixel(p.at.x(), p.at.y()) == mark, p.framed)
          << square << " " << p.at.x() << ", " << p.at.y();
    }
  }
}

// A skin's bitmaps are read as they are and shown enlarged pixel by pixel; the skinned window's
// shape leaves out a logical pixel only where all its screen pixels are white.
TEST_F(DoubleResolutionTest, SkinBitmapsAreEnlargedPixelByPixel) {
  QImage empty(35, 35, QImage::Format_RGB32);
  for (int y = 0; y < 35; ++y) {
    for (int x = 0; x < 35; ++x)
      empty.setPixel(x, y, qRgb(20 + 6 * x, 40 + 5 * y, (x + y) % 2 * 90));
  }
  empty.setPixel(5, 5, qRgb(255, 255, 255));
  QImage tile(35, 35, QImage::Format_RGB32);
  tile.fill(QColor(0, 0, 200));
  const fs::path skin = folder.path() / "SKIN" / "Bois";
  fs::create_directories(skin);
  for (const auto& [file, image] : {std::pair{"2.bmp", empty}, std::pair{"c.bmp", tile}}) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "BMP");
    testing::WriteBytes(skin / file, {bytes.begin(), bytes.end()});
  }
  ASSERT_TRUE(window.ApplySkin("Bois"));
  QTest::qWait(20);  // the shape follows the drawing once the event loop runs

  EXPECT_EQ(window.Im0.size(), QSize(35, 35));
  EXPECT_EQ(window.Im0.image().size(), QSize(35, 35));
  const QRect a5 = OnScreen(SquareBox("A5"));
  EXPECT_EQ(Surface().copy(a5), Enlarged(empty).copy(0, 0, a5.width(), a5.height()));

  const QPoint client = window.surface->pos();
  const QRect a5_logical = SquareBox("A5");
  EXPECT_TRUE(window.mask().contains(client + a5_logical.topLeft() + QPoint(6, 5)));
  EXPECT_FALSE(window.mask().contains(client + a5_logical.topLeft() + QPoint(5, 5)))
      << "the skin's white pixel";
  EXPECT_FALSE(window.mask().contains(client + QPoint(350, 200))) << "beside the frame";
}

// On a screen of ratio 1 the canvas has the client area's own pixels again, the finer pictures are
// drawn smoothed down to their size (a pixel of the square is the mean of the four it stands for),
// and rings are one pixel wide; back on the finer screen the canvas is fine again.
TEST_F(DoubleResolutionTest, AMoveToAScreenOfAnotherRatioMakesTheCanvasAnew) {
  ASSERT_TRUE(MoveTo("coarse"));
  EXPECT_EQ(Surface().size(), window.surface->size());
  const QImage& fine = window.Im1.image();
  for (const QPoint at : {QPoint(16, 16), QPoint(9, 20), QPoint(24, 7)}) {
    const QPoint a1 = SquareBox("A1").topLeft() + at;
    int mean[3] = {0, 0, 0};
    for (int dy = 0; dy < kRatio; ++dy) {
      for (int dx = 0; dx < kRatio; ++dx) {
        const QColor c = fine.pixelColor(at.x() * kRatio + dx, at.y() * kRatio + dy);
        mean[0] += c.red();
        mean[1] += c.green();
        mean[2] += c.blue();
      }
    }
    const QColor shown = Pixel(a1.x(), a1.y());
    EXPECT_NEAR(shown.red(), mean[0] / 4.0, 2) << at.x() << ", " << at.y();
    EXPECT_NEAR(shown.green(), mean[1] / 4.0, 2) << at.x() << ", " << at.y();
    EXPECT_NEAR(shown.blue(), mean[2] / 4.0, 2) << at.x() << ", " << at.y();
  }
  const QRect d6 = SquareBox("D6");
  ClickAt(d6.center());
  EXPECT_EQ(Pixel(d6.left() + 16, d6.top()), kYellow);
  EXPECT_NE(Pixel(d6.left() + 16, d6.top() + 1), kYellow);

  ASSERT_TRUE(MoveTo("fine"));
  EXPECT_EQ(Surface().size(), window.surface->size() * kRatio);
  const QRect a1 = OnScreen(SquareBox("A1"));
  EXPECT_EQ(Surface().copy(a1), fine.copy(0, 0, a1.width(), a1.height()));
}

// The canvas's own conventions on a surface of ratio 2: a shape from (x1, y1) to (x2, y2) covers
// the screen pixels of logical x1..x2-1 and y1..y2-1, with an outline of one logical pixel.
TEST(DoubleResolutionCanvas, ShapesCoverTheirLogicalPixelsWithOneLogicalPixelOfPen) {
  const QRgb ink = qRgb(0, 0, 0);
  const QRgb paper = qRgb(255, 255, 255);
  const struct {
    const char* name;
    std::function<void(Canvas&)> draw;
    QRect covered;  // logical
    bool hollow;    // the middle stays paper
  } shapes[] = {
      {"rectangle", [](Canvas& c) { c.Rectangle(2, 3, 9, 8); }, {2, 3, 7, 5}, true},
      {"ellipse", [](Canvas& c) { c.Ellipse(2, 3, 12, 13); }, {2, 3, 10, 10}, true},
      {"line", [](Canvas& c) { c.Line(2, 4, 8, 4); }, {2, 4, 7, 1}, false},
      {"filled box",
       [](Canvas& c) {
         c.FillRect({3, 2, 4, 5});
       },
       {3, 2, 4, 5},
       false},
  };
  for (const auto& shape : shapes) {
    QImage surface(QSize(16, 16) * kRatio, QImage::Format_RGB32);
    surface.setDevicePixelRatio(kRatio);
    surface.fill(paper);
    Canvas canvas(&surface);
    canvas.pen_color = canvas.brush_color = Qt::black;
    canvas.brush_style = BrushStyle::kClear;
    shape.draw(canvas);
    QRect drawn;
    for (int y = 0; y < surface.height(); ++y) {
      for (int x = 0; x < surface.width(); ++x) {
        if (surface.pixel(x, y) == ink) drawn |= QRect(x, y, 1, 1);
      }
    }
    const QRect screen = OnScreen(shape.covered);
    EXPECT_EQ(drawn, screen) << shape.name;
    // The pen is two screen pixels wide along the middle of the top side.
    const int middle = screen.center().x();
    EXPECT_EQ(surface.pixel(middle, screen.top()), ink) << shape.name;
    EXPECT_EQ(surface.pixel(middle, screen.top() + 1), ink) << shape.name;
    if (shape.hollow) {
      EXPECT_EQ(surface.pixel(middle, screen.top() + 2), paper) << shape.name;
    }
  }
}

}  // namespace
}  // namespace zelbo

// The offscreen platform with a screen of ratio 2 and one of ratio 1 beside it.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" ZELBO_TWO_SCREENS);
  qunsetenv("QT_SCALE_FACTOR");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
