// SPDX-License-Identifier: GPL-3.0-or-later
// A window's caption and icon, which change about once a second while the program idles (the
// caption scrolls, the icon turns). Through Qt each change is a write of its own to the X server,
// the icon is converted again every time, and every write comes back as a property event that
// wakes the program twice. On X11 these functions write the window's properties themselves: the
// icon converted once, caption and icon in one batch, and the events of that batch held back
// without grabbing the server. On Wayland, where a window has no icon of its own, only the caption
// changes. Elsewhere, or before the window exists, they are Qt's setters.
//
// On X11, QWidget::windowTitle() and windowIcon() keep what was last set through Qt; a window that
// Qt makes anew shows that until the next change.
#pragma once

#include <QIcon>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

namespace zelbo {

// An icon with what X11 takes for it, worked out once; copies share it.
class TaskbarIcon {
 public:
  TaskbarIcon() = default;
  explicit TaskbarIcon(const QIcon& icon);

  const QIcon& icon() const { return icon_; }
  // For each size of the icon: width, height, then the pixels as 0xAARRGGBB. Empty elsewhere.
  const std::vector<uint32_t>& x11_property() const { return *x11_property_; }

 private:
  QIcon icon_;
  std::shared_ptr<const std::vector<uint32_t>> x11_property_ =
      std::make_shared<const std::vector<uint32_t>>();
};

void ShowCaptionAndIcon(QWidget* window, const QString& caption, const TaskbarIcon& icon);
void ShowIcon(QWidget* window, const TaskbarIcon& icon);

}  // namespace zelbo
