// SPDX-License-Identifier: GPL-3.0-or-later
// The board window as zelbo-cli plays it: every event the rules ask of the window becomes one
// transcript line, and the check box, check mark, gauges and panel are plain values.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "game/board_window_port.h"

namespace zelbo {

// The text of a transcript line: "\" as "\\", CR as "\r", LF as "\n", other control characters as
// "\xHH"; everything else (UTF-8 included) as it stands.
std::string EscapeText(std::string_view text);

class CliPort : public BoardWindowPort {
 public:
  explicit CliPort(std::ostream& out) : out_(out) {}

  void DrawBoard() override {}
  void SetApplicationTitle(std::string_view title) override;
  void ShowMessage(std::string_view text) override;
  void ShowErrorDialog(std::string_view text) override;
  void SetGauges(int gauge1, int gauge2) override;
  void SetPanelVisible(bool visible) override;
  void SetTakeBackCaption(std::string_view caption) override { take_back_caption = caption; }
  bool IsComputerChecked() const override { return computer_checked; }
  bool IsExperienceChecked() const override { return experience_checked; }

  // The window's controls, as the commands set them.
  bool computer_checked = true;
  bool experience_checked = false;
  int gauge1 = 120;
  int gauge2 = 120;
  bool panel_visible = false;
  std::string take_back_caption = "0";

 private:
  void Line(std::string_view kind, std::string_view text);

  std::ostream& out_;
};

}  // namespace zelbo
