// SPDX-License-Identifier: GPL-3.0-or-later
// The experience editor: the window in which patterns and their moves are drawn, browsed, added to
// the experience store and deleted. It draws the pattern with the board window's square pictures,
// at the board window's origin and square size, straight onto its canvas; the rules of the move
// check, of the pop-up menu and of paging live in the library. The store's messages are the
// editor's own boxes; everything else the store asks of a window is the board window's.
#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "experience/experience_record.h"
#include "files/file_places.h"
#include "game/board.h"
#include "game/game_state.h"
#include "ui/platform/application.h"
#include "ui/platform/canvas.h"
#include "ui/platform/picture.h"

class QAction;
class QMenu;
class QShowEvent;
class QToolButton;

namespace zelbo {

class TForm1;

class TForm2 : public QWidget {
 public:
  // Loads the store "braskel.exp" from where the board window's file places say.
  TForm2(Application& application, TForm1& board_window);
  ~TForm2() override;

  // Event handlers, named after the control and the event.
  void FormPaint();
  void FormMouseMove(int x, int y);
  void FormKeyUp(int key);
  void PopupMenu1Popup();
  void pasimportClick();
  void videClick();
  void enmieClick();
  void amieClick();
  void dimeenmi1Click();
  void dimamie1Click();
  void amie2Click();
  void enmie2Click();
  void from1Click();
  void to1Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();

  // The square under a pixel of the client area, or 0. The board's right and bottom edge lines
  // belong to no square.
  SquareRef PointToSquare(int x, int y) const;
  // The picture of a code at the top-left corner of the square that holds (x, y).
  void DrawCellPicture(int x, int y, CellCode code);
  // The labels, the 64 squares of the pattern and the marks of its move.
  void DrawPatternBoard(const Board& pattern, SquareRef from, SquareRef to, SquareRef captured);
  // Writes a code on the square under the mouse and draws the pattern again.
  void SetCodeUnderMouse(CellCode code);

  // The controls, under their designed names.
  CanvasWidget* surface = nullptr;      // the client area and its canvas
  QToolButton* SpeedButton1 = nullptr;  // add
  QToolButton* SpeedButton2 = nullptr;  // previous
  QToolButton* SpeedButton3 = nullptr;  // delete
  QToolButton* SpeedButton4 = nullptr;  // next
  QMenu* PopupMenu1 = nullptr;
  QAction* pasimport = nullptr;
  QAction* vide = nullptr;
  QAction* enmie = nullptr;
  QAction* amie = nullptr;
  QAction* dimeenmi1 = nullptr;
  QAction* dimamie1 = nullptr;
  QAction* amie2 = nullptr;
  QAction* enmie2 = nullptr;
  QAction* from1 = nullptr;
  QAction* to1 = nullptr;
  std::array<QIcon, 8> ImageList1;  // the pictures of the menu's first eight items

  // The pictures of the three wildcards, never shown themselves. A skin in the skinned look
  // replaces Imageamie.
  Picture exclama, omage_enmi, Imageamie;

  // Where the mouse last moved, and the square there (0 off the board).
  int32_t mouse_x = 0;
  int32_t mouse_y = 0;
  SquareRef square_under_mouse = 0;

 protected:
  // Shown again after being hidden, the window repaints itself with the pictures of the moment.
  void showEvent(QShowEvent* event) override;

 private:
  class StorePort;

  void CreateControls();
  void CreateSpeedButtons();
  void CreatePopupMenu();
  void LoadPictures();
  void FormCreate();
  void OpenPopupMenu(QPoint global_position);

  GameState& state();
  const Picture* CellPicture(CellCode code) const;
  void DrawRecord(const ExperienceRecord& record);
  void ShowIndexInCaption();
  void SaveStore();

  Application& application_;
  TForm1& board_window_;
  const UserFilePlace store_;
  std::unique_ptr<StorePort> store_port_;
};

}  // namespace zelbo
