// SPDX-License-Identifier: GPL-3.0-or-later
// What Qt leaves behind on a native window, put right. After Qt minimises a window on X11, the
// window's hints go on asking the window manager to map it minimised, also once the user has
// brought it back from the taskbar: a window hidden and shown again later (as a skin does) would
// go back to the taskbar by itself.
#pragma once

class QWidget;

namespace zelbo {

// Makes the window's next map a normal one. Nothing on other platforms.
void ClearMinimizedHint(QWidget* window);

}  // namespace zelbo
