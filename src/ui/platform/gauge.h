// SPDX-License-Identifier: GPL-3.0-or-later
// A gauge: a bar filled in proportion to its progress on 0..max, without text or border.
#pragma once

#include <QColor>
#include <QWidget>

namespace zelbo {

class Gauge : public QWidget {
 public:
  Gauge(QWidget* parent, QColor back_color, QColor fore_color);

  int max_value() const { return max_value_; }
  void SetMaxValue(int max_value);

  int progress() const { return progress_; }
  // Keeps the value within 0..max, as a gauge does.
  void SetProgress(int progress);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor back_color_;
  QColor fore_color_;
  int max_value_ = 100;
  int progress_ = 0;
};

}  // namespace zelbo
