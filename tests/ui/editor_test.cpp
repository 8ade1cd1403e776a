// The experience editor on the offscreen platform: its caption and controls, the pop-up menu over
// the squares of the board, choosing a move with "From" and "TO", paging, adding and deleting with
// the store's file after each change, and F1.
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
using Bytes = std::vector<uint8_t>;
using Shown = std::vector<std::string>;

constexpr CellCode c = kComputerMan, C = kComputerKing, p = kPlayerMan;

// A record told apart from the others by the code on A5.
ExperienceRecord RecordWith(CellCode a5) { return {BoardWith({{"A5", a5}}), 0, 0, 0}; }

Bytes StoreOf(const std::vector<ExperienceRecord>& records) {
  Bytes bytes(records.size() * kExperienceRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EncodeExperienceRecord(records[i], std::span<uint8_t, kExperienceRecordSize>(
                                           bytes.data() + i * kExperienceRecordSize, 198));
  }
  return bytes;
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    board_window.Timer1->stop();  // the caption's animation would change the title
    application.SetTitle("Zelbo");
  }

  // The editor as the program creates it, over `store` ("braskel.exp"; none: no file), shown.
  void Open(std::optional<Bytes> store) {
    if (store) testing::WriteBytes(store_path, *store);
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

  // Opens the menu over a square, takes the item (when it is offered) and closes the menu.
  void Choose(const char* square, QAction* TForm2::*item) {
    RightClick(Centre(square));
    QAction* action = editor.get()->*item;
    if (editor->PopupMenu1->isVisible() && action->isVisible() && action->isEnabled()) {
      action->trigger();
    }
    editor->PopupMenu1->hide();
  }

  void Draw(const Board& pattern) {
    state().edit_record = {pattern, 0, 0, 0};
    editor->surface->Repaint();
  }

  GameState& state() { return board_window.state(); }
  ExperienceRecord& record() { return state().edit_record; }
  QColor Pixel(int x, int y) const { return editor->surface->surface().pixelColor(x, y); }
  std::size_t StoreSize() const { return testing::ReadBytes(store_path).size(); }

  testing::TempFolder folder;
  const std::filesystem::path store_path = folder / "braskel.exp";
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  TForm1 board_window{application, std::nullopt, folder.path()};
  std::unique_ptr<TForm2> editor;
};

TEST_F(EditorTest, OpensAsDesignedOnTheOpeningPosition) {
  testing::WriteBytes(store_path, {});
  TForm2 hidden(application, board_window);
  EXPECT_EQ(hidden.windowTitle(), "BRASKEL");
  EXPECT_EQ(hidden.size(), QSize(341, 333));
  EXPECT_EQ(hidden.pos(), QPoint(298, 199));
  EXPECT_EQ(FormatBoardLine(record().pattern), testing::kInitialLine);
  EXPECT_TRUE(IsNoSquare(record().from));

  const struct {
    QToolButton* button;
    QRect place;
  } buttons[] = {{hidden.SpeedButton2, {56, 304, 23, 22}},
                 {hidden.SpeedButton4, {88, 304, 23, 22}},
                 {hidden.SpeedButton1, {176, 304, 23, 22}},
                 {hidden.SpeedButton3, {309, 305, 23, 22}}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button->geometry(), b.place);
    EXPECT_EQ(b.button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(b.button->icon().isNull());
  }
  const auto items = hidden.PopupMenu1->actions();
  ASSERT_EQ(items.size(), 10);
  for (int i = 0; i < 8; ++i) {
    EXPECT_TRUE(items[i]->text().isEmpty());
    EXPECT_FALSE(items[i]->icon().isNull());
  }
  EXPECT_EQ(items[8]->text(), "From");
  EXPECT_EQ(items[9]->text(), "TO");
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(EditorTest, OffersTheMenuItemsOnlyOverPlayableSquares) {
  Open(Bytes{});
  struct Case {
    const char* name;
    QPoint point;
    bool shown;
    bool from_enabled;
    bool to_enabled;
  };
  const Case cases[] = {
      {"outside the board", {10, 10}, false, false, false},
      {"on the right edge line", {296, 100}, false, false, false},
      {"an unusable square", Centre("B1"), false, false, false},
      {"an empty square, no From yet", Centre("A5"), true, false, false},
      {"a man +1 on the last pixel of H2", {295, 71 + 32}, true, true, false},
      {"a man -1", Centre("B6"), true, false, false},
  };
  for (const Case& test : cases) {
    RightClick(test.point);
    EXPECT_EQ(editor->PopupMenu1->isVisible(), test.shown) << test.name;
    if (test.shown) {
      EXPECT_TRUE(editor->from1->isVisible() && editor->to1->isVisible()) << test.name;
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

TEST_F(EditorTest, DrawsTheChosenCodeWithItsPicture) {
  Open(Bytes{});
  Choose("A5", &TForm2::enmie2);
  Choose("C5", &TForm2::pasimport);
  Choose("E5", &TForm2::amie2);
  EXPECT_EQ(ReadCell(record().pattern, Sq("A5")), kAnyPlayerPiece);
  EXPECT_EQ(ReadCell(record().pattern, Sq("C5")), kNotImportant);
  EXPECT_EQ(ReadCell(record().pattern, Sq("E5")), kAnyComputerPiece);
  const struct {
    const char* square;
    const Picture& picture;
  } drawn[] = {{"A5", editor->omage_enmi}, {"C5", editor->exclama}, {"E5", editor->Imageamie}};
  for (const auto& d : drawn) {
    const QPoint corner = Centre(d.square) - QPoint(16, 16);
    for (const QPoint at : {QPoint(10, 16), QPoint(16, 10), QPoint(24, 16)}) {
      EXPECT_EQ(Pixel(corner.x() + at.x(), corner.y() + at.y()), d.picture.image().pixelColor(at))
          << d.square;
    }
  }
}

TEST_F(EditorTest, ShownAgainDrawsWithThePicturesOfTheMoment) {
  Open(Bytes{});
  editor->close();
  EXPECT_FALSE(editor->isVisible());
  board_window.Im0.image().fill(QColor(1, 2, 3));  // as a skin would replace it
  editor->show();
  EXPECT_EQ(Pixel(Centre("A5").x(), Centre("A5").y()), QColor(1, 2, 3));
}

TEST_F(EditorTest, ChecksTheMoveChosenWithFromAndTo) {
  Open(Bytes{});
  struct Case {
    const char* name;
    Board pattern;
    const char* from;
    const char* to;
    const char* captured;  // "" when the move is refused
  };
  const Case cases[] = {
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
  for (const Case& test : cases) {
    Draw(test.pattern);
    Choose(test.from, &TForm2::from1);
    Choose(test.to, &TForm2::to1);
    const bool legal = std::string(test.captured) != "";
    EXPECT_EQ(dialogs.Take(), legal ? Shown{} : Shown{"Zelbo: ERROR MOVEMENT "}) << test.name;
    EXPECT_EQ(SquareName(record().from), test.from) << test.name;
    EXPECT_EQ(SquareName(record().to), legal ? test.to : "-") << test.name;
    if (legal) {
      EXPECT_EQ(SquareName(record().captured), test.captured) << test.name;
    }
  }
}

TEST_F(EditorTest, MarksTheMoveOnTheBoard) {
  Open(Bytes{});
  Draw(BoardWith({{"C3", c}, {"D4", p}}));
  Choose("C3", &TForm2::from1);
  Choose("E5", &TForm2::to1);
  // Rings pass through the middle of their squares' top edges; the line runs through D4's centre,
  // where the white cross has its crossing.
  const QPoint c3 = Centre("C3"), e5 = Centre("E5"), d4 = Centre("D4");
  EXPECT_EQ(Pixel(c3.x(), c3.y() - 16), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(e5.x(), e5.y() - 16), QColor(255, 255, 0));
  EXPECT_EQ(Pixel(c3.x() + 8, c3.y() + 8), QColor(0, 0, 255));
  EXPECT_EQ(Pixel(d4.x() - 8, d4.y() + 8), QColor(255, 255, 255));
  EXPECT_EQ(Pixel(d4.x(), d4.y() - 16), QColor(255, 255, 255));

  // Writing on the From square forgets the move and keeps the capture.
  Choose("C3", &TForm2::dimamie1);
  EXPECT_TRUE(IsNoSquare(record().from));
  EXPECT_TRUE(IsNoSquare(record().to));
  EXPECT_EQ(SquareName(record().captured), "D4");
}

TEST_F(EditorTest, ShowsTheIndexAfterLoadingAndWhilePaging) {
  Open(StoreOf({RecordWith(c), RecordWith(p), RecordWith(C)}));
  EXPECT_EQ(editor->windowTitle(), QString::fromUtf8(" experience N:°3"));
  EXPECT_EQ(ReadCell(record().pattern, Sq("A5")), C);
  const struct {
    QToolButton* TForm2::*button;
    const char* caption;
    CellCode shown;
  } steps[] = {{&TForm2::SpeedButton4, " experience N:°0", c},
               {&TForm2::SpeedButton2, " experience N:°2", C},
               {&TForm2::SpeedButton2, " experience N:°1", p},
               {&TForm2::SpeedButton4, " experience N:°2", C}};
  for (const auto& step : steps) {
    QTest::mouseClick(editor.get()->*step.button, Qt::LeftButton);
    EXPECT_EQ(editor->windowTitle(), QString::fromUtf8(step.caption));
    EXPECT_EQ(ReadCell(record().pattern, Sq("A5")), step.shown) << step.caption;
    EXPECT_EQ(Pixel(Centre("A5").x(), Centre("A5").y()), (step.shown == p   ? board_window.Imm1
                                                          : step.shown == c ? board_window.Im1
                                                                            : board_window.Im2)
                                                             .image()
                                                             .pixelColor(16, 16));
  }
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(EditorTest, AddsAndDeletesWithTheFileRewrittenEachTime) {
  Open(StoreOf({RecordWith(c), RecordWith(p), RecordWith(C)}));
  QTest::mouseClick(editor->SpeedButton4, Qt::LeftButton);
  QTest::mouseClick(editor->SpeedButton4, Qt::LeftButton);  // record 1
  QTest::mouseClick(editor->SpeedButton3, Qt::LeftButton);
  EXPECT_EQ(editor->windowTitle(), QString::fromUtf8(" experience N:°0"));
  EXPECT_EQ(ReadCell(record().pattern, Sq("A5")), c);
  EXPECT_EQ(testing::ReadBytes(store_path), StoreOf({RecordWith(c), RecordWith(C)}));

  const struct {
    QToolButton* TForm2::*button;
    std::size_t size;
    const char* caption;  // at the next repaint
  } steps[] = {{&TForm2::SpeedButton1, 594, " experience N:°2"},
               {&TForm2::SpeedButton3, 396, " experience N:°1"},
               {&TForm2::SpeedButton3, 198, " experience N:°0"},
               {&TForm2::SpeedButton3, 0, " experience N:°0"},
               {&TForm2::SpeedButton3, 0, " experience N:°0"},
               {&TForm2::SpeedButton1, 198, " experience N:°0"}};
  for (const auto& step : steps) {
    QTest::mouseClick(editor.get()->*step.button, Qt::LeftButton);
    editor->surface->Repaint();
    EXPECT_EQ(StoreSize(), step.size) << step.caption;
    EXPECT_EQ(state().experience_count * kExperienceRecordSize, step.size) << step.caption;
    EXPECT_EQ(editor->windowTitle(), QString::fromUtf8(step.caption));
  }
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(EditorTest, WithoutAStoreKeepsAddedRecordsInMemoryOnly) {
  Open(std::nullopt);
  EXPECT_EQ(dialogs.Take(), Shown{"Zelbo:  No experience "});
  QTest::mouseClick(editor->SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(dialogs.Take(), Shown{"Zelbo:  No experience "});
  EXPECT_EQ(state().experience_count, 1u);
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(EditorTest, F1ShowsHowToAddAnExperience) {
  Open(Bytes{});
  TForm4 help(application, folder.path());
  board_window.SetWindows(editor.get(), nullptr, &help);
  QTest::keyClick(editor->surface, Qt::Key_F1);
  const Shown shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("ajoutez une nouvelle expérience  : ajouter une nouvelle", 0), 0u)
      << shown[0];
  QTest::keyClick(editor->surface, Qt::Key_F2);
  EXPECT_TRUE(dialogs.Take().empty());
}

}  // namespace
}  // namespace zelbo
