// The skin chooser: the list of the skin folders beside the program; choosing one applies it to
// the board window.
#pragma once

#include <QString>
#include <QWidget>

#include "ui/platform/application.h"

class QListWidget;

namespace zelbo {

class TForm1;

class TForm3 : public QWidget {
 public:
  TForm3(Application& application, TForm1& board_window);

  // The name of the selected skin, empty when none is selected.
  QString SelectedSkin() const;

  QListWidget* ListBox1 = nullptr;

 private:
  Application& application_;
  TForm1& board_window_;
};

}  // namespace zelbo
