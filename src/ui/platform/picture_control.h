// SPDX-License-Identifier: GPL-3.0-or-later
// A picture on a window that takes clicks: the about picture, and the window buttons of the
// skinned look. It draws its picture at its own size from the top-left corner, or stretched over
// the whole control, leaving out the key colour when the picture is transparent.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "ui/platform/canvas.h"
#include "ui/platform/picture.h"

namespace zelbo {

class PictureControl : public QWidget {
 public:
  explicit PictureControl(QWidget* parent = nullptr);

  Picture& picture() { return picture_; }
  const Picture& picture() const { return picture_; }
  void SetPicture(Picture picture);

  // Drawing onto the picture itself; the control shows each change.
  Canvas& canvas() { return canvas_; }

  void SetStretch(bool stretch);

  std::function<void()> on_click;
  std::function<void()> on_double_click;
  std::function<void(Qt::MouseButton)> on_mouse_down;
  // The left button pressed to drag the window by the control, once a press. The window system
  // takes the pointer for the drag until the button is let go, so that Qt sees no double click:
  // a second press within the double-click time is then the double click, and starts no drag.
  std::function<void(QPoint global)> on_drag_start;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void DragOrDoubleClick(quint64 time, QPoint global);

  Picture picture_;
  Canvas canvas_;
  bool stretch_ = false;
  bool pressed_ = false;
  std::optional<quint64> drag_press_;  // the time of the last press that started a drag
  bool double_clicked_ = false;        // the press was the second of a double click
};

}  // namespace zelbo
