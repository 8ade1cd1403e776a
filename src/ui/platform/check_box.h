// SPDX-License-Identifier: GPL-3.0-or-later
// A check box that toggles on a click anywhere in its area, as the platform's check boxes do, not
// only on its box and caption.
#pragma once

#include <QCheckBox>

namespace zelbo {

class CheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

}  // namespace zelbo
