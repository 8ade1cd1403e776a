// The help window: the list of questions; choosing one shows its answer.
#pragma once

#include <QWidget>

#include "ui/platform/application.h"

class QListWidget;

namespace zelbo {

class TForm4 : public QWidget {
 public:
  explicit TForm4(Application& application);

  QListWidget* ListBox1 = nullptr;

 private:
  Application& application_;
};

}  // namespace zelbo
