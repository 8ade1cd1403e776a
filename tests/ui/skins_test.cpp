// SPDX-License-Identifier: GPL-3.0-or-later
// Skins on the offscreen board window: the look a skin's name gives, the pictures each file
// feeds, bad bitmaps, the shape of the skinned window, and the chooser.
#include <gtest/gtest.h>

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QFrame>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "files/fifo.h"
#include "files/temp_folder.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/fake_dialogs.h"
#include "ui/platform/gauge.h"
#include "ui/record_window.h"
#include "ui/skin_picture.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using Shown = std::vector<std::string>;

const QColor kWhite(255, 255, 255);
const QColor kKey(255, 0, 255);  // the see-through colour of the piece and glyph bitmaps
const QColor kGreen(0, 160, 0);
const QColor kRed(200, 0, 0);
const QColor kBlue(0, 0, 200);

QImage Filled(int width, int height, QColor color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

// A piece or glyph: a square of `color` in the middle, on the see-through colour.
QImage Centred(QColor color) {
  QImage image = Filled(35, 35, kKey);
  QPainter(&image).fillRect(10, 10, 15, 15, color);
  return image;
}

QByteArray BmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  image.save(&buffer, "BMP");
  return bytes;
}

uint32_t Word32(const QByteArray& bytes, int at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

void PutInt32(QByteArray& bytes, int at, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

class SkinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(folder / "SKIN");
    window.SetWindows(&editor, nullptr, &help);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    dialogs.Take();  // the editor's word on the missing experience store
  }

  fs::path Skin(const std::string& name) {
    const fs::path path = folder / "SKIN" / name;
    fs::create_directories(path);
    return path;
  }
  static void Put(const fs::path& skin, const char* file, const QImage& image) {
    const QByteArray bytes = BmpBytes(image);
    testing::WriteBytes(skin / file, {bytes.begin(), bytes.end()});
  }

  // The chooser lists the SKIN folder as it is when the chooser is made.
  TForm3& Chooser() {
    if (!chooser) {
      chooser = std::make_unique<TForm3>(application, window);
      window.SetWindows(&editor, chooser.get(), &help);
    }
    return *chooser;
  }

  // A click on an item of the chooser, as the user makes it.
  void ClickSkin(int row) {
    TForm3& skins = Chooser();
    skins.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&skins));
    QListWidgetItem* item = skins.ListBox1->item(row);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(skins.ListBox1->viewport(), Qt::LeftButton, {},
                      skins.ListBox1->visualItemRect(item).center());
  }

  // Lets the window settle: its shape follows the drawing once the event loop runs.
  static void Settle() { QTest::qWait(20); }

  bool Frameless() const { return window.windowFlags().testFlag(Qt::FramelessWindowHint); }
  // Whether each top-level menu is shown, in the menu bar's order.
  std::vector<bool> Menus() const {
    std::vector<bool> shown;
    for (const QAction* menu : window.menuBar()->actions()) shown.push_back(menu->isVisible());
    return shown;
  }
  std::vector<PictureControl*> Buttons() const {
    return {window.BOUVRIR, window.bsauvegarder, window.bskins, window.MINIMISER, window.SORTI};
  }
  // A point of the client area in the window's own coordinates, as its shape has them.
  QPoint OnWindow(int x, int y) const { return window.surface->pos() + QPoint(x, y); }

  testing::TempFolder folder;
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 window{application, std::nullopt, folder.path()};
  TForm2 editor{application, window};
  TForm4 help{application, folder.path()};
  std::unique_ptr<TForm3> chooser;
};

TEST_F(SkinsTest, TheFirstEightLettersOfTheNameChooseTheLook) {
  const struct {
    const char* name;
    bool standard;
  } cases[] = {{"standard", false}, {"Standard", true}, {"Bois", false}, {"Standard2", true}};
  for (const auto& c : cases) {
    Skin(c.name);
    EXPECT_TRUE(window.ApplySkin(c.name)) << c.name;
    Settle();
    EXPECT_TRUE(window.isVisible()) << c.name;
    EXPECT_EQ(Frameless(), !c.standard) << c.name;
    EXPECT_EQ(window.mask().isEmpty(), c.standard) << c.name;
    EXPECT_EQ(Menus(), std::vector<bool>(3, c.standard)) << c.name;
    for (QWidget* control : std::initializer_list<QWidget*>{window.Chec1, window.Gauge1,
                                                            window.Gauge2, window.BitBtn1}) {
      EXPECT_EQ(control->isVisible(), c.standard) << c.name;
    }
    for (PictureControl* button : Buttons()) EXPECT_EQ(button->isVisible(), !c.standard) << c.name;
  }
  EXPECT_EQ(window.SORTI->size(), QSize(32, 32));
  EXPECT_EQ(dialogs.Take(), Shown{});
}

TEST_F(SkinsTest, PiecesAreDrawnOnTheSkinsEmptySquare) {
  const fs::path skin = Skin("Vert");
  Put(skin, "2.bmp", Filled(35, 35, kGreen));
  Put(skin, "4.bmp", Centred(kRed));
  const QImage im3 = window.Im3.image();
  const QImage frame = window.Imcadre.image();
  ASSERT_TRUE(window.ApplySkin("Vert"));

  const QImage empty = Filled(35, 35, kGreen);
  QImage man = empty;
  QPainter(&man).fillRect(10, 10, 15, 15, kRed);
  const struct {
    const char* name;
    const Picture& picture;
    QImage expected;
  } pictures[] = {
      {"Im0", window.Im0, empty},         {"Im1", window.Im1, man},
      {"Imm1", window.Imm1, empty},       {"Imm2", window.Imm2, empty},
      {"Im2", window.Im2, empty},         {"Im3", window.Im3, im3},
      {"Imcadre", window.Imcadre, frame}, {"Imageamie", editor.Imageamie, empty},
  };
  for (const auto& p : pictures) EXPECT_EQ(p.picture.image(), p.expected) << p.name;
  // A1 holds a man of side +1 at the start: the board shows it at once.
  EXPECT_EQ(window.surface->surface().pixelColor(40 + 16, 40 + 16), kRed);
  EXPECT_EQ(window.surface->surface().pixelColor(40 + 2, 40 + 2), kGreen);
}

TEST_F(SkinsTest, ButtonsShowTheirGlyphOnTheFrameTile) {
  const fs::path skin = Skin("Bois");
  Put(skin, "f.bmp", Centred(kRed));
  ASSERT_TRUE(window.ApplySkin("Bois"));
  // Without a frame tile: a white square outlined in black under the glyph.
  QImage expected = Filled(32, 32, kWhite);
  QPainter painter(&expected);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, 31, 31);
  painter.fillRect(10, 10, 15, 15, kRed);
  painter.end();
  EXPECT_EQ(window.SORTI->picture().image(), expected);
  EXPECT_TRUE(window.MINIMISER->picture().isNull()) << "no file: no picture, still a button";

  Put(skin, "c.bmp", Filled(35, 35, kBlue));
  ASSERT_TRUE(window.ApplySkin("Bois"));
  QImage on_tile = Filled(35, 35, kBlue);
  QPainter(&on_tile).fillRect(10, 10, 15, 15, kRed);
  EXPECT_EQ(window.SORTI->picture().image(), on_tile);
  EXPECT_EQ(window.Imcadre.image(), Filled(32, 32, kBlue)) << "cut to a square by the repaint";
}

// The help tells users to name the files "O.bmp" or "C.bmp": they are found all the same.
TEST_F(SkinsTest, FilesAreFoundWhateverTheCaseOfTheirNames) {
  const fs::path skin = Skin("Bois");
  Put(skin, "F.bmp", Centred(kRed));
  Put(skin, "C.BMP", Filled(35, 35, kBlue));
  Put(skin, "2.Bmp", Filled(35, 35, kGreen));
  ASSERT_TRUE(window.ApplySkin("Bois"));
  QImage on_tile = Filled(35, 35, kBlue);
  QPainter(&on_tile).fillRect(10, 10, 15, 15, kRed);
  EXPECT_EQ(window.SORTI->picture().image(), on_tile);
  EXPECT_EQ(window.Im0.image(), Filled(35, 35, kGreen));
  EXPECT_EQ(dialogs.Take(), Shown{});
}

// A pipe in a skin is no bitmap: the skin stops there, as at a bad bitmap, without waiting.
TEST_F(SkinsTest, APipeStopsTheSkinAtOnce) {
  const fs::path skin = Skin("Bois");
  Put(skin, "f.bmp", Centred(kRed));
  ASSERT_TRUE(testing::MakeFifo(skin / "m.bmp"));
  Put(skin, "2.bmp", Filled(35, 35, kGreen));
  const testing::FifoWatchdog watchdog({skin / "m.bmp"});
  const QImage im0 = window.Im0.image();
  EXPECT_FALSE(window.ApplySkin("Bois"));
  const Shown shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].ends_with(": Image bitmap incorrecte")) << shown[0];
  EXPECT_FALSE(window.SORTI->picture().isNull());
  EXPECT_EQ(window.Im0.image(), im0);
  EXPECT_FALSE(watchdog.fired());
}

// A skin's folder name is bytes, text or not: "\xE9" alone is no UTF-8. The chooser shows what
// it can of it and applies the skin by its bytes.
TEST_F(SkinsTest, TheChooserAppliesASkinByTheBytesOfItsName) {
  const fs::path skin = Skin("Bois\xE9");
  Put(skin, "2.bmp", Filled(35, 35, kGreen));
  TForm3& skins = Chooser();
  ASSERT_EQ(skins.ListBox1->count(), 1);
  EXPECT_TRUE(skins.ListBox1->item(0)->text().startsWith("Bois"));
  ClickSkin(0);
  EXPECT_EQ(skins.SelectedSkin(), "Bois\xE9");
  EXPECT_EQ(window.Im0.image(), Filled(35, 35, kGreen));
  EXPECT_TRUE(Frameless());
  EXPECT_EQ(dialogs.Take(), Shown{});
}

TEST_F(SkinsTest, APlainFileChosenAsASkinHasNoPictures) {
  testing::WriteBytes(folder / "SKIN" / "notes.txt", {'h', 'i'});
  TForm3& skins = Chooser();
  ASSERT_EQ(skins.ListBox1->count(), 1);
  const QImage im0 = window.Im0.image();
  ClickSkin(0);
  EXPECT_TRUE(Frameless());
  EXPECT_EQ(window.Im0.image(), im0);
  for (PictureControl* button : Buttons()) {
    EXPECT_TRUE(button->isVisible());
    EXPECT_TRUE(button->picture().isNull());
  }
  EXPECT_EQ(dialogs.Take(), Shown{});
}

TEST_F(SkinsTest, ABadBitmapStopsTheSkinAtThatFile) {
  const struct {
    const char* name;
    QByteArray bytes;
  } bad[] = {
      {"text", "not a bitmap"},
      {"too wide", BmpBytes(Filled(1025, 1, kBlue))},
  };
  for (const auto& b : bad) {
    const fs::path skin = Skin(b.name);
    Put(skin, "f.bmp", Centred(kRed));
    testing::WriteBytes(skin / "m.bmp", {b.bytes.begin(), b.bytes.end()});
    Put(skin, "s.bmp", Centred(kBlue));
    Put(skin, "2.bmp", Filled(35, 35, kGreen));
    window.bskins->hide();
    const QImage im0 = window.Im0.image();
    window.SORTI->picture().SetImage(QImage());

    EXPECT_FALSE(window.ApplySkin(b.name)) << b.name;
    const Shown shown = dialogs.Take();
    ASSERT_EQ(shown.size(), 1u) << b.name;
    EXPECT_TRUE(shown[0].ends_with(": Image bitmap incorrecte")) << shown[0];
    // Before m.bmp: the look and the close button; m.bmp's button shown; after it, nothing.
    EXPECT_TRUE(Frameless()) << b.name;
    EXPECT_FALSE(window.SORTI->picture().isNull()) << b.name;
    EXPECT_TRUE(window.MINIMISER->isVisible()) << b.name;
    EXPECT_FALSE(window.bskins->isVisible()) << b.name;
    EXPECT_EQ(window.Im0.image(), im0) << b.name;
  }
}

TEST_F(SkinsTest, TheLoaderReadsOnlyBitmapsOfAtMost1024Pixels) {
  QByteArray top_down = BmpBytes(Filled(35, 34, kBlue));
  PutInt32(top_down, 22, -34);  // the header's height
  QByteArray huge = BmpBytes(Filled(2, 2, kBlue));
  PutInt32(huge, 18, 100000);  // the header's width, with the pixels of a small one
  QByteArray pixels_past_end = BmpBytes(Filled(35, 35, kBlue));
  PutInt32(pixels_past_end, 10, 0x36000000);  // where the pixels start, far beyond the file
  QByteArray unknown_header = BmpBytes(Filled(35, 35, kBlue));
  PutInt32(unknown_header, 14, 41);             // the info header's size
  PutInt32(unknown_header, 18, 512 | 9 << 16);  // read as the oldest header: 512 x 9,
  PutInt32(unknown_header, 22, 1 | 24 << 16);   // one plane, 24 bits a pixel
  // Rows the reader looks for after the headers and palette, whatever the offset says.
  QByteArray pixels_in_headers = BmpBytes(Filled(35, 35, kBlue)).chopped(32);
  PutInt32(pixels_in_headers, 10, 22);
  QByteArray pixels_in_palette =
      BmpBytes(Filled(35, 35, kBlue).convertToFormat(QImage::Format_Indexed8));
  const int palette_end = 14 + 40 + 4;  // saved with 4 bits a pixel and its one colour
  ASSERT_EQ(pixels_in_palette[10], palette_end);
  PutInt32(pixels_in_palette, 10, palette_end - 2);
  pixels_in_palette.chop(2);
  QByteArray png;
  QBuffer png_buffer(&png);
  Filled(35, 35, kBlue).save(&png_buffer, "PNG");
  const struct {
    const char* name;
    QByteArray bytes;
    QSize size;  // empty: refused
  } cases[] = {
      {"35 x 35", BmpBytes(Filled(35, 35, kBlue)), {35, 35}},
      {"1024 x 1024", BmpBytes(Filled(1024, 1024, kBlue)), {1024, 1024}},
      {"top-down rows", top_down, {35, 34}},
      {"1025 wide", BmpBytes(Filled(1025, 3, kBlue)), {}},
      {"1025 high", BmpBytes(Filled(3, 1025, kBlue)), {}},
      {"huge header", huge, {}},
      {"pixels past the end", pixels_past_end, {}},
      {"cut short", BmpBytes(Filled(35, 35, kBlue)).left(83), {}},
      {"top-down rows cut short", top_down.left(172), {}},
      {"info header of no known size", unknown_header, {}},
      {"pixels said to start in the headers", pixels_in_headers, {}},
      {"pixels said to start in the palette", pixels_in_palette, {}},
      {"PNG named .bmp", png, {}},
      {"empty", {}, {}},
  };
  for (const auto& c : cases) {
    QByteArray bytes = c.bytes;
    QBuffer buffer(&bytes);
    const QImage image = ReadSkinBitmap(buffer);
    EXPECT_EQ(image.size(), c.size.isEmpty() ? QSize(0, 0) : c.size) << c.name;
  }
}

TEST_F(SkinsTest, RunLengthRowsMustEndWithTheirMarkAndWhatTheySkipIsTheFirstColour) {
  // An 8 x 8 bitmap of 8 bits a pixel: three pixels of colour 5, a skip of two across and three
  // up, two of colour 7, then the end, with every other pixel left out.
  QByteArray bytes = BmpBytes(Filled(8, 8, kBlue).convertToFormat(QImage::Format_Indexed8));
  const QByteArray palette(256 * 4, '\x20');
  bytes = bytes.left(54) + palette + QByteArray("\x03\x05\x00\x02\x02\x03\x02\x07\x00\x01", 10);
  PutInt32(bytes, 2, static_cast<int32_t>(bytes.size()));
  PutInt32(bytes, 10, 54 + 256 * 4);
  PutInt32(bytes, 28, 8);  // bits a pixel, with the two bytes after them
  PutInt32(bytes, 30, 1);  // run-length, 8 bits
  PutInt32(bytes, 46, 0);  // every colour of the palette
  QBuffer buffer(&bytes);
  const QImage image = ReadSkinBitmap(buffer);
  ASSERT_EQ(image.size(), QSize(8, 8));
  EXPECT_EQ(image.pixelIndex(0, 7), 5);  // rows are stored bottom-up
  EXPECT_EQ(image.pixelIndex(5, 4), 7);
  EXPECT_EQ(image.pixelIndex(3, 7), 0);
  EXPECT_EQ(image.pixelIndex(7, 0), 0);

  for (const int cut : {2, 3}) {  // without the end mark, or cut inside the last run
    QByteArray cut_short = bytes.chopped(cut);
    QBuffer cut_buffer(&cut_short);
    EXPECT_TRUE(ReadSkinBitmap(cut_buffer).isNull()) << cut;
  }
}

TEST_F(SkinsTest, PixelsNamingNoColourOfAShortPaletteAreBlack) {
  // 8 bits a pixel with a palette of 17 grey colours, and a pixel of colour 200.
  QImage picture(4, 1, QImage::Format_Indexed8);
  for (int i = 0; i < 17; ++i) picture.setColor(i, qRgb(i, i, i));
  picture.fill(16);
  QByteArray bytes = BmpBytes(picture);
  ASSERT_EQ(Word32(bytes, 28) & 0xFFFF, 8u);          // bits a pixel
  ASSERT_EQ(Word32(bytes, 46), 17u);                  // the colours the palette holds
  bytes[Word32(bytes, 10)] = static_cast<char>(200);  // the first pixel
  QBuffer buffer(&bytes);
  const QImage image = ReadSkinBitmap(buffer);
  ASSERT_EQ(image.size(), QSize(4, 1));
  QImage drawn(4, 1, QImage::Format_ARGB32);
  drawn.fill(Qt::white);
  QPainter(&drawn).drawImage(0, 0, image);
  EXPECT_EQ(drawn.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(drawn.pixel(1, 0), qRgb(16, 16, 16));
}

TEST_F(SkinsTest, TheSkinnedWindowIsShapedByWhatItDraws) {
  const fs::path skin = Skin("Bois");
  QImage empty = Filled(35, 35, kGreen);
  empty.setPixelColor(5, 5, kWhite);
  Put(skin, "2.bmp", empty);
  QImage tile = Filled(35, 35, kBlue);
  tile.setPixelColor(0, 31, kWhite);  // see-through, once the tile is cut to a square
  Put(skin, "c.bmp", tile);
  ASSERT_TRUE(window.ApplySkin("Bois"));
  Settle();
  const QRegion shape = window.mask();
  EXPECT_TRUE(shape.contains(OnWindow(40 + 16, 168 + 16))) << "an empty square";
  EXPECT_TRUE(shape.contains(OnWindow(40 + 16, 40 + 16))) << "a man";
  EXPECT_TRUE(shape.contains(OnWindow(20, 200))) << "the frame";
  EXPECT_FALSE(shape.contains(OnWindow(40 + 5, 168 + 5))) << "a white pixel of a square";
  EXPECT_FALSE(shape.contains(OnWindow(350, 200))) << "beside the frame";
  EXPECT_FALSE(shape.contains(OnWindow(200, 350))) << "under the frame";

  // An ended game draws no squares; the about panel then shows over the white board.
  window.state().game_over = true;
  window.surface->Repaint();
  Settle();
  const QRect under_panel(OnWindow(60, 200), QSize(200, 80));
  EXPECT_TRUE(window.mask().intersected(under_panel).isEmpty());
  window.SetPanelVisible(true);
  Settle();
  EXPECT_FALSE(window.mask().intersected(under_panel).isEmpty());

  Skin("Standard");
  ASSERT_TRUE(window.ApplySkin("Standard"));
  Settle();
  EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(SkinsTest, TheSaveButtonAppliesTheSelectedSkinAgain) {
  const fs::path skin = Skin("Bois");
  Put(skin, "2.bmp", Filled(35, 35, kGreen));
  ClickSkin(0);
  ASSERT_EQ(window.Im0.image(), Filled(35, 35, kGreen));
  Put(skin, "2.bmp", Filled(35, 35, kBlue));
  QTest::mouseClick(window.bsauvegarder, Qt::LeftButton, {}, QPoint(16, 16));
  EXPECT_EQ(dialogs.Take(), Shown{"save ZELBO FILE (*.KRP *.krp)"}) << "cancelled";
  EXPECT_EQ(window.Im0.image(), Filled(35, 35, kBlue));
  EXPECT_TRUE(Frameless());
}

TEST_F(SkinsTest, TheHiddenMenusKeepTheirShortcuts) {
  TForm3& skins = Chooser();
  Skin("Bois");
  ASSERT_TRUE(window.ApplySkin("Bois"));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(skins.isVisible());
  // The commands added beside the designed ones are reached by their keys too.
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
  ASSERT_NE(window.record_window(), nullptr);
  EXPECT_TRUE(window.record_window()->isVisible());
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(dialogs.Take().back().rfind("question Abandonner", 0), 0u);
}

TEST_F(SkinsTest, TheChooserAnswersF1WithTheHelpOnSkins) {
  TForm3& skins = Chooser();
  skins.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&skins));
  EXPECT_EQ(skins.windowTitle(), "SKIN");
  QTest::keyClick(skins.ListBox1, Qt::Key_F2);
  EXPECT_EQ(dialogs.Take(), Shown{});
  QTest::keyClick(skins.ListBox1, Qt::Key_F1);
  const Shown shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  help.ShowHelpTopic(4);
  EXPECT_EQ(dialogs.Take(), shown);
}

// The chooser's click comes on every click, also on the skin already chosen, so a mended bitmap is
// read again; a skin reached with the arrow keys is applied too.
TEST_F(SkinsTest, EveryClickOnASkinAppliesIt) {
  const fs::path first = Skin("Bois");
  const fs::path second = Skin("Marbre");
  Put(first, "2.bmp", Filled(35, 35, kGreen));
  Put(second, "2.bmp", Filled(35, 35, kRed));
  ClickSkin(0);
  ASSERT_EQ(window.Im0.image(), Filled(35, 35, kGreen));
  Put(first, "2.bmp", Filled(35, 35, kBlue));
  ClickSkin(0);
  EXPECT_EQ(window.Im0.image(), Filled(35, 35, kBlue)) << "the same skin clicked again";
  QTest::keyClick(Chooser().ListBox1, Qt::Key_Down);
  EXPECT_EQ(window.Im0.image(), Filled(35, 35, kRed)) << "the next skin, reached with a key";
}

// A skin other than the standard look shows the board window anew, over the chooser: the chooser
// comes in front of it whenever it is asked for again.
TEST_F(SkinsTest, TheChooserAskedForAgainComesInFront) {
  Skin("Bois");
  ClickSkin(0);
  ASSERT_TRUE(Frameless());
  const struct {
    const char* how;
    std::function<void()> ask;
  } cases[] = {
      {"Ctrl+S", [&] { QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); }},
      {"a double click on the skin button",
       [&] { QTest::mouseDClick(window.bskins, Qt::LeftButton, {}, QPoint(16, 16)); }},
      {"Outils > skin", [&] { window.skin1->trigger(); }},
  };
  for (const auto& c : cases) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << c.how;
    c.ask();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Chooser())) << c.how;
  }
}

// The skinned look's minimise button takes the whole program to the taskbar, and its windows come
// back with the board window.
TEST_F(SkinsTest, TheMinimiseButtonMinimisesEveryWindow) {
  Skin("Bois");
  ClickSkin(0);
  ASSERT_TRUE(Frameless());
  editor.show();
  help.show();
  const std::vector<QWidget*> others = {&editor, &help, &Chooser()};
  QTest::mouseClick(window.MINIMISER, Qt::LeftButton, {}, QPoint(16, 16));
  EXPECT_TRUE(window.isMinimized());
  for (QWidget* other : others)
    EXPECT_TRUE(other->isMinimized()) << other->windowTitle().toStdString();
  window.showNormal();
  for (QWidget* other : others) {
    EXPECT_FALSE(other->isMinimized()) << other->windowTitle().toStdString();
    EXPECT_TRUE(other->isVisible());
  }
  ASSERT_TRUE(window.ApplySkin("Bois"));
  EXPECT_FALSE(window.isMinimized()) << "a skin applied after the restore";
}

}  // namespace
}  // namespace zelbo
