// SPDX-License-Identifier: GPL-3.0-or-later
// A list box whose click comes as the platform sends it: on every click on an item, the selected
// one included, and whenever the keyboard moves the selection; Enter and Space click the selected
// item as well.
#pragma once

#include <QListWidget>
#include <functional>

namespace zelbo {

class ListBox : public QListWidget {
 public:
  using QListWidget::QListWidget;

  std::function<void()> on_click;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Click();
};

}  // namespace zelbo
