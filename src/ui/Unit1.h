// SPDX-License-Identifier: GPL-3.0-or-later
// The board window, the program's main window: it draws the framed board, turns mouse clicks into
// the player's moves and the computer's replies, carries the menus and commands, scrolls its
// caption, and takes on the look of a skin. It owns the game state; the rules reach it only through
// BoardWindowPort.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/levels.h"
#include "files/file_places.h"
#include "game/board_window_port.h"
#include "game/click_protocol.h"
#include "game/game_state.h"
#include "record/game_record.h"
#include "ui/platform/application.h"
#include "ui/platform/canvas.h"
#include "ui/platform/gauge.h"
#include "ui/platform/picture.h"
#include "ui/platform/picture_control.h"
#include "ui/platform/taskbar.h"
#include "ui/thinking.h"

class QAction;
class QCheckBox;
class QFrame;
class QMenu;
class QPushButton;
class QTimer;

namespace zelbo {

class RecordWindow;
class TForm2;
class TForm3;
class TForm4;

class TForm1 : public QMainWindow, public BoardWindowPort {
 public:
  // `saved_game` is the file named on the command line, opened at start, its name's bytes as they
  // were given; `file_places` says where the program's files are looked up and written (this
  // program's layout, or a test's folder).
  TForm1(Application& application, std::optional<std::filesystem::path> saved_game = std::nullopt,
         FilePlaces file_places = FilePlaces::OfThisProgram());
  ~TForm1() override;

  GameState& state() { return state_; }
  Application& application() { return application_; }

  // The other windows, created after this one.
  void SetWindows(TForm2* editor, TForm3* skins, TForm4* help);
  TForm2* editor() const { return editor_; }
  TForm3* skins() const { return skins_; }
  TForm4* help() const { return help_; }

  // What the rules ask of the window.
  void DrawBoard() override;
  void SetApplicationTitle(std::string_view title) override;
  void ShowMessage(std::string_view text) override;
  void ShowErrorDialog(std::string_view text) override;
  void SetGauges(int gauge1, int gauge2) override;
  void SetPanelVisible(bool visible) override;
  void SetTakeBackCaption(std::string_view caption) override;
  bool IsComputerChecked() const override;
  bool IsExperienceChecked() const override;

  // Event handlers, named after the control and the event.
  void FormPaint();
  void FormMouseUp(Qt::MouseButton button, int x, int y);
  void FormClick();
  void Nouvelle1Click();
  void open1Click();
  void Save1Click();
  void Quitter1Click();
  void empdexecution1Click();
  void Ordinateur1Click();
  void form21Click();
  void skin1Click();
  void Help1Click();
  void Aboute1Click();
  void Image1Click();
  void BitBtn1Click();
  void Timer1Timer();
  void sortiClick();
  void minimiserClick();
  void bskinsMouseDown(QPoint global);
  void bskinsDblClick();
  void bsauvegarderClick();
  void bouvrirClick();
  void LevelClick(int level);
  void Hint1Click();
  void SavePdn1Click();
  void openPdn1Click();
  void Abandonner1Click();
  void ProposerNulle1Click();
  void DernierCoup1Click();
  void Partie1Click();

  // The record window, made when "Outils > Partie" first shows it.
  RecordWindow* record_window() const { return record_window_; }
  // While it has a value, the board shows the position after that many moves of the record instead
  // of the game's, and cannot be played; after the end of a game it shows any of them, the final
  // one included.
  std::optional<std::size_t> shown_ply() const { return shown_ply_; }
  // Shows the position after `plies` moves of the record; the game's own position (the last one
  // while the game is on) is the game again.
  void ShowPly(std::size_t plies);
  // The board shows the game again.
  void ShowTheGame();
  // "Jouer d'ici": the game goes on from the position shown, the moves after it dropped.
  void PlayFromShownPosition();

  // The computer is thinking off the user-interface thread; what would change the game waits,
  // but for "Nouveau", "Ouvrir" and closing the window, which stop it.
  bool thinking() const { return thinking_->busy(); }

  // Applies the skin named `skin_name` (a folder of "SKIN" beside the program, its name's bytes as
  // the file system has them); false when a picture could not be read, after saying so.
  bool ApplySkin(const std::string& skin_name);

  // The controls, under their designed names.
  CanvasWidget* surface = nullptr;  // the client area and its canvas
  QCheckBox* Chec1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  Gauge* Gauge1 = nullptr;
  Gauge* Gauge2 = nullptr;
  QFrame* Panel1 = nullptr;
  PictureControl* Image1 = nullptr;
  PictureControl* bsauvegarder = nullptr;
  PictureControl* BOUVRIR = nullptr;
  PictureControl* MINIMISER = nullptr;
  PictureControl* bskins = nullptr;
  PictureControl* SORTI = nullptr;
  QTimer* Timer1 = nullptr;

  // The square pictures and the frame tile, never shown themselves.
  Picture Im0, Im1, Im2, Im3, Imm1, Imm2;
  Picture Imcadre;

  // The menus.
  QMenu* Fichier1 = nullptr;
  QMenu* Outils1 = nullptr;
  QMenu* Aide1 = nullptr;
  QAction* Nouvelle1 = nullptr;
  QAction* open1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Quitter1 = nullptr;
  QAction* Level1 = nullptr;  // the level chooser: its caption names the chosen level
  QMenu* Levels1 = nullptr;
  std::vector<QAction*> level_items;  // one a level, from level 1
  QAction* Experience1 = nullptr;
  QAction* empdexecution1 = nullptr;
  QAction* Ordinateur1 = nullptr;
  QAction* form21 = nullptr;
  QAction* skin1 = nullptr;
  QAction* Help1 = nullptr;
  QAction* Aboute1 = nullptr;
  QAction* Hint1 = nullptr;
  QAction* openPdn1 = nullptr;        // "Ouvrir une partie..."
  QAction* SavePdn1 = nullptr;        // "Enregistrer la partie..."
  QAction* Abandonner1 = nullptr;     // resign
  QAction* ProposerNulle1 = nullptr;  // offer a draw
  QAction* DernierCoup1 = nullptr;    // the last move marked, checked at start
  QAction* Partie1 = nullptr;         // the record window

  // The three icons of the caption's animation and the one shown now.
  std::array<QIcon, 3> ImageList1;
  uint8_t icon_index = 0;
  // The caption as it scrolls (windowTitle() may lag on X11: see platform/taskbar.h).
  QString caption;

  // The program's title, read from the about picture.
  QString title_string;

  // Where "braskel.exp", "help.eng" and "SKIN" are found, and where the store is written.
  const FilePlaces file_places;

 private:
  void CreateControls();
  void CreateMenus();
  void CreateWindowButtons();
  void LoadBuiltInPictures();
  void FormCreate(const std::optional<std::filesystem::path>& saved_game);

  void DrawCell(int x, int y, CellCode code);
  void WriteOnAboutPicture(const QString& text);
  void DrawSelectionRing();
  void RingSquare(SquareRef s, int inset);
  void DrawHint(const LevelMove& move);

  // ---- The game's record (game_record_view.cpp). ----
  // The move the mark shows now, if any.
  const RecordedMove* MarkedMove() const;
  void DrawMoveMark(const RecordedMove& move);
  void FrameSquare(SquareRef s, int inset);
  void DrawShownPositionNote();
  // A click on the board puts the mark away.
  void PutTheMarkAway();
  // The game was changed by other means than the board (a take-back, a game opened, going back to a
  // position): its last move is marked again, whatever the last click saw.
  void ForgetTheClick();
  // Draws the board again, with the hint that was on it.
  void RedrawKeepingTheHint();
  // After whatever may have changed the game: the mark of a move made since, and the record window.
  void GameChanged();
  void AskTheOtherPlayerForADraw();
  // "Ouvrir" and "Ouvrir une partie...": `open` opens the chosen file, false when nothing was.
  void OpenWithoutWaiting(const FileDialogOptions& dialog,
                          const std::function<bool(const std::filesystem::path&)>& open);

  // ---- The computer at its level (Unit1.cpp, after the handlers). ----
  Engine& engine();
  int32_t ThinkingTime() const;
  void ComputerReplies();
  void Think(Thinking::Search search, Thinking::Done done);
  // Ends a search at once, its move never played; true when one was running.
  bool StopThinking();
  bool WaitsForTheComputer(std::function<void()> command);
  void RunWaitingCommands();
  const Picture* SquarePicture(CellCode code) const;
  std::string SelectedSkin() const;

  Application& application_;
  GameState state_;
  TForm2* editor_ = nullptr;
  TForm3* skins_ = nullptr;
  TForm4* help_ = nullptr;
  QRect about_text_box_;  // where the scrolling text was last written on the about picture
  std::array<TaskbarIcon, 3> taskbar_icons_;  // ImageList1 as the window system takes it
  std::unique_ptr<Engine> engine_;            // made when a searching level first plays
  Thinking* thinking_ = nullptr;
  std::deque<std::function<void()>> waiting_;  // commands made while the computer thinks

  // ---- The game's record (game_record_view.cpp). ----
  // The game's last move when the board was last clicked: the mark shows a move made since.
  std::size_t plies_at_click_ = 0;
  std::optional<RecordedMove> last_move_at_click_;
  std::optional<RecordedMove> mark_drawn_;  // the move whose mark is on the canvas now
  std::optional<LevelMove> hint_drawn_;     // the hint on the canvas now
  std::optional<std::size_t> shown_ply_;
  RecordWindow* record_window_ = nullptr;

  // ---- Skins (skin_look.cpp): the skinned look's window takes the shape of what it draws. ----
  class WindowShape;
  WindowShape* window_shape_ = nullptr;
  // ---- end of skins ----
};

}  // namespace zelbo
