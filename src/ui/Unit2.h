// The experience editor: the window in which patterns and their moves are drawn, browsed, added to
// the experience store and deleted.
#pragma once

#include <QWidget>

#include "ui/platform/application.h"
#include "ui/platform/canvas.h"

namespace zelbo {

class TForm1;

class TForm2 : public QWidget {
 public:
  TForm2(Application& application, TForm1& board_window);

  CanvasWidget* surface = nullptr;

 private:
  Application& application_;
  TForm1& board_window_;
};

}  // namespace zelbo
