// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit2.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

namespace zelbo {
namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

QString IndexCaption(uint32_t index) {
  return QString::fromUtf8(" experience N:°") + QString::number(index);
}

}  // namespace

// The board window as the store sees it, but for its messages, which are shown over the editor
// that caused them.
class TForm2::StorePort : public BoardWindowPort {
 public:
  StorePort(TForm2& editor, BoardWindowPort& board_window, Application& application)
      : editor_(editor), board_window_(board_window), application_(application) {}

  void ShowMessage(std::string_view text) override {
    application_.ShowMessage(&editor_, QString::fromUtf8(text.data(), std::ssize(text)));
  }
  void ShowErrorDialog(std::string_view text) override {
    application_.dialogs().ShowErrorDialog(&editor_,
                                           QString::fromUtf8(text.data(), std::ssize(text)));
  }
  void DrawBoard() override { board_window_.DrawBoard(); }
  void SetApplicationTitle(std::string_view title) override {
    board_window_.SetApplicationTitle(title);
  }
  void SetGauges(int gauge1, int gauge2) override { board_window_.SetGauges(gauge1, gauge2); }
  void SetPanelVisible(bool visible) override { board_window_.SetPanelVisible(visible); }
  void SetTakeBackCaption(std::string_view caption) override {
    board_window_.SetTakeBackCaption(caption);
  }
  bool IsComputerChecked() const override { return board_window_.IsComputerChecked(); }
  bool IsExperienceChecked() const override { return board_window_.IsExperienceChecked(); }

 private:
  TForm2& editor_;
  BoardWindowPort& board_window_;
  Application& application_;
};

TForm2::TForm2(Application& application, TForm1& board_window)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      application_(application),
      board_window_(board_window),
      store_(board_window.file_places.UserFile(kExperienceFileName)),
      store_port_(std::make_unique<StorePort>(*this, board_window, application)) {
  CreateControls();
  CreateSpeedButtons();
  CreatePopupMenu();
  LoadPictures();
  FormCreate();
  WatchRestore(this);
  application.TakeApplicationIcon(this);
}

TForm2::~TForm2() = default;

GameState& TForm2::state() { return board_window_.state(); }

// The window and its client area; closing it only hides it, and never ends the program.
void TForm2::CreateControls() {
  setWindowTitle(QStringLiteral("BRASKEL"));
  setAttribute(Qt::WA_QuitOnClose, false);
  move(298, 199);
  setFixedSize(341, 333);
  surface = new CanvasWidget(this);
  surface->SetWindowColor(palette().color(QPalette::Button));
  surface->setMouseTracking(true);
  surface->setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(surface);
  surface->SetPaintHandler([this] { FormPaint(); });
  surface->on_mouse_move = [this](QPoint p) { FormMouseMove(p.x(), p.y()); };
  surface->on_key_up = [this](int key) { FormKeyUp(key); };
  surface->on_mouse_up = [this](Qt::MouseButton button, QPoint p) {
    if (button == Qt::RightButton) OpenPopupMenu(surface->mapToGlobal(p));
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(surface);

  Canvas& canvas = surface->canvas();
  canvas.brush_color = surface->window_color();
  canvas.font = QFont(QStringLiteral("DejaVu Sans"));
  canvas.font.setPixelSize(11);
  canvas.font.setStyleStrategy(QFont::NoAntialias);
}

// Flat picture buttons that take no keyboard focus, so that the window itself gets the keys.
void TForm2::CreateSpeedButtons() {
  struct Button {
    QToolButton** control;
    QRect place;
    const char* glyph;
    void (TForm2::*click)();
  };
  const Button buttons[] = {
      {&SpeedButton2, {56, 304, 23, 22}, ":/editor/previous.png", &TForm2::SpeedButton2Click},
      {&SpeedButton4, {88, 304, 23, 22}, ":/editor/next.png", &TForm2::SpeedButton4Click},
      {&SpeedButton1, {176, 304, 23, 22}, ":/editor/add.png", &TForm2::SpeedButton1Click},
      {&SpeedButton3, {309, 305, 23, 22}, ":/editor/delete.png", &TForm2::SpeedButton3Click},
  };
  for (const Button& button : buttons) {
    auto* control = new QToolButton(surface);
    control->setGeometry(button.place);
    control->setAutoRaise(true);
    control->setFocusPolicy(Qt::NoFocus);
    control->setIcon(QIcon(QString::fromUtf8(button.glyph)));
    control->setIconSize(QSize(16, 16));
    connect(control, &QToolButton::clicked, this,
            [this, click = button.click] { (this->*click)(); });
    *button.control = control;
  }
}

// The eight pictures that write a code on the square under the mouse, then "From" and "TO".
void TForm2::CreatePopupMenu() {
  for (int i = 0; i < 8; ++i) ImageList1[i] = QIcon(QStringLiteral(":/editor/popup%1.png").arg(i));
  PopupMenu1 = new QMenu(this);
  struct Item {
    QAction** action;
    int picture;  // -1 for none
    const char* caption;
    void (TForm2::*click)();
  };
  const Item items[] = {
      {&pasimport, 0, "", &TForm2::pasimportClick}, {&vide, 1, "", &TForm2::videClick},
      {&enmie, 2, "", &TForm2::enmieClick},         {&amie, 3, "", &TForm2::amieClick},
      {&dimeenmi1, 4, "", &TForm2::dimeenmi1Click}, {&dimamie1, 5, "", &TForm2::dimamie1Click},
      {&amie2, 6, "", &TForm2::amie2Click},         {&enmie2, 7, "", &TForm2::enmie2Click},
      {&from1, -1, "From", &TForm2::from1Click},    {&to1, -1, "TO", &TForm2::to1Click},
  };
  for (const Item& item : items) {
    QAction* action = PopupMenu1->addAction(QString::fromUtf8(item.caption));
    if (item.picture >= 0) action->setIcon(ImageList1[static_cast<std::size_t>(item.picture)]);
    connect(action, &QAction::triggered, this, [this, click = item.click] { (this->*click)(); });
    *item.action = action;
  }
}

// At twice the resolution for a screen whose device pixel ratio is above 1, as the board window's.
void TForm2::LoadPictures() {
  const qreal ratio = devicePixelRatio();
  exclama.Load(QStringLiteral(":/pictures/exclama.bmp"), ratio);
  omage_enmi.Load(QStringLiteral(":/pictures/omage_enmi.bmp"), ratio);
  Imageamie.Load(QStringLiteral(":/pictures/Imageamie.bmp"), ratio);
}

// The editor starts from the opening position with no move, unless the store's last record
// replaces it.
void TForm2::FormCreate() {
  ExperienceRecord& record = state().edit_record;
  record.from = record.to = record.captured = 0;
  SetupInitialPosition(record.pattern);
  if (const auto shown = LoadExperienceFile(state(), *store_port_, store_)) {
    DrawRecord(*shown);
  }
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  surface->Repaint();
}

void TForm2::FormPaint() {
  DrawRecord(state().edit_record);
  ShowIndexInCaption();
}

void TForm2::FormMouseMove(int x, int y) {
  mouse_x = x;
  mouse_y = y;
  square_under_mouse = PointToSquare(x, y);
}

void TForm2::FormKeyUp(int key) {
  if (key == Qt::Key_F1 && board_window_.help() != nullptr) board_window_.help()->ShowHelpTopic(6);
}

// The right button opens the menu anywhere in the window when it is released, over the square
// where the mouse last moved; a menu left without items is not shown at all.
void TForm2::OpenPopupMenu(QPoint global_position) {
  PopupMenu1Popup();
  const auto actions = PopupMenu1->actions();
  if (std::none_of(actions.begin(), actions.end(), [](QAction* a) { return a->isVisible(); })) {
    return;
  }
  PopupMenu1->popup(global_position);
}

void TForm2::PopupMenu1Popup() {
  const PopupItems items = PopupItemsOver(state().edit_record, square_under_mouse);
  for (QAction* action : PopupMenu1->actions()) action->setVisible(items.visible);
  to1->setEnabled(items.to_enabled);
  from1->setEnabled(items.from_enabled);
}

void TForm2::pasimportClick() { SetCodeUnderMouse(kNotImportant); }
void TForm2::videClick() { SetCodeUnderMouse(kEmpty); }
void TForm2::enmieClick() { SetCodeUnderMouse(kPlayerMan); }
void TForm2::amieClick() { SetCodeUnderMouse(kComputerMan); }
void TForm2::dimeenmi1Click() { SetCodeUnderMouse(kPlayerKing); }
void TForm2::dimamie1Click() { SetCodeUnderMouse(kComputerKing); }
void TForm2::amie2Click() { SetCodeUnderMouse(kAnyComputerPiece); }
void TForm2::enmie2Click() { SetCodeUnderMouse(kAnyPlayerPiece); }

void TForm2::from1Click() {
  if (ChooseMoveFrom(state().edit_record, square_under_mouse)) surface->Repaint();
}

void TForm2::to1Click() {
  const MoveToOutcome outcome = ChooseMoveTo(state().edit_record, square_under_mouse);
  if (outcome == MoveToOutcome::kIgnored) return;
  if (outcome == MoveToOutcome::kIllegal) {
    application_.ShowMessage(this, QStringLiteral("ERROR MOVEMENT "));
  }
  surface->Repaint();
}

// Add: the working record, whatever its move holds, joins the end of the store.
void TForm2::SpeedButton1Click() {
  AddExperienceRecord(state());
  DrawRecord(state().experience_list.back());
  SaveStore();
}

// Previous.
void TForm2::SpeedButton2Click() {
  if (!PageExperience(state(), false)) return;
  ShowIndexInCaption();
  DrawRecord(state().edit_record);
}

// Delete: the file is rewritten even when there was nothing to remove.
void TForm2::SpeedButton3Click() {
  if (DeleteExperienceRecord(state())) {
    ShowIndexInCaption();
    if (state().experience_count > 0) DrawRecord(state().edit_record);
  }
  const uint32_t shown = state().experience_index;
  SaveStore();
  // Another copy of the program changed the store meanwhile: the shown record has moved.
  if (state().experience_index != shown) ShowIndexInCaption();
}

// Next.
void TForm2::SpeedButton4Click() {
  if (!PageExperience(state(), true)) return;
  ShowIndexInCaption();
  DrawRecord(state().edit_record);
}

SquareRef TForm2::PointToSquare(int x, int y) const {
  const GameState& game = board_window_.state();
  const int origin = game.board_origin;
  const int size = game.square_size;
  const int far_side = origin + 8 * size;
  if (size <= 0 || x < origin || x > far_side || y < origin || y > far_side) return 0;
  const int column = (x - origin) / size + 1;
  const int row = (y - origin) / size + 1;
  if (column > 8 || row > 8) return 0;
  return MakeSquare(column, row);
}

const Picture* TForm2::CellPicture(CellCode code) const {
  switch (code) {
    case kEmpty:
      return &board_window_.Im0;
    case kComputerMan:
      return &board_window_.Im1;
    case kComputerKing:
      return &board_window_.Im2;
    case kUnusable:
      return &board_window_.Im3;
    case kPlayerMan:
      return &board_window_.Imm1;
    case kPlayerKing:
      return &board_window_.Imm2;
    case kAnyComputerPiece:
      return &Imageamie;
    case kNotImportant:
      return &exclama;
    case kAnyPlayerPiece:
      return &omage_enmi;
    default:
      return nullptr;
  }
}

void TForm2::DrawCellPicture(int x, int y, CellCode code) {
  const SquareRef s = PointToSquare(x, y);
  const Picture* picture = CellPicture(code);
  if (picture == nullptr || IsNoSquare(s)) return;
  const int origin = state().board_origin;
  const int size = state().square_size;
  surface->canvas().Draw(origin + (Column(s) - 1) * size, origin + (Row(s) - 1) * size, *picture);
}

// The marks of the move: a red ring on From, a yellow ring on To, a blue line between their
// centres, and a white cross in a white ring on Captured; outlines only, one pixel wide.
void TForm2::DrawPatternBoard(const Board& pattern, SquareRef from, SquareRef to,
                              SquareRef captured) {
  Canvas& canvas = surface->canvas();
  const int b = state().board_origin;
  const int s = state().square_size;
  for (int i = 1; i <= 8; ++i) {
    canvas.TextOut(b + (i - 1) * s + b / 2, b / 2, QString(QChar(64 + i)));
    canvas.TextOut(b / 2, b + (i - 1) * s + b / 2, QString::number(i));
  }
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      DrawCellPicture(b + (column - 1) * s, b + (row - 1) * s, pattern.Code(column, row));
    }
  }
  canvas.brush_style = BrushStyle::kClear;
  const auto left = [&](SquareRef q) { return b + (Column(q) - 1) * s; };
  const auto top = [&](SquareRef q) { return b + (Row(q) - 1) * s; };
  const auto ring = [&](SquareRef q) { canvas.Ellipse(left(q), top(q), left(q) + s, top(q) + s); };
  const bool has_from = PatternCell(from, pattern) != kUnusable;
  const bool has_to = PatternCell(to, pattern) != kUnusable;
  canvas.pen_color = kRed;
  if (has_from) ring(from);
  canvas.pen_color = kYellow;
  if (has_to) ring(to);
  if (has_from && has_to) {
    canvas.pen_color = kBlue;
    canvas.Line(left(from) + s / 2, top(from) + s / 2, left(to) + s / 2, top(to) + s / 2);
  }
  if (PatternCell(captured, pattern) != kUnusable) {
    canvas.pen_color = kWhite;
    canvas.Line(left(captured), top(captured), left(captured) + s, top(captured) + s);
    canvas.Line(left(captured) + s, top(captured), left(captured), top(captured) + s);
    ring(captured);
  }
}

void TForm2::SetCodeUnderMouse(CellCode code) {
  const SquareRef s = PointToSquare(mouse_x, mouse_y);
  if (IsNoSquare(s)) return;
  SetPatternCode(state().edit_record, s, code);
  DrawRecord(state().edit_record);
}

void TForm2::DrawRecord(const ExperienceRecord& record) {
  DrawPatternBoard(record.pattern, record.from, record.to, record.captured);
}

void TForm2::ShowIndexInCaption() { setWindowTitle(IndexCaption(state().experience_index)); }

void TForm2::SaveStore() { SaveExperienceFile(state(), *store_port_, store_); }

}  // namespace zelbo
