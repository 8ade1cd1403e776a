#include "ui/Unit4.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace zelbo {

TForm4::TForm4(Application& application) : QWidget(nullptr, Qt::Window), application_(application) {
  setWindowTitle(QStringLiteral("HELP"));
  resize(342, 210);
  ListBox1 = new QListWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox1);
}

}  // namespace zelbo
