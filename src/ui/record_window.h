// SPDX-License-Identifier: GPL-3.0-or-later
// The record window ("Outils > Partie"): the moves of the game, numbered, one line a move below a
// first line for the position the game started from. The line of the position the board shows is
// highlighted; choosing another line (a click, the arrow keys, the four buttons) shows that
// position on the board, which cannot be played meanwhile, and "Jouer d'ici" goes on with the game
// from it. It follows the game as it is played.
#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace zelbo {

class GameRecord;
class TForm1;

// The line of a move in the list: "1. D6-C5", "1... C3-D4".
QString MoveLine(const GameRecord& record, std::size_t ply);

// Where the board stands after `plies` moves, in words: "le début de la partie", "la position après
// 1. D6-C5".
QString PositionName(const GameRecord& record, std::size_t plies);

class RecordWindow : public QWidget {
 public:
  explicit RecordWindow(TForm1& board);

  // Shows the game's record as it is now, and the line of the position on the board.
  void Follow();

  // The position after `plies` moves on the board: the first, previous, next and last buttons.
  void Choose(std::size_t plies);
  void FirstClick();
  void PreviousClick();
  void NextClick();
  void LastClick();
  void PlayFromClick();

  QListWidget* Moves = nullptr;
  QLabel* Status = nullptr;
  QPushButton* First = nullptr;
  QPushButton* Previous = nullptr;
  QPushButton* Next = nullptr;
  QPushButton* Last = nullptr;
  QPushButton* PlayFrom = nullptr;

 protected:
  // Put away, the window leaves the board to the game.
  void hideEvent(QHideEvent* event) override;
  // The arrow keys, Home and End page through the positions, wherever the keyboard is.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool PageWithKey(int key);
  void CreateControls();
  // The line of the position the board shows.
  std::size_t ShownPlies() const;
  void ShowWhatIsShown(std::size_t shown);

  TForm1& board_;
  std::vector<QString> lines_;  // the lines the list holds
};

}  // namespace zelbo
