// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/picture_control.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>

namespace zelbo {

PictureControl::PictureControl(QWidget* parent)
    : QWidget(parent), canvas_(&picture_.image(), [this](const QRect&) { update(); }) {}

void PictureControl::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  update();
}

void PictureControl::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void PictureControl::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  const QImage drawn = picture_.Drawn();
  if (stretch_) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), drawn);
  } else {
    painter.drawImage(0, 0, drawn);
  }
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  double_clicked_ = false;
  if (on_mouse_down) on_mouse_down(event->button());
  if (pressed_ && on_drag_start) {
    DragOrDoubleClick(event->timestamp(), event->globalPosition().toPoint());
  }
}

void PictureControl::DragOrDoubleClick(quint64 time, QPoint global) {
  const auto interval =
      static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  if (drag_press_ && time - *drag_press_ <= interval) {
    drag_press_.reset();
    double_clicked_ = true;
    if (on_double_click) on_double_click();
    return;
  }
  drag_press_ = time;
  on_drag_start(global);
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
  const bool clicked =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (clicked && on_click) on_click();
}

void PictureControl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !double_clicked_ && on_double_click) on_double_click();
}

}  // namespace zelbo
