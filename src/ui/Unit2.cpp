#include "ui/Unit2.h"

#include <QVBoxLayout>

#include "ui/Unit1.h"

namespace zelbo {

TForm2::TForm2(Application& application, TForm1& board_window)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      application_(application),
      board_window_(board_window) {
  setWindowTitle(QStringLiteral("BRASKEL"));
  move(298, 199);
  setFixedSize(341, 333);
  surface = new CanvasWidget(this);
  surface->SetWindowColor(palette().color(QPalette::Button));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(surface);
}

}  // namespace zelbo
