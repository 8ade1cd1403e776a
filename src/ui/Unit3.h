// SPDX-License-Identifier: GPL-3.0-or-later
// The skin chooser: the list of the skins beside the program, filled once when the program starts;
// selecting one applies it to the board window at once.
#pragma once

#include <QWidget>
#include <string>

#include "ui/platform/application.h"
#include "ui/platform/list_box.h"

namespace zelbo {

class TForm1;

class TForm3 : public QWidget {
 public:
  TForm3(Application& application, TForm1& board_window);

  // The folder name of the selected skin, as the file system's bytes; empty when none is selected.
  std::string SelectedSkin() const;

  // Event handlers, named after the control and the event.
  void ListBox1Click();
  void ListBox1KeyDown(int key);

  ListBox* ListBox1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();

  Application& application_;
  TForm1& board_window_;
};

}  // namespace zelbo
