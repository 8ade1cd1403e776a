// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/canvas.h"

#include <QChildEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace zelbo {
namespace {

QRect Corners(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
               QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
}

// The pixels of `image` one for one, whatever its device pixel ratio: outlines are laid on the
// device pixels themselves, so that one logical pixel of pen is a whole number of them.
QImage DevicePixels(QImage& image) {
  return QImage(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
}

int ToDevice(int logical, qreal ratio) { return qRound(logical * ratio); }

// The device pixels under the logical pixels of `box`.
QRect ToDevice(const QRect& box, qreal ratio) {
  return QRect(QPoint(ToDevice(box.left(), ratio), ToDevice(box.top(), ratio)),
               QPoint(ToDevice(box.right() + 1, ratio) - 1, ToDevice(box.bottom() + 1, ratio) - 1));
}

// A pen one logical pixel wide, in device pixels.
int PenWidth(qreal ratio) { return std::max(1, qRound(ratio)); }

// The path of an outline that fills the edge of `device_box` with a pen of `pen` pixels. Qt lays a
// pen of width w along an integer line over w / 2 pixels before it and the rest after it, so the
// box's first pixel x is covered by a path along x + w / 2; a one-pixel pen thus runs along the
// box's own first and last pixels.
QRect Outline(const QRect& device_box, int pen) {
  return QRect(device_box.x() + pen / 2, device_box.y() + pen / 2, device_box.width() - pen,
               device_box.height() - pen);
}

QPen DevicePen(QColor color, int width) {
  QPen pen(color, width);
  pen.setJoinStyle(Qt::MiterJoin);  // whole corners
  return pen;
}

}  // namespace

Canvas::Canvas(QImage* target, std::function<void(const QRect&)> changed)
    : target_(target), changed_(std::move(changed)) {}

void Canvas::Changed(const QRect& rect) const {
  if (changed_) changed_(rect);
}

qreal Canvas::Ratio() const { return target_->devicePixelRatio(); }

void Canvas::FillDevice(const QRect& box, QColor color) {
  QImage device = DevicePixels(*target_);
  QPainter(&device).fillRect(ToDevice(box, Ratio()), color);
}

// A picture made for a finer screen than the target's is drawn smoothed; a coarser one is
// enlarged pixel by pixel, as a bitmap of a skin always was.
void Canvas::Draw(int x, int y, const Picture& picture) {
  if (picture.isNull() || target_->isNull()) return;
  QPainter painter(target_);
  if (picture.image().devicePixelRatio() > Ratio()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
  }
  painter.drawImage(x, y, picture.Drawn());
  painter.end();
  Changed(QRect(x, y, picture.width(), picture.height()));
}

QRect Canvas::TextBox(int x, int y, const QString& text) const {
  const QFontMetrics metrics(font);
  return {x, y, metrics.horizontalAdvance(text), metrics.height()};
}

void Canvas::TextOut(int x, int y, const QString& text) {
  if (target_->isNull()) return;
  const QFontMetrics metrics(font);
  const QRect box = TextBox(x, y, text);
  if (brush_style == BrushStyle::kSolid) FillDevice(box, brush_color);
  QPainter painter(target_);
  painter.setFont(font);
  painter.setPen(font_color);
  painter.drawText(x, y + metrics.ascent(), text);
  painter.end();
  Changed(box);
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  const QRect box = Corners(x1, y1, x2, y2);
  const int pen = PenWidth(Ratio());
  QImage device = DevicePixels(*target_);
  QPainter painter(&device);
  painter.setPen(DevicePen(pen_color, pen));
  painter.setBrush(brush_style == BrushStyle::kSolid ? QBrush(brush_color) : Qt::NoBrush);
  painter.drawEllipse(Outline(ToDevice(box, Ratio()), pen));
  painter.end();
  Changed(box);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  const QRect box = Corners(x1, y1, x2, y2);
  if (brush_style == BrushStyle::kSolid) FillDevice(box, brush_color);
  const int pen = PenWidth(Ratio());
  QImage device = DevicePixels(*target_);
  QPainter painter(&device);
  painter.setPen(DevicePen(pen_color, pen));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(Outline(ToDevice(box, Ratio()), pen));
  painter.end();
  Changed(box);
}

void Canvas::FillRect(const QRect& rect) {
  if (target_->isNull()) return;
  FillDevice(rect, brush_color);
  Changed(rect);
}

// The line runs through the logical pixels of its two ends, both included.
void Canvas::Line(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  const qreal ratio = Ratio();
  const int pen = PenWidth(ratio);
  const auto at = [&](int x, int y) {
    return QPoint(ToDevice(x, ratio) + pen / 2, ToDevice(y, ratio) + pen / 2);
  };
  QImage device = DevicePixels(*target_);
  QPainter painter(&device);
  painter.setPen(DevicePen(pen_color, pen));
  painter.drawLine(at(x1, y1), at(x2, y2));
  painter.end();
  Changed(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                QPoint(std::max(x1, x2), std::max(y1, y2))));
}

CanvasWidget::CanvasWidget(QWidget* parent)
    : QWidget(parent),
      canvas_(&surface_,
              [this](const QRect& rect) {
                if (painting_) return;
                update(rect);
                if (drawn_handler_) drawn_handler_();
              }),
      window_color_(palette().color(QPalette::Window)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// The children outlive this part of the widget: their hiding while they are deleted is not watched.
CanvasWidget::~CanvasWidget() {
  for (QObject* child : children()) child->removeEventFilter(this);
}

void CanvasWidget::SetWindowColor(QColor color) { window_color_ = color; }

void CanvasWidget::Repaint() {
  EraseAndPaint();
  update();
}

void CanvasWidget::Invalidate() {
  needs_repaint_ = true;
  update();
}

bool CanvasWidget::SurfaceFits() const {
  return surface_.devicePixelRatio() == devicePixelRatio() &&
         surface_.size() == size() * devicePixelRatio();
}

void CanvasWidget::EraseAndPaint() {
  needs_repaint_ = false;
  if (!SurfaceFits()) {
    surface_ = QImage(size() * devicePixelRatio(), QImage::Format_RGB32);
    surface_.setDevicePixelRatio(devicePixelRatio());
  }
  surface_.fill(window_color_);
  painting_ = true;
  if (paint_handler_) paint_handler_();
  painting_ = false;
  if (drawn_handler_) drawn_handler_();
}

// A window moved to a screen of another device pixel ratio is repainted whole on a surface made
// for that screen.
bool CanvasWidget::event(QEvent* event) {
  bool screen_changed = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
  screen_changed |= event->type() == QEvent::DevicePixelRatioChange;
#endif
  if (screen_changed && !surface_.isNull() && !SurfaceFits()) Invalidate();
  return QWidget::event(event);
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
  if (needs_repaint_ || !SurfaceFits()) EraseAndPaint();
  const QRectF area = event->rect();
  const qreal ratio = surface_.devicePixelRatio();
  QPainter painter(this);
  painter.drawImage(area, surface_, QRectF(area.topLeft() * ratio, area.size() * ratio));
}

void CanvasWidget::resizeEvent(QResizeEvent* event) {
  needs_repaint_ = true;
  QWidget::resizeEvent(event);
}

void CanvasWidget::showEvent(QShowEvent* event) {
  needs_repaint_ = true;
  QWidget::showEvent(event);
}

void CanvasWidget::childEvent(QChildEvent* event) {
  if (event->added() && event->child()->isWidgetType()) event->child()->installEventFilter(this);
  QWidget::childEvent(event);
}

// A child control that is hidden uncovers the surface under it.
bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && isVisible()) Invalidate();
  return QWidget::eventFilter(watched, event);
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
  const bool on_child = childAt(event->position().toPoint()) != nullptr;
  pressed_on_child_.setFlag(event->button(), on_child);
  if (children_keep_clicks_ && on_child) return;
  if (event->button() == Qt::LeftButton) left_pressed_ = true;
}

// A click comes before the button's release, as the platform reports them.
void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  const bool child_pressed = pressed_on_child_.testFlag(event->button());
  pressed_on_child_.setFlag(event->button(), false);
  if (children_keep_clicks_ && child_pressed) return;
  if (event->button() == Qt::LeftButton && left_pressed_ && rect().contains(point) && on_click) {
    on_click();
  }
  if (event->button() == Qt::LeftButton) left_pressed_ = false;
  if (on_mouse_up) on_mouse_up(event->button(), point);
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  if (on_mouse_move) on_mouse_move(event->position().toPoint());
}

void CanvasWidget::keyReleaseEvent(QKeyEvent* event) {
  if (on_key_up) on_key_up(event->key());
  QWidget::keyReleaseEvent(event);
}

}  // namespace zelbo
