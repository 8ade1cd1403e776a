// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace zelbo {

void ListBox::Click() {
  if (on_click) on_click();
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr) Click();
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const int row = currentRow();
  QListWidget::keyPressEvent(event);
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space ||
      currentRow() != row) {
    Click();
  }
}

}  // namespace zelbo
