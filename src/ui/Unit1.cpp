// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <cctype>

#include "computer/computer_turn.h"
#include "engine/draw_offer.h"
#include "engine/level_turn.h"
#include "engine/tables/endgame_tables.h"
#include "game/board.h"
#include "game/execution_time.h"
#include "game/take_back.h"
#include "record/pdn_file.h"
#include "savegame/saved_game.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/platform/check_box.h"
#include "ui/platform/native_window.h"
#include "ui/record_window.h"
#include "ui/title.h"

namespace zelbo {
namespace {

constexpr int kGaugeMax = 120;
// A search up to this long is made on the user-interface thread, unnoticed; a longer one off it.
constexpr int32_t kLongestSearchInTheWindow = 100;
// The hint's marks: a ring on the piece, a smaller one on each of its landing squares.
const QColor kHintColor(0, 230, 255);
constexpr int kLandingInset = 7;
const QColor kYellow(255, 255, 0);
const QColor kInactiveCaption(191, 205, 219);

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A file dialog's answer as the file system's bytes.
std::filesystem::path PathOf(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

MouseButton BoardButton(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return MouseButton::kLeft;
  if (button == Qt::MiddleButton) return MouseButton::kMiddle;
  return MouseButton::kRight;
}

// A dialog for files of one kind, listed whatever the letter case of their extension; opening
// starts in the current folder, saving asks before writing over a file.
FileDialogOptions GameFileDialog(bool save, const QString& description, const QString& patterns,
                                 const QString& default_suffix) {
  FileDialogOptions options;
  options.description = description;
  options.patterns = patterns;
  options.default_suffix = default_suffix;
  options.folder = save ? QString() : QStringLiteral(".");
  options.confirm_overwrite = save;
  return options;
}

FileDialogOptions SavedGameDialog(bool save) {
  return GameFileDialog(save, QStringLiteral("ZELBO FILE"), QStringLiteral("*.KRP *.krp"),
                        QStringLiteral("KRP"));
}

// Whole games in PDN.
FileDialogOptions PdnGameDialog(bool save) {
  return GameFileDialog(save, QStringLiteral("PARTIE PDN"), QStringLiteral("*.pdn *.PDN"),
                        QStringLiteral("pdn"));
}

// A name ending in ".pdn", whatever its case, names a whole game; any other a saved position.
bool IsPdnFile(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".pdn";
}

// Enter pressed while the check box has the keyboard clicks the default button.
class DefaultButtonFilter : public QObject {
 public:
  DefaultButtonFilter(QObject* parent, QPushButton* button) : QObject(parent), button_(button) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button_->click();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPushButton* button_;
};

}  // namespace

TForm1::TForm1(Application& application, std::optional<std::filesystem::path> saved_game,
               FilePlaces places)
    : file_places(std::move(places)), application_(application) {
  CreateControls();
  CreateMenus();
  CreateWindowButtons();
  LoadBuiltInPictures();
  FormCreate(saved_game);
  WatchRestore(this, [this] { application_.RestoreMinimized(); });
}

// A search still running is stopped before the engine it uses goes; the record window, which shows
// its positions on this window, goes while this window is still whole.
TForm1::~TForm1() {
  StopThinking();
  shown_ply_.reset();
  delete record_window_;
}

void TForm1::SetWindows(TForm2* editor, TForm3* skins, TForm4* help) {
  editor_ = editor;
  skins_ = skins;
  help_ = help;
}

// The child controls at their designed places in the client area.
void TForm1::CreateControls() {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Zelbo"));
  surface = new CanvasWidget(this);
  setCentralWidget(surface);
  surface->SetChildrenKeepTheirClicks(true);
  surface->SetPaintHandler([this] { FormPaint(); });
  surface->on_click = [this] { FormClick(); };
  surface->on_mouse_up = [this](Qt::MouseButton button, QPoint p) {
    FormMouseUp(button, p.x(), p.y());
  };

  Chec1 = new CheckBox(QStringLiteral("Computer"), surface);
  Chec1->setGeometry(152, 0, 97, 20);
  Chec1->setChecked(true);

  BitBtn1 = new QPushButton(QStringLiteral("0"), surface);
  BitBtn1->setGeometry(308, 3, 47, 22);
  BitBtn1->setIcon(QIcon(QStringLiteral(":/icons/takeback.png")));
  BitBtn1->setIconSize(QSize(16, 15));
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  Chec1->installEventFilter(new DefaultButtonFilter(this, BitBtn1));

  Gauge1 = new Gauge(surface, Qt::red, QColor(0, 128, 128));
  Gauge1->setGeometry(6, 1, 45, 11);
  Gauge2 = new Gauge(surface, Qt::red, kInactiveCaption);
  Gauge2->setGeometry(61, 1, 44, 13);
  for (Gauge* gauge : {Gauge1, Gauge2}) {
    gauge->SetMaxValue(kGaugeMax);
    gauge->SetProgress(kGaugeMax);
  }

  Panel1 = new QFrame(surface);
  Panel1->setGeometry(56, 32, 217, 261);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Image1 = new PictureControl(Panel1);
  Image1->setGeometry(0, 0, 217, 261);
  Image1->SetStretch(true);
  Image1->on_click = [this] { Image1Click(); };
  Panel1->hide();

  thinking_ = new Thinking(this);

  Timer1 = new QTimer(this);
  Timer1->setInterval(900);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  auto* help_key = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help_key, &QShortcut::activated, this, [this] { Help1Click(); });
}

void TForm1::CreateMenus() {
  auto add = [this](QMenu* menu, const char* caption, auto handler) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  Fichier1 = menuBar()->addMenu(QStringLiteral("Fichier"));
  Nouvelle1 = add(Fichier1, "Nouveau", [this] { Nouvelle1Click(); });
  Nouvelle1->setShortcut(QKeySequence(Qt::Key_F2));
  open1 = add(Fichier1, "Ouvrir", [this] { open1Click(); });
  Save1 = add(Fichier1, "Enregistrer", [this] { Save1Click(); });
  // Whole games and their ends; the skinned look, which has no menu, reaches them by their keys.
  Fichier1->addSeparator();
  openPdn1 = add(Fichier1, "Ouvrir une partie...", [this] { openPdn1Click(); });
  openPdn1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  SavePdn1 = add(Fichier1, "Enregistrer la partie...", [this] { SavePdn1Click(); });
  SavePdn1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  Abandonner1 = add(Fichier1, "Abandonner", [this] { Abandonner1Click(); });
  Abandonner1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
  ProposerNulle1 = add(Fichier1, "Proposer la nulle", [this] { ProposerNulle1Click(); });
  ProposerNulle1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  Fichier1->addSeparator();
  Quitter1 = add(Fichier1, "Quitter", [this] { Quitter1Click(); });

  Outils1 = menuBar()->addMenu(QStringLiteral("Outils"));
  Levels1 = new QMenu(this);
  Level1 = Outils1->addMenu(Levels1);
  Level1->setText(QStringLiteral("Niveau  Facil"));
  auto* one_level = new QActionGroup(this);
  for (int level = 1; level <= LevelCount(); ++level) {
    QAction* item = Levels1->addAction(FromUtf8(LevelCaption(level)));
    item->setCheckable(true);
    item->setChecked(level == 1);
    one_level->addAction(item);
    connect(item, &QAction::triggered, this, [this, level] { LevelClick(level); });
    level_items.push_back(item);
  }
  Experience1 = add(Outils1, "Experience", [] {});
  Experience1->setCheckable(true);
  empdexecution1 = add(Outils1, "Execution time", [this] { empdexecution1Click(); });
  Ordinateur1 = add(Outils1, "Ordinateur", [this] { Ordinateur1Click(); });
  Ordinateur1->setCheckable(true);
  Ordinateur1->setChecked(true);
  form21 = add(Outils1, "Modifier l'experience", [this] { form21Click(); });
  skin1 = add(Outils1, "skin", [this] { skin1Click(); });
  skin1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  DernierCoup1 = add(Outils1, "Dernier coup", [this] { DernierCoup1Click(); });
  DernierCoup1->setCheckable(true);
  DernierCoup1->setChecked(true);
  DernierCoup1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  Partie1 = add(Outils1, "Partie", [this] { Partie1Click(); });
  Partie1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

  Aide1 = menuBar()->addMenu(QStringLiteral("Aide"));
  Help1 = add(Aide1, "Aide", [this] { Help1Click(); });
  Help1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
  Aboute1 = add(Aide1, "Aboute", [this] { Aboute1Click(); });
  Hint1 = add(Aide1, "Indice", [this] { Hint1Click(); });
  Hint1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
}

// The five buttons of the skinned look, hidden until a skin shows them.
void TForm1::CreateWindowButtons() {
  struct Button {
    PictureControl** control;
    const char* hint;
  };
  const Button buttons[] = {{&bsauvegarder, "Save"},
                            {&BOUVRIR, "Open"},
                            {&MINIMISER, "minimize"},
                            {&bskins, "Skin"},
                            {&SORTI, "Close"}};
  for (const Button& button : buttons) {
    auto* control = new PictureControl(surface);
    control->setToolTip(QString::fromUtf8(button.hint));
    control->setCursor(Qt::PointingHandCursor);
    control->picture().SetTransparent(true);
    control->resize(32, 32);
    control->hide();
    *button.control = control;
  }
  bskins->setCursor(Qt::SizeAllCursor);
  SORTI->on_click = [this] { sortiClick(); };
  MINIMISER->on_click = [this] { minimiserClick(); };
  // The window system moves the window with the pointer from the press until the button is let go:
  // started once, on the press (started again on a motion, it would go on after the release).
  bskins->on_drag_start = [this](QPoint global) { bskinsMouseDown(global); };
  bskins->on_double_click = [this] { bskinsDblClick(); };
  bsauvegarder->on_click = [this] { bsauvegarderClick(); };
  BOUVRIR->on_click = [this] { bouvrirClick(); };
}

// The pictures drawn for the screen the window opens on: at twice the resolution when its device
// pixel ratio is above 1.
void TForm1::LoadBuiltInPictures() {
  const qreal ratio = devicePixelRatio();
  Im0.Load(QStringLiteral(":/pictures/Im0.bmp"), ratio);
  Im1.Load(QStringLiteral(":/pictures/Im1.bmp"), ratio);
  Im2.Load(QStringLiteral(":/pictures/Im2.bmp"), ratio);
  Im3.Load(QStringLiteral(":/pictures/Im3.bmp"), ratio);
  Imm1.Load(QStringLiteral(":/pictures/Imm1.bmp"), ratio);
  Imm2.Load(QStringLiteral(":/pictures/Imm2.bmp"), ratio);
  Imcadre = Picture(QImage(28, 28, QImage::Format_RGB32), true);
  Image1->picture().Load(QStringLiteral(":/pictures/Image1.bmp"), ratio);
  // Decoded and converted once: every tick of the caption's timer shows one of them.
  for (std::size_t i = 0; i < ImageList1.size(); ++i) {
    ImageList1[i] = QIcon(QPixmap(QStringLiteral(":/icons/icon%1.png").arg(i)));
    taskbar_icons_[i] = TaskbarIcon(ImageList1[i]);
  }
  setWindowIcon(QIcon(QStringLiteral(":/icons/zelbo.png")));
}

void TForm1::FormCreate(const std::optional<std::filesystem::path>& saved_game) {
  // The title is carried by the pixels of the picture as designed, not by its finer drawing.
  title_string = DecodeTitle(QImage(QStringLiteral(":/pictures/Image1.bmp")));
  NewGame(state_, *this);
  setFixedSize(370, 375);
  Level1->setText(Level1->text() + QStringLiteral(": Easy "));

  // Until a skin brings a frame picture, the frame is the window's own colour.
  const QColor window_color = surface->window_color();
  Imcadre.image().fill(window_color);

  const int top = state_.board_origin - state_.square_size;
  BOUVRIR->move(state_.board_origin - state_.square_size, top);
  bsauvegarder->move(state_.board_origin, top);
  bskins->move(state_.board_origin + 3 * state_.square_size, top);
  MINIMISER->move(state_.board_origin + 7 * state_.square_size, top);
  SORTI->move(state_.board_origin + 8 * state_.square_size, top);

  caption = title_string + QStringLiteral("  ");
  setWindowTitle(caption);

  Canvas& canvas = surface->canvas();
  canvas.brush_style = BrushStyle::kClear;
  canvas.pen_color = kYellow;
  canvas.font = QFont(QStringLiteral("DejaVu Sans"));
  canvas.font.setPixelSize(11);
  canvas.font.setStyleStrategy(QFont::NoAntialias);

  Timer1->start();

  if (saved_game && IsPdnFile(*saved_game)) {
    if (!OpenPdnGame(state_, *this, *saved_game)) DrawBoard();
    return;
  }
  if (saved_game && !LoadSavedGame(state_, *this, *saved_game)) return;
  DrawBoard();
}

void TForm1::FormPaint() {
  const int size = state_.square_size;
  const int origin = state_.board_origin;
  Imcadre.SetSize(size, size, surface->window_color());
  const int w = Imcadre.width();
  if (w <= 0) return DrawBoard();
  Canvas& canvas = surface->canvas();
  const int far_side = origin + 8 * size;
  for (int p = origin - w; p < far_side + w; p += w) {
    canvas.Draw(p, origin - w, Imcadre);
    canvas.Draw(origin - w, p, Imcadre);
    canvas.Draw(p, far_side, Imcadre);
    canvas.Draw(far_side, p, Imcadre);
  }
  DrawBoard();
}

// A position of the record that the board is asked to show is drawn in place of the game's, also
// after the end of the game, with a note on the frame that says so.
void TForm1::DrawBoard() {
  mark_drawn_.reset();
  hint_drawn_.reset();
  Canvas& canvas = surface->canvas();
  const int origin = state_.board_origin;
  const int size = state_.square_size;
  for (int n = 1; n <= 8; ++n) {
    canvas.TextOut((n - 1) * size + origin + origin / 2, origin / 2, QString(QChar('A' + n - 1)));
    canvas.TextOut(origin / 2, (n - 1) * size + origin + origin / 2, QString::number(n));
  }
  if (shown_ply_ > state_.record.size()) shown_ply_.reset();
  if (state_.game_over && !shown_ply_) return;
  const Board& board = shown_ply_ ? state_.record.PositionAt(*shown_ply_).board : state_.board;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      DrawCell((column - 1) * size + origin, (row - 1) * size + origin, board.Code(column, row));
    }
  }
  if (const RecordedMove* move = MarkedMove()) DrawMoveMark(*move);
  if (shown_ply_) DrawShownPositionNote();
}

const Picture* TForm1::SquarePicture(CellCode code) const {
  switch (code) {
    case kPlayerKing:
      return &Imm2;
    case kPlayerMan:
      return &Imm1;
    case kEmpty:
      return &Im0;
    case kComputerMan:
      return &Im1;
    case kComputerKing:
      return &Im2;
    case kUnusable:
      return &Im3;
    default:
      return nullptr;
  }
}

void TForm1::DrawCell(int x, int y, CellCode code) {
  const SquareRef s = PixelToSquare(state_, x, y);
  const Picture* picture = SquarePicture(code);
  if (picture == nullptr || IsNoSquare(s)) return;
  surface->canvas().Draw((Column(s) - 1) * state_.square_size + state_.board_origin,
                         (Row(s) - 1) * state_.square_size + state_.board_origin, *picture);
}

// The yellow ring on the selected piece stays until the next redraw paints over it.
void TForm1::DrawSelectionRing() {
  const SquareRef s = state_.selected_square;
  if (ReadCell(state_.board, s) == kUnusable) return;
  RingSquare(s, 0);
}

// A ring inscribed in the square, `inset` pixels in from its sides, in the canvas's pen.
void TForm1::RingSquare(SquareRef s, int inset) {
  const int size = state_.square_size;
  const int left = (Column(s) - 1) * size + state_.board_origin;
  const int top = (Row(s) - 1) * size + state_.board_origin;
  surface->canvas().Ellipse(left + inset, top + inset, left + size - inset, top + size - inset);
}

// The hint stays on the board, like the selection's ring, until the next redraw.
void TForm1::DrawHint(const LevelMove& move) {
  Canvas& canvas = surface->canvas();
  const QColor selection = canvas.pen_color;
  canvas.pen_color = kHintColor;
  RingSquare(move.from, 0);
  for (int i = 0; i < move.landing_count; ++i) RingSquare(move.landings[i], kLandingInset);
  canvas.pen_color = selection;
  hint_drawn_ = move;
}

// While an earlier position is shown the board is not played: a click on it brings the record
// window forward, where "Jouer d'ici" and the last move are.
void TForm1::FormMouseUp(Qt::MouseButton button, int x, int y) {
  if (WaitsForTheComputer([=, this] { FormMouseUp(button, x, y); })) return;
  if (shown_ply_) return Partie1Click();
  PutTheMarkAway();
  const SquareRef s = PixelToSquare(state_, x, y);
  if (!BoardMouseUp(state_, *this, s, BoardButton(button))) return;
  DrawSelectionRing();
  ComputerReplies();
  GameChanged();
}

void TForm1::FormClick() {
  if (Panel1->isVisible()) Panel1->hide();
}

// A new game does not wait for the computer: its thinking ends at once, and its reply and what
// waited for it are dropped with the game.
void TForm1::Nouvelle1Click() {
  StopThinking();
  waiting_.clear();
  ShowTheGame();
  NewGame(state_, *this);
  Gauge1->SetProgress(Gauge1->max_value());
  Gauge2->SetProgress(Gauge1->max_value());
  Panel1->hide();
  DrawBoard();
  GameChanged();
}

// A saved position that cannot be read has already reset the game, as designed.
void TForm1::open1Click() {
  OpenWithoutWaiting(SavedGameDialog(false), [this](const std::filesystem::path& file) {
    ShowTheGame();
    OpenSavedGame(state_, *this, file);
    return true;
  });
}

void TForm1::Save1Click() {
  if (WaitsForTheComputer([this] { Save1Click(); })) return;
  const auto file = application_.dialogs().SaveFileName(this, SavedGameDialog(true));
  if (file) SaveGame(state_, *this, PathOf(*file));
}

// A whole game that cannot be read changes nothing: the board, its record and the panel stay as
// they were, and the computer thinks its reply again.
void TForm1::openPdn1Click() {
  OpenWithoutWaiting(PdnGameDialog(false), [this](const std::filesystem::path& file) {
    if (!OpenPdnGame(state_, *this, file)) return false;
    shown_ply_.reset();
    ForgetTheClick();
    surface->Repaint();
    return true;
  });
}

// Opening a game does not wait for the computer: its thinking ends at once, and its reply and what
// waited for it are dropped with the game. When no game is opened after all, the game goes on: the
// computer thinks its reply again.
void TForm1::OpenWithoutWaiting(const FileDialogOptions& dialog,
                                const std::function<bool(const std::filesystem::path&)>& open) {
  const bool replying = StopThinking() && ComputerReplyDue(state_, *this);
  const auto file = application_.dialogs().OpenFileName(this, dialog);
  if (file && open(PathOf(*file))) {
    waiting_.clear();
    return GameChanged();
  }
  if (replying) ComputerReplies();
  RunWaitingCommands();
}

void TForm1::SavePdn1Click() {
  if (WaitsForTheComputer([this] { SavePdn1Click(); })) return;
  const auto file = application_.dialogs().SaveFileName(this, PdnGameDialog(true));
  if (file) SavePdnGame(state_, *this, PathOf(*file));
}

void TForm1::Quitter1Click() { close(); }

void TForm1::empdexecution1Click() {
  const auto text = application_.dialogs().InputQuery(this, QStringLiteral("THE TIME  "),
                                                      QStringLiteral(" Time : "),
                                                      QString::number(state_.execution_time));
  if (text) {
    const ExecutionTimeEntry entry = ReadExecutionTime(text->toStdString(), state_.level > 1);
    if (!entry.value) return ShowMessage(entry.refusal);
    state_.execution_time = *entry.value;
  }
  if (!state_.game_over) DrawBoard();
}

// The menu item keeps its own check mark; choosing it sets the check box from it.
void TForm1::Ordinateur1Click() { Chec1->setChecked(Ordinateur1->isChecked()); }

void TForm1::form21Click() {
  if (editor_ != nullptr) ShowInFront(editor_);
}

void TForm1::skin1Click() {
  if (skins_ != nullptr) ShowInFront(skins_);
}

void TForm1::Help1Click() {
  if (help_ != nullptr) ShowInFront(help_);
}

void TForm1::Aboute1Click() {
  Panel1->show();
  Panel1->raise();
}

void TForm1::Image1Click() {
  if (WaitsForTheComputer([this] { Image1Click(); })) return;
  Panel1->hide();
  if (state_.game_over) Nouvelle1Click();
}

void TForm1::BitBtn1Click() {
  if (WaitsForTheComputer([this] { BitBtn1Click(); })) return;
  ShowTheGame();
  ForgetTheClick();
  TakeBack(state_, *this);
  GameChanged();
}

void TForm1::Timer1Timer() {
  caption = RotateCaption(caption);
  application_.SetTitle(caption);
  if (!state_.game_over && Panel1->isVisible()) WriteOnAboutPicture(caption);
  icon_index = NextIconIndex(icon_index);
  const TaskbarIcon& icon = taskbar_icons_[icon_index];
  application_.SetIcon(icon);
  ShowCaptionAndIcon(this, caption, icon);
}

// Each text goes over the last one, whose box the picture's solid white brush paints over first: a
// narrower text leaves nothing of a wider one.
void TForm1::WriteOnAboutPicture(const QString& text) {
  Canvas& canvas = Image1->canvas();
  if (canvas.brush_style == BrushStyle::kSolid) canvas.FillRect(about_text_box_);
  canvas.TextOut(5, 10, text);
  about_text_box_ = canvas.TextBox(5, 10, text);
}

void TForm1::sortiClick() { Quitter1Click(); }

void TForm1::minimiserClick() { application_.Minimize(this); }

void TForm1::bskinsMouseDown(QPoint global) { StartSystemMove(this, global); }

void TForm1::bskinsDblClick() { skin1Click(); }

void TForm1::bsauvegarderClick() {
  if (WaitsForTheComputer([this] { bsauvegarderClick(); })) return;
  Save1Click();
  ApplySkin(SelectedSkin());
}

void TForm1::bouvrirClick() {
  open1Click();
  ApplySkin(SelectedSkin());
}

std::string TForm1::SelectedSkin() const {
  return skins_ != nullptr ? skins_->SelectedSkin() : std::string();
}

// The chosen level lasts for the run; the chooser's caption names it.
void TForm1::LevelClick(int level) {
  state_.level = level;
  Level1->setText(FromUtf8(LevelCaption(level)));
  level_items.at(static_cast<std::size_t>(level - 1))->setChecked(true);
}

// The move the top level would play for the side to move.
void TForm1::Hint1Click() {
  if (WaitsForTheComputer([this] { Hint1Click(); })) return;
  if (state_.game_over) return;
  ShowTheGame();
  Thinking::Search search = [&searcher = engine(), board = state_.board, side = state_.side_to_move,
                             time = ThinkingTime(),
                             history = state_.history](const std::atomic<bool>& stop) {
    return searcher.Hint(board, side, time, &stop, history);
  };
  const auto draw = [this](const std::optional<LevelMove>& move) {
    if (move) DrawHint(*move);
  };
  if (ThinkingTime() > kLongestSearchInTheWindow) return Think(std::move(search), draw);
  const std::atomic<bool> never{false};
  draw(search(never));
}

// "Proposer la nulle": the computer answers, as its level judges the position; two players at the
// mouse, the other one is asked.
void TForm1::ProposerNulle1Click() {
  if (WaitsForTheComputer([this] { ProposerNulle1Click(); })) return;
  ShowTheGame();
  if (state_.game_over) return;
  if (!IsComputerChecked()) return AskTheOtherPlayerForADraw();
  const auto answer = [this](bool accepted) {
    AnswerDrawOffer(state_, *this, accepted);
    GameChanged();
  };
  if (state_.level <= 1) return answer(DesignedComputerAcceptsDraw(state_.board));
  // The answer comes back from the search as a move: one for yes, none for no.
  Thinking::Search search = [&searcher = engine(), board = state_.board, side = state_.side_to_move,
                             level = state_.level, time = ThinkingTime(),
                             history = state_.history](const std::atomic<bool>& stop) {
    return ComputerAcceptsDraw(searcher, board, side, level, time, history, &stop)
               ? std::optional<LevelMove>(LevelMove{})
               : std::nullopt;
  };
  const auto done = [answer](const std::optional<LevelMove>& yes) { answer(yes.has_value()); };
  if (ThinkingTime() > kLongestSearchInTheWindow) return Think(std::move(search), done);
  const std::atomic<bool> never{false};
  done(search(never));
}

Engine& TForm1::engine() {
  if (!engine_) {
    engine_ = std::make_unique<Engine>();
    engine_->UseTables(engine::ProgramTables());
  }
  return *engine_;
}

int32_t TForm1::ThinkingTime() const { return zelbo::ThinkingTime(state_.execution_time); }

// The computer answers at the chosen level. A search that a person would notice runs off this
// thread: the window goes on living, and what would change the game waits for the reply.
void TForm1::ComputerReplies() {
  if (state_.level == 1) return ComputerReply(state_, *this);
  if (ThinkingTime() <= kLongestSearchInTheWindow) return LevelReply(state_, *this, engine());
  if (!ComputerReplyDue(state_, *this) || PlayExperienceReply(state_, *this)) return;
  Think(
      [&searcher = engine(), board = state_.board, level = state_.level, time = ThinkingTime(),
       history = state_.history](const std::atomic<bool>& stop) {
        return searcher.Choose(board, kComputerSide, level, time, &stop, history);
      },
      [this](const std::optional<LevelMove>& move) {
        PlaySearchedReply(state_, *this, move);
        GameChanged();
      });
}

// While the search runs the pointer shows that the computer is busy; its move, and then the
// commands that waited for it, come in order on this thread.
void TForm1::Think(Thinking::Search search, Thinking::Done done) {
  QApplication::setOverrideCursor(Qt::BusyCursor);
  thinking_->Start(std::move(search),
                   [this, done = std::move(done)](const std::optional<LevelMove>& move) {
                     QApplication::restoreOverrideCursor();
                     done(move);
                     RunWaitingCommands();
                   });
}

bool TForm1::StopThinking() {
  if (!thinking_->busy()) return false;
  thinking_->Stop();
  QApplication::restoreOverrideCursor();
  return true;
}

bool TForm1::WaitsForTheComputer(std::function<void()> command) {
  if (!thinking_->busy()) return false;
  waiting_.push_back(std::move(command));
  return true;
}

// A waiting command may set the computer thinking again: the rest then waits once more.
void TForm1::RunWaitingCommands() {
  while (!waiting_.empty() && !thinking_->busy()) {
    const std::function<void()> command = std::move(waiting_.front());
    waiting_.pop_front();
    command();
  }
}

void TForm1::SetApplicationTitle(std::string_view title) { application_.SetTitle(FromUtf8(title)); }

void TForm1::ShowMessage(std::string_view text) { application_.ShowMessage(this, FromUtf8(text)); }

void TForm1::ShowErrorDialog(std::string_view text) {
  application_.dialogs().ShowErrorDialog(this, FromUtf8(text));
}

void TForm1::SetGauges(int gauge1, int gauge2) {
  Gauge1->SetProgress(gauge1);
  Gauge2->SetProgress(gauge2);
}

void TForm1::SetPanelVisible(bool visible) {
  Panel1->setVisible(visible);
  if (visible) Panel1->raise();
}

void TForm1::SetTakeBackCaption(std::string_view caption) { BitBtn1->setText(FromUtf8(caption)); }

bool TForm1::IsComputerChecked() const { return Chec1->isChecked(); }

bool TForm1::IsExperienceChecked() const { return Experience1->isChecked(); }

}  // namespace zelbo
