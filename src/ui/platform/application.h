// The application object the windows share: its title, which every message box takes as its
// caption (it is not Qt's display name), and the dialogs they are shown with.
#pragma once

#include <QString>

#include "ui/platform/dialogs.h"

class QWidget;

namespace zelbo {

class Application {
 public:
  explicit Application(Dialogs& dialogs) : dialogs_(dialogs) {}

  Dialogs& dialogs() { return dialogs_; }

  const QString& title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  // A message box captioned with the application's title.
  void ShowMessage(QWidget* parent, const QString& text) {
    dialogs_.ShowMessage(parent, title_, text);
  }

 private:
  Dialogs& dialogs_;
  QString title_;
};

}  // namespace zelbo
