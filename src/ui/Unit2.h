// The experience editor: the window in which patterns and their moves are drawn, browsed, added to
// the experience store and deleted.
#pragma once

#include <QWidget>

#include "ui/platform/application.h"
#include "ui/platform/canvas.h"
#include "ui/platform/picture.h"

namespace zelbo {

class TForm1;

class TForm2 : public QWidget {
 public:
  TForm2(Application& application, TForm1& board_window);

  CanvasWidget* surface = nullptr;

  // The pictures of the three wildcards, never shown themselves. A skin in the skinned look
  // replaces Imageamie.
  Picture exclama, omage_enmi, Imageamie;

 private:
  Application& application_;
  TForm1& board_window_;
};

}  // namespace zelbo
