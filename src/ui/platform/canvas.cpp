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

}  // namespace

Canvas::Canvas(QImage* target, std::function<void(const QRect&)> changed)
    : target_(target), changed_(std::move(changed)) {}

void Canvas::Changed(const QRect& rect) const {
  if (changed_) changed_(rect);
}

void Canvas::Draw(int x, int y, const Picture& picture) {
  if (picture.isNull() || target_->isNull()) return;
  QPainter painter(target_);
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
  QPainter painter(target_);
  if (brush_style == BrushStyle::kSolid) painter.fillRect(box, brush_color);
  painter.setFont(font);
  painter.setPen(font_color);
  painter.drawText(x, y + metrics.ascent(), text);
  painter.end();
  Changed(box);
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  const QRect box = Corners(x1, y1, x2, y2);
  QPainter painter(target_);
  painter.setPen(pen_color);
  painter.setBrush(brush_style == BrushStyle::kSolid ? QBrush(brush_color) : Qt::NoBrush);
  // With a one-pixel pen Qt's ellipse of width w covers w + 1 pixels.
  painter.drawEllipse(box.adjusted(0, 0, -1, -1));
  painter.end();
  Changed(box);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  const QRect box = Corners(x1, y1, x2, y2);
  QPainter painter(target_);
  if (brush_style == BrushStyle::kSolid) painter.fillRect(box, brush_color);
  painter.setPen(pen_color);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  painter.end();
  Changed(box);
}

void Canvas::FillRect(const QRect& rect) {
  if (target_->isNull()) return;
  QPainter painter(target_);
  painter.fillRect(rect, brush_color);
  painter.end();
  Changed(rect);
}

void Canvas::Line(int x1, int y1, int x2, int y2) {
  if (target_->isNull()) return;
  QPainter painter(target_);
  painter.setPen(pen_color);
  painter.drawLine(x1, y1, x2, y2);
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

void CanvasWidget::EraseAndPaint() {
  needs_repaint_ = false;
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
  surface_.fill(window_color_);
  painting_ = true;
  if (paint_handler_) paint_handler_();
  painting_ = false;
  if (drawn_handler_) drawn_handler_();
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
  if (needs_repaint_ || surface_.size() != size()) EraseAndPaint();
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
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
