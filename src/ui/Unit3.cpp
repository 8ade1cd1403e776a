#include "ui/Unit3.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/Unit1.h"

namespace zelbo {

TForm3::TForm3(Application& application, TForm1& board_window)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      application_(application),
      board_window_(board_window) {
  setWindowTitle(QStringLiteral("SKIN"));
  resize(191, 224);
  ListBox1 = new QListWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox1);
}

QString TForm3::SelectedSkin() const {
  const QListWidgetItem* item = ListBox1->currentItem();
  return item != nullptr ? item->text() : QString();
}

}  // namespace zelbo
