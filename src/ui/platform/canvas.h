// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the way the windows were designed to draw: straight onto a surface that keeps what was
// drawn until something paints over it. Texts are placed by the top-left corner of their box; a
// rectangle or ellipse from (x1, y1) to (x2, y2) covers x1..x2-1 and y1..y2-1, outline included.
// Coordinates are logical pixels: on a surface made for a screen of device pixel ratio 2, a
// logical pixel is 2 x 2 of the surface's own, an outline is one logical pixel wide, and texts and
// pictures made for that screen keep their finer detail.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

#include "ui/platform/picture.h"

namespace zelbo {

enum class BrushStyle { kSolid, kClear };

class Canvas {
 public:
  // Draws into `target`; `changed` is told the area of every drawing call.
  explicit Canvas(QImage* target, std::function<void(const QRect&)> changed = {});

  QColor pen_color = Qt::black;
  QColor brush_color = Qt::white;
  BrushStyle brush_style = BrushStyle::kSolid;
  QFont font;
  QColor font_color = Qt::black;

  // The picture at its own size, its key colour left out when it is transparent.
  void Draw(int x, int y, const Picture& picture);
  void TextOut(int x, int y, const QString& text);
  // The box that TextOut fills behind the text with a solid brush.
  QRect TextBox(int x, int y, const QString& text) const;
  void Ellipse(int x1, int y1, int x2, int y2);
  void Rectangle(int x1, int y1, int x2, int y2);
  void FillRect(const QRect& rect);  // in the brush colour, no outline
  void Line(int x1, int y1, int x2, int y2);

 private:
  void Changed(const QRect& rect) const;
  qreal Ratio() const;
  // Fills the device pixels under a logical box.
  void FillDevice(const QRect& box, QColor color);

  QImage* target_;
  std::function<void(const QRect&)> changed_;
};

// A widget whose surface is a Canvas. A real repaint first fills the surface with the window colour
// and then runs the window's paint handler, as the platform's erase-then-paint would; drawing
// between repaints just shows. Real repaints come with every show and resize, when a child control
// is hidden (it uncovers what it hid), when Invalidate() says the window was uncovered, and with
// Repaint().
class CanvasWidget : public QWidget {
  Q_OBJECT  // for qobject_cast and findChildren

      public : explicit CanvasWidget(QWidget* parent = nullptr);
  ~CanvasWidget() override;

  Canvas& canvas() { return canvas_; }
  // What the window shows, in the screen's own pixels: the client area's size times the device
  // pixel ratio, so at ratio 1 a pixel of the surface is a pixel of the client area.
  const QImage& surface() const { return surface_; }

  // The colour the surface is erased with before a real repaint.
  void SetWindowColor(QColor color);
  QColor window_color() const { return window_color_; }

  // The paint handler of the window (its FormPaint).
  void SetPaintHandler(std::function<void()> handler) { paint_handler_ = std::move(handler); }

  // Erases and repaints now, as a window does when it is told to repaint itself.
  void Repaint();
  // Erases and repaints at the next paint: the window was uncovered.
  void Invalidate();

  // When set, a click on a child control is the control's alone: presses that a control passes
  // on (a right click on a button, any click on a gauge) and their releases reach neither
  // on_click nor on_mouse_up.
  void SetChildrenKeepTheirClicks(bool keep) { children_keep_clicks_ = keep; }

  // Called after every change of what is drawn (for the window's shape, for instance).
  void SetDrawnHandler(std::function<void()> handler) { drawn_handler_ = std::move(handler); }

  // The window's own mouse and key events, in client coordinates.
  std::function<void()> on_click;  // the left button pressed and released over the surface
  std::function<void(Qt::MouseButton, QPoint)> on_mouse_up;
  std::function<void(QPoint)> on_mouse_move;
  std::function<void(int key)> on_key_up;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void childEvent(QChildEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void EraseAndPaint();
  // Whether the surface has the client area's size at the screen's device pixel ratio.
  bool SurfaceFits() const;

  QImage surface_;
  Canvas canvas_;
  QColor window_color_;
  std::function<void()> paint_handler_;
  std::function<void()> drawn_handler_;
  bool needs_repaint_ = true;
  bool painting_ = false;
  bool left_pressed_ = false;
  bool children_keep_clicks_ = false;
  Qt::MouseButtons pressed_on_child_;  // the buttons whose press a child control passed on
};

}  // namespace zelbo
