// SPDX-License-Identifier: GPL-3.0-or-later
// The experience editor on the offscreen platform: the pop-up menu over the squares of the board,
// choosing a move with "From" and "TO" and its marks, paging, adding and deleting with the store's
// file after each change, and F1.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <optional>

#include "experience/experience_file.h"
#include "files/temp_folder.h"
#include "game/notation.h"
#include "support/positions.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

using testing::BoardWith;
using testing::Sq;
using Shown = std::vector<std::string>;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan;

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    board_window.Timer1->stop();  // the caption's animation would change the title
    application.SetTitle("Zelbo");
  }

  // The editor as the program creates it over a store of records told apart by their code on A5
  // (none: no file), then shown.
  void Open(std::optional<std::vector<CellCode>> store) {
    if (store) {
      std::vector<ExperienceRecord> records;
      for (CellCode a5 : *store) records.push_back({BoardWith({{"A5", a5}}), 0, 0, 0});
      WriteExperienceFile(folder / "braskel.exp", records);
    }
    editor = std::make_unique<TForm2>(application, board_window);
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
  }

  static QPoint Centre(const char* square) {
    const SquareRef s = Sq(square);
    return {40 + (Column(s) - 1) * 32 + 16, 40 + (Row(s) - 1) * 32 + 16};
  }

  // The mouse moves to `point` and the right button opens the menu there.
  void RightClick(QPoint point) {
    QTest::mouseMove(editor->surface, point);
    QTest::mouseClick(editor->surface, Qt::RightButton, {}, point);
  }

  // Opens the menu over a square, takes the item when it is offered, and closes the menu.
  void Choose(const char* square, QAction* TForm2::*item) {
    RightClick(Centre(square));
    QAction* action = editor.get()->*item;
    if (editor->PopupMenu1->isVisible() && action->isVisible() && action->isEnabled()) {
      action->trigger();
    }
    editor->PopupMenu1->hide();
  }

  void Click(QToolButton* TForm2::*button) {
    QTest::mouseClick(editor.get()->*button, Qt::LeftButton);
  }

  ExperienceRecord& record() { return board_window.state().edit_record; }
  QColor Pixel(QPoint at) const { return editor->surface->surface().pixelColor(at); }
  std::string Caption() const { return editor->windowTitle().toStdString(); }

  testing::TempFolder folder;
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 board_window{application, std::nullopt, folder.path()};
  std::unique_ptr<TForm2> editor;
};

TEST_F(EditorTest, OffersTheMenuItemsOnlyOverPlayableSquares) {
  Open(std::vector<CellCode>{});
  EXPECT_EQ(FormatBoardLine(record().pattern), testing::kInitialLine);
  const struct {
    const char* name;
    QPoint point;
    bool shown, from_enabled, to_enabled;
  } cases[] = {
      {"outside the board", {10, 10}, false, false, false},
      {"on the right edge line", {296, 100}, false, false, false},
      {"an unusable square", Centre("B1"), false, false, false},
      {"an empty square, no From yet", Centre("A5"), true, false, false},
      {"a man +1, on the last pixel of H2", {295, 103}, true, true, false},
      {"a man -1", Centre("B6"), true, false, false},
  };
  for (const auto& test : cases) {
    RightClick(test.point);
    EXPECT_EQ(editor->PopupMenu1->isVisible(), test.shown) << test.name;
    if (test.shown) {
      EXPECT_EQ(editor->from1->isEnabled(), test.from_enabled) << test.name;
      EXPECT_EQ(editor->to1->isEnabled(), test.to_enabled) << test.name;
    }
    editor->PopupMenu1->hide();
  }
  Choose("C3", &TForm2::from1);
  RightClick(Centre("D4"));
  EXPECT_TRUE(editor->to1->isEnabled());
  editor->PopupMenu1->hide();
}

TEST_F(EditorTest, ChecksTheMoveChosenWithFromAndTo) {
  Open(std::vector<CellCode>{});
  const struct {
    const char* name;
    Board pattern;
    const char* from;
    const char* to;
    const char* captured;  // "" when the move is refused
  } cases[] = {
      {"a man steps forward", BoardWith({{"C3", c}}), "C3", "D4", "-"},
      {"a man steps back", BoardWith({{"C3", c}}), "C3", "B2", ""},
      {"a man jumps any piece -1", BoardWith({{"C3", c}, {"D4", -4}}), "C3", "E5", "D4"},
      {"a man cannot jump not important", BoardWith({{"C3", c}, {"D4", -3}}), "C3", "E5", ""},
      {"any piece +1 jumps a man", BoardWith({{"C3", 4}, {"D4", p}}), "C3", "E5", "D4"},
      {"a king over one man", BoardWith({{"A1", C}, {"C3", p}}), "A1", "H8", "C3"},
      {"a king over two men in a row", BoardWith({{"A1", C}, {"C3", p}, {"D4", p}}), "A1", "H8",
       ""},
      {"a king over its own man", BoardWith({{"A1", C}, {"C3", p}, {"E5", c}}), "A1", "H8", ""},
  };
  for (const auto& test : cases) {
    record() = {test.pattern, 0, 0, 0};
    Choose(test.from, &TForm2::from1);
    Choose(test.to, &TForm2::to1);
    const bool legal = std::string(test.captured) != "";
    EXPECT_EQ(dialogs.Take(), legal ? Shown{} : Shown{"Zelbo: ERROR MOVEMENT "}) << test.name;
    EXPECT_EQ(SquareName(record().from), test.from) << test.name;
    EXPECT_EQ(SquareName(record().to), legal ? test.to : "-") << test.name;
    EXPECT_EQ(SquareName(record().captured), legal ? test.captured : "-") << test.name;
  }
}

TEST_F(EditorTest, DrawsTheCodesAndMarksTheMove) {
  Open(std::vector<CellCode>{});
  record() = {BoardWith({{"C3", c}}), 0, 0, 0};
  Choose("D4", &TForm2::enmie2);
  Choose("A5", &TForm2::pasimport);
  Choose("E3", &TForm2::amie2);
  Choose("C3", &TForm2::from1);
  Choose("E5", &TForm2::to1);
  EXPECT_EQ(FormatBoardLine(record().pattern).substr(18, 26), ".xcx+x.x/x.x-x.x./?x.x.x.x");
  for (const auto& [square, picture] : {std::pair{"D4", &editor->omage_enmi},
                                        {"A5", &editor->exclama},
                                        {"E3", &editor->Imageamie}}) {
    const QPoint off_the_marks = Centre(square) + QPoint(-6, 4);
    EXPECT_EQ(Pixel(off_the_marks), picture->image().pixelColor(10, 20)) << square;
  }
  // Rings pass through the middle of their squares' top edges; the blue line runs between the
  // centres, through the crossing of the white cross on D4.
  const QPoint c3 = Centre("C3"), e5 = Centre("E5"), d4 = Centre("D4");
  EXPECT_EQ(Pixel(c3 - QPoint(0, 16)), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(e5 - QPoint(0, 16)), QColor(255, 255, 0));
  EXPECT_EQ(Pixel(c3 + QPoint(8, 8)), QColor(0, 0, 255));
  EXPECT_EQ(Pixel(d4 + QPoint(-8, 8)), QColor(255, 255, 255));
  EXPECT_EQ(Pixel(d4 - QPoint(0, 16)), QColor(255, 255, 255));

  // Writing on the From square forgets the move and keeps the capture.
  Choose("C3", &TForm2::dimamie1);
  EXPECT_EQ(record().from, 0x0300);
  EXPECT_EQ(record().to, 0x0500);
  EXPECT_EQ(SquareName(record().captured), "D4");
}

TEST_F(EditorTest, PagesAddsAndDeletesWithTheFileRewrittenEachTime) {
  Open(std::vector<CellCode>{c, p, C});
  EXPECT_EQ(Caption(), " experience N:°3");
  const struct {
    QToolButton* TForm2::*button;
    std::string caption;  // after a repaint
    CellCode shown;       // on A5 of the working record
    std::size_t records;  // in the file
  } steps[] = {
      {&TForm2::SpeedButton4, " experience N:°0", c, 3},
      {&TForm2::SpeedButton2, " experience N:°2", C, 3},
      {&TForm2::SpeedButton4, " experience N:°0", c, 3},
      {&TForm2::SpeedButton4, " experience N:°1", p, 3},
      {&TForm2::SpeedButton3, " experience N:°0", c, 2},  // record 1 goes, record 0 is shown
      {&TForm2::SpeedButton1, " experience N:°2", c, 3},
      {&TForm2::SpeedButton3, " experience N:°1", C, 2},
      {&TForm2::SpeedButton3, " experience N:°0", c, 1},
      {&TForm2::SpeedButton3, " experience N:°0", c, 0},
      {&TForm2::SpeedButton3, " experience N:°0", c, 0},
      {&TForm2::SpeedButton2, " experience N:°0", c, 0},
      {&TForm2::SpeedButton1, " experience N:°0", c, 1},
  };
  for (const auto& step : steps) {
    Click(step.button);
    editor->surface->Repaint();
    EXPECT_EQ(Caption(), step.caption);
    EXPECT_EQ(ReadCell(record().pattern, Sq("A5")), step.shown) << step.caption;
    EXPECT_EQ(testing::ReadBytes(folder / "braskel.exp").size(), step.records * 198)
        << step.caption;
  }
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(EditorTest, WithoutAStoreKeepsAddedRecordsInMemoryOnly) {
  Open(std::nullopt);
  Click(&TForm2::SpeedButton1);
  // Both boxes belong to the editor, which made them, and not to the board window.
  EXPECT_EQ(dialogs.parents, (std::vector<QWidget*>{editor.get(), editor.get()}));
  EXPECT_EQ(dialogs.Take(), (Shown{"Zelbo:  No experience ", "Zelbo:  No experience "}));
  EXPECT_EQ(board_window.state().experience_count, 1u);
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(EditorTest, ShownAgainDrawsWithThePicturesOfTheMoment) {
  Open(std::vector<CellCode>{});
  editor->close();
  EXPECT_FALSE(editor->isVisible());
  board_window.Im0.image().fill(QColor(1, 2, 3));  // as a skin would replace it
  editor->show();
  EXPECT_EQ(Pixel(Centre("A5")), QColor(1, 2, 3));
}

TEST_F(EditorTest, F1ShowsHowToAddAnExperience) {
  Open(std::vector<CellCode>{});
  TForm4 help(application, folder.path());
  board_window.SetWindows(editor.get(), nullptr, &help);
  QTest::keyClick(editor->surface, Qt::Key_F2);
  EXPECT_TRUE(dialogs.Take().empty());
  QTest::keyClick(editor->surface, Qt::Key_F1);
  const Shown shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("ajoutez une nouvelle expérience  : ajouter une nouvelle", 0), 0u);
}

}  // namespace
}  // namespace zelbo
