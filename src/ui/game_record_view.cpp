// SPDX-License-Identifier: GPL-3.0-or-later
// The board window and the game's record: the last move marked on the board until the next click
// on it, earlier positions shown from the record window, "Jouer d'ici", and the commands that end
// a game by agreement (resigning, the draw offer between two players at the mouse).
#include <QFrame>
#include <QString>
#include <utility>

#include "game/end_of_game.h"
#include "game/take_back.h"
#include "ui/Unit1.h"
#include "ui/record_window.h"

namespace zelbo {
namespace {

// The mark's own colour, neither the selection's yellow nor the hint's light blue: a frame inside
// each square the piece left or landed on, a smaller one inside the square of each piece it took.
const QColor kMarkColor(255, 64, 192);
constexpr int kMovedInset = 2;
constexpr int kTakenInset = 10;

// The note on the frame under the board while it shows a position of the record.
const QColor kNoteColor(255, 255, 215);
const QColor kNoteTextColor(0, 0, 0);

QString Sentence(std::string_view side) {
  QString text = QString::fromUtf8(side.data(), static_cast<qsizetype>(side.size()));
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}

// What a drawing changes of the canvas's settings is put back when it is done.
class KeptCanvasSettings {
 public:
  explicit KeptCanvasSettings(Canvas& canvas) : canvas_(canvas), kept_(canvas) {}
  ~KeptCanvasSettings() {
    canvas_.pen_color = kept_.pen_color;
    canvas_.brush_color = kept_.brush_color;
    canvas_.brush_style = kept_.brush_style;
    canvas_.font_color = kept_.font_color;
  }
  KeptCanvasSettings(const KeptCanvasSettings&) = delete;
  KeptCanvasSettings& operator=(const KeptCanvasSettings&) = delete;

 private:
  Canvas& canvas_;
  const Canvas kept_;
};

}  // namespace

// While the board shows a position of the record, the move that led to it; else the game's last
// move, once it was made after the last click on the board.
const RecordedMove* TForm1::MarkedMove() const {
  if (!DernierCoup1->isChecked()) return nullptr;
  const GameRecord& record = state_.record;
  if (shown_ply_) {
    const bool has_move = *shown_ply_ > 0 && *shown_ply_ <= record.size();
    return has_move ? &record[*shown_ply_ - 1] : nullptr;
  }
  const RecordedMove* last = record.LastMove();
  if (state_.game_over || last == nullptr) return nullptr;
  const bool seen_at_click =
      record.size() == plies_at_click_ && last_move_at_click_ && *last_move_at_click_ == *last;
  return seen_at_click ? nullptr : last;
}

void TForm1::DrawMoveMark(const RecordedMove& move) {
  Canvas& canvas = surface->canvas();
  const KeptCanvasSettings kept(canvas);
  canvas.pen_color = kMarkColor;
  canvas.brush_style = BrushStyle::kClear;
  FrameSquare(move.from, kMovedInset);
  for (const MoveStep& step : move.steps) {
    FrameSquare(step.landing, kMovedInset);
    if (!IsNoSquare(step.taken)) FrameSquare(step.taken, kTakenInset);
  }
  mark_drawn_ = move;
}

// A frame `inset` pixels inside the square, one pixel of pen wide.
void TForm1::FrameSquare(SquareRef s, int inset) {
  if (!OnBoard(s)) return;
  const int size = state_.square_size;
  const int left = (Column(s) - 1) * size + state_.board_origin + inset;
  const int top = (Row(s) - 1) * size + state_.board_origin + inset;
  surface->canvas().Rectangle(left, top, left + size - 2 * inset, top + size - 2 * inset);
}

// On the frame's bottom row, centred under the board.
void TForm1::DrawShownPositionNote() {
  const std::size_t moves = state_.record.size();
  const std::size_t shown = *shown_ply_;
  QString note = PositionName(state_.record, shown);
  note[0] = note[0].toUpper();
  if (state_.game_over && shown == moves) note = QStringLiteral("La position finale");
  Canvas& canvas = surface->canvas();
  const KeptCanvasSettings kept(canvas);
  const int size = state_.square_size;
  const QRect text = canvas.TextBox(0, 0, note);
  const int x = state_.board_origin + 4 * size - text.width() / 2;
  const int y = state_.board_origin + 8 * size + (size - text.height()) / 2;
  const QRect box = canvas.TextBox(x, y, note).adjusted(-4, -1, 4, 1);
  canvas.brush_color = kNoteColor;
  canvas.FillRect(box);
  canvas.brush_style = BrushStyle::kClear;
  canvas.pen_color = kMarkColor;
  canvas.Rectangle(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
  canvas.font_color = kNoteTextColor;
  canvas.TextOut(x, y, note);
}

// The mark stays until the next click on the board, which sets the last move aside as seen.
void TForm1::PutTheMarkAway() {
  const RecordedMove* last = state_.record.LastMove();
  plies_at_click_ = state_.record.size();
  last_move_at_click_ = last != nullptr ? std::optional<RecordedMove>(*last) : std::nullopt;
  if (mark_drawn_) RedrawKeepingTheHint();
}

void TForm1::ForgetTheClick() {
  plies_at_click_ = 0;
  last_move_at_click_.reset();
}

void TForm1::RedrawKeepingTheHint() {
  const std::optional<LevelMove> hint = hint_drawn_;
  DrawBoard();
  if (hint) DrawHint(*hint);
}

// A move that joins the record is drawn after it (the rules draw the board first), on top of what
// the click left there, the selection's ring included.
void TForm1::GameChanged() {
  const RecordedMove* move = MarkedMove();
  const bool mark_is_current =
      move != nullptr ? mark_drawn_ && *mark_drawn_ == *move : !mark_drawn_;
  if (!mark_is_current) {
    if (mark_drawn_) {
      RedrawKeepingTheHint();
    } else {
      DrawMoveMark(*move);
    }
  }
  if (record_window_ != nullptr) record_window_->Follow();
}

void TForm1::DernierCoup1Click() { GameChanged(); }

void TForm1::Partie1Click() {
  const bool first = record_window_ == nullptr;
  if (first) record_window_ = new RecordWindow(*this);
  record_window_->Follow();
  if (first) record_window_->move(frameGeometry().topRight() + QPoint(8, 0));
  record_window_->show();
  record_window_->raise();
  record_window_->activateWindow();
}

// The board shows the chosen position in place of the game; the about panel of a finished game
// makes way for it.
void TForm1::ShowPly(std::size_t plies) {
  const std::size_t moves = state_.record.size();
  if (plies > moves) return;
  if (plies == moves && !state_.game_over) return ShowTheGame();
  if (shown_ply_ == plies) return;
  shown_ply_ = plies;
  Panel1->hide();
  surface->Repaint();
  GameChanged();
}

void TForm1::ShowTheGame() {
  if (!shown_ply_) return;
  shown_ply_.reset();
  surface->Repaint();
  GameChanged();
}

// When the computer is to move in the position taken up, it answers at once.
void TForm1::PlayFromShownPosition() {
  if (WaitsForTheComputer([this] { PlayFromShownPosition(); })) return;
  if (!shown_ply_) return;
  const std::size_t plies = *shown_ply_;
  if (state_.game_over && plies == state_.record.size()) return;
  shown_ply_.reset();
  ForgetTheClick();
  GoToPly(state_, *this, plies);
  surface->Repaint();
  ComputerReplies();
  GameChanged();
}

// The side to move gives the game up, once asked whether it means it.
void TForm1::Abandonner1Click() {
  if (WaitsForTheComputer([this] { Abandonner1Click(); })) return;
  ShowTheGame();
  if (state_.game_over) return;
  const QString question = QStringLiteral("Abandonner la partie ? %1 la perdent.")
                               .arg(Sentence(SideName(state_.side_to_move)));
  if (!application_.dialogs().Question(this, QStringLiteral("Abandonner"), question)) return;
  Resign(state_, *this);
  GameChanged();
}

// Two players at one mouse: the side to move offers, the other one answers.
void TForm1::AskTheOtherPlayerForADraw() {
  const int side = state_.side_to_move;
  const QString question = QStringLiteral("%1 proposent la nulle. %2, acceptez-vous ?")
                               .arg(Sentence(SideName(side)), Sentence(SideName(-side)));
  if (application_.dialogs().Question(this, QStringLiteral("Proposer la nulle"), question)) {
    EndByAgreedDraw(state_, *this, false);
  } else {
    RefuseDraw(*this, false);
  }
  GameChanged();
}

}  // namespace zelbo
