// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/gauge.h"

#include <QPainter>
#include <algorithm>

namespace zelbo {

Gauge::Gauge(QWidget* parent, QColor back_color, QColor fore_color)
    : QWidget(parent), back_color_(back_color), fore_color_(fore_color) {}

void Gauge::SetMaxValue(int max_value) {
  max_value_ = std::max(max_value, 0);
  SetProgress(progress_);
}

void Gauge::SetProgress(int progress) {
  progress_ = std::clamp(progress, 0, max_value_);
  update();
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), back_color_);
  if (max_value_ == 0) return;
  const int filled = width() * progress_ / max_value_;
  painter.fillRect(QRect(0, 0, filled, height()), fore_color_);
}

}  // namespace zelbo
