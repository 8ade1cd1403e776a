// SPDX-License-Identifier: GPL-3.0-or-later
// What the rules ask of the board window: one method per thing. The Qt window implements it with
// widgets and message boxes, zelbo-cli by printing transcript lines, the tests with a recorder.
#pragma once

#include <string_view>

namespace zelbo {

class BoardWindowPort {
 public:
  virtual ~BoardWindowPort() = default;

  // Draws the coordinates and, unless the game is over, every square.
  virtual void DrawBoard() = 0;
  // The application's title, which every message box takes as its caption.
  virtual void SetApplicationTitle(std::string_view title) = 0;
  // A modal message box with one OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // The modal message dialog of the error type, with one Yes button.
  virtual void ShowErrorDialog(std::string_view text) = 0;
  // The piece gauges: Gauge1 for side -1, Gauge2 for side +1, each on 0..120.
  virtual void SetGauges(int gauge1, int gauge2) = 0;
  // Shows or hides the about panel over the board.
  virtual void SetPanelVisible(bool visible) = 0;
  // The caption of the take-back button.
  virtual void SetTakeBackCaption(std::string_view caption) = 0;
  // The "Computer" check box: checked, the computer plays side +1.
  virtual bool IsComputerChecked() const = 0;
  // The "Experience" check mark: checked, the computer consults its experience store first.
  virtual bool IsExperienceChecked() const = 0;
};

}  // namespace zelbo
