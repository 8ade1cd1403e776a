// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: the list of the eight questions; choosing one shows its answer, read from the
// answers text ("help.eng" beside the program, or the built-in text).
#pragma once

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/platform/application.h"
#include "ui/platform/list_box.h"

namespace zelbo {

class TForm4 : public QWidget {
 public:
  TForm4(Application& application, const std::filesystem::path& files_folder);

  // Shows the answer to question n in a message box captioned with the question.
  void ShowHelpTopic(uint8_t n);

  void ListBox1Click();

  ListBox* ListBox1 = nullptr;
  // The lines of the answers text (the designed hidden memo).
  std::vector<std::string> Memo1;

 private:
  void FormCreate(const std::filesystem::path& files_folder);

  Application& application_;
};

}  // namespace zelbo
