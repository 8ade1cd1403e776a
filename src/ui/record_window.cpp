// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/record_window.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "record/game_record.h"
#include "ui/Unit1.h"

namespace zelbo {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The first line, for the position the game started from, then "1. D6-C5", "1... C3-D4"...
std::vector<QString> LinesOf(const GameRecord& record) {
  std::vector<QString> lines{QStringLiteral("Début de la partie")};
  for (std::size_t ply = 0; ply < record.size(); ++ply) lines.push_back(MoveLine(record, ply));
  return lines;
}

// What the board shows, in words.
QString StatusText(const GameState& state, std::size_t shown, bool browsing) {
  const std::size_t moves = state.record.size();
  if (state.game_over) {
    const QString ended =
        QStringLiteral("Partie terminée (%1)").arg(FromUtf8(ResultText(state.record.result())));
    if (!browsing) return ended + QStringLiteral(". Choisissez un coup pour revoir sa position.");
    if (shown == moves) return ended + QStringLiteral(" : la position finale.");
    return ended + QStringLiteral(" : ") + PositionName(state.record, shown) + QStringLiteral(".");
  }
  if (!browsing) return QStringLiteral("La partie en cours.");
  // The button's name is kept on one line.
  return QStringLiteral("Le plateau montre ") + PositionName(state.record, shown) +
         QStringLiteral(
             " et ne se joue pas. «\u00A0Jouer\u00A0d'ici\u00A0» reprend la partie "
             "de là.");
}

QString Caption(const GameState& state, bool browsing) {
  if (state.game_over) return QStringLiteral("Partie terminée");
  return browsing ? QStringLiteral("Partie : position antérieure") : QStringLiteral("Partie");
}

QPushButton* IconButton(QWidget* parent, QStyle::StandardPixmap icon, const char* hint) {
  auto* button = new QPushButton(parent);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(QString::fromUtf8(hint));
  return button;
}

}  // namespace

QString MoveLine(const GameRecord& record, std::size_t ply) {
  return FromUtf8(MoveNumber(record, ply) + " " + MoveNotation(record[ply]));
}

QString PositionName(const GameRecord& record, std::size_t plies) {
  if (plies == 0) return QStringLiteral("le début de la partie");
  return QStringLiteral("la position après ") + MoveLine(record, plies - 1);
}

RecordWindow::RecordWindow(TForm1& board) : QWidget(&board, Qt::Window), board_(board) {
  setWindowTitle(QStringLiteral("Partie"));
  setAttribute(Qt::WA_QuitOnClose, false);
  CreateControls();
  resize(240, 360);
  board.application().TakeApplicationIcon(this);
}

void RecordWindow::CreateControls() {
  Moves = new QListWidget(this);
  Moves->setSelectionMode(QAbstractItemView::SingleSelection);
  Moves->setUniformItemSizes(true);
  // A line chosen by a click or a key; a click on the line already chosen shows it too, as after
  // the end of a game, when the last line is chosen without the board showing it yet.
  connect(Moves, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) Choose(static_cast<std::size_t>(row));
  });
  connect(Moves, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { Choose(static_cast<std::size_t>(Moves->row(item))); });

  Status = new QLabel(this);
  Status->setWordWrap(true);

  First = IconButton(this, QStyle::SP_MediaSkipBackward, "Début de la partie (Début)");
  Previous = IconButton(this, QStyle::SP_MediaSeekBackward, "Coup précédent (flèche gauche)");
  Next = IconButton(this, QStyle::SP_MediaSeekForward, "Coup suivant (flèche droite)");
  Last = IconButton(this, QStyle::SP_MediaSkipForward, "Dernier coup (Fin)");
  PlayFrom = new QPushButton(QStringLiteral("Jouer d'ici"), this);
  PlayFrom->setToolTip(QStringLiteral("Reprendre la partie à la position montrée"));
  connect(First, &QPushButton::clicked, this, [this] { FirstClick(); });
  connect(Previous, &QPushButton::clicked, this, [this] { PreviousClick(); });
  connect(Next, &QPushButton::clicked, this, [this] { NextClick(); });
  connect(Last, &QPushButton::clicked, this, [this] { LastClick(); });
  connect(PlayFrom, &QPushButton::clicked, this, [this] { PlayFromClick(); });

  // The list's own keys would only move its highlight; they page through the positions instead.
  Moves->installEventFilter(this);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {First, Previous, Next, Last}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Moves);
  layout->addWidget(Status);
  layout->addLayout(buttons);
  layout->addWidget(PlayFrom);
}

std::size_t RecordWindow::ShownPlies() const {
  return board_.shown_ply().value_or(board_.state().record.size());
}

void RecordWindow::Choose(std::size_t plies) { board_.ShowPly(plies); }

void RecordWindow::FirstClick() { Choose(0); }

void RecordWindow::PreviousClick() {
  const std::size_t shown = ShownPlies();
  if (shown > 0) Choose(shown - 1);
}

void RecordWindow::NextClick() { Choose(std::min(ShownPlies() + 1, board_.state().record.size())); }

void RecordWindow::LastClick() { Choose(board_.state().record.size()); }

void RecordWindow::PlayFromClick() { board_.PlayFromShownPosition(); }

void RecordWindow::Follow() {
  std::vector<QString> lines = LinesOf(board_.state().record);
  if (lines != lines_) {
    const QSignalBlocker quiet(Moves);
    Moves->clear();
    for (const QString& line : lines) Moves->addItem(line);
    lines_ = std::move(lines);
  }
  ShowWhatIsShown(ShownPlies());
}

void RecordWindow::ShowWhatIsShown(std::size_t shown) {
  const GameState& state = board_.state();
  const bool browsing = board_.shown_ply().has_value();
  {
    const QSignalBlocker quiet(Moves);
    Moves->setCurrentRow(static_cast<int>(shown));
  }
  if (QListWidgetItem* item = Moves->currentItem()) Moves->scrollToItem(item);
  setWindowTitle(Caption(state, browsing));
  Status->setText(StatusText(state, shown, browsing));
  const std::size_t moves = state.record.size();
  First->setEnabled(shown > 0);
  Previous->setEnabled(shown > 0);
  Next->setEnabled(shown < moves);
  Last->setEnabled(shown < moves || (state.game_over && !browsing));
  // The last position of a finished game has nothing to go on with.
  PlayFrom->setEnabled(browsing && !(state.game_over && shown == moves));
}

bool RecordWindow::PageWithKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      PreviousClick();
      return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
      NextClick();
      return true;
    case Qt::Key_Home:
      FirstClick();
      return true;
    case Qt::Key_End:
      LastClick();
      return true;
    default:
      return false;
  }
}

bool RecordWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && PageWithKey(static_cast<QKeyEvent*>(event)->key())) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// The keys that the buttons leave to the window.
void RecordWindow::keyPressEvent(QKeyEvent* event) {
  if (!PageWithKey(event->key())) QWidget::keyPressEvent(event);
}

void RecordWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) board_.ShowTheGame();
}

}  // namespace zelbo
