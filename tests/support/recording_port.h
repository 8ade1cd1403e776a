// SPDX-License-Identifier: GPL-3.0-or-later
// A BoardWindowPort that writes down everything the rules ask of the window, one line an event, in
// the words of zelbo-cli's transcript, so that tests can compare what a player would have seen.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/board_window_port.h"

namespace zelbo::testing {

class RecordingPort : public BoardWindowPort {
 public:
  bool computer_checked = false;
  bool experience_checked = false;
  bool record_draws = false;  // "draw" lines are noise in most tests
  int gauge1 = 120;
  int gauge2 = 120;
  bool panel_visible = false;
  std::string take_back_caption = "0";
  std::string title;
  std::vector<std::string> events;

  void DrawBoard() override {
    if (record_draws) events.push_back("draw");
  }
  void SetApplicationTitle(std::string_view text) override {
    title = text;
    events.push_back("title " + title);
  }
  void ShowMessage(std::string_view text) override {
    events.push_back("message " + std::string(text));
  }
  void ShowErrorDialog(std::string_view text) override {
    events.push_back("error-dialog " + std::string(text));
  }
  void SetGauges(int g1, int g2) override {
    gauge1 = g1;
    gauge2 = g2;
    events.push_back("gauges " + std::to_string(g1) + " " + std::to_string(g2));
  }
  void SetPanelVisible(bool visible) override {
    panel_visible = visible;
    events.push_back(visible ? "panel shown" : "panel hidden");
  }
  void SetTakeBackCaption(std::string_view caption) override { take_back_caption = caption; }
  bool IsComputerChecked() const override { return computer_checked; }
  bool IsExperienceChecked() const override { return experience_checked; }

  // The events recorded since the last call, and forgets them.
  std::vector<std::string> Take() { return std::exchange(events, {}); }
};

}  // namespace zelbo::testing
