// SPDX-License-Identifier: GPL-3.0-or-later
// What Qt leaves behind on a native window, put right. After Qt minimises a window on X11, the
// window's hints go on asking the window manager to map it minimised, also once the user has
// brought it back from the taskbar: a window hidden and shown again later (as a skin does) would
// go back to the taskbar by itself.
#pragma once

#include <QPoint>

class QWidget;

namespace zelbo {

// Makes the window's next map a normal one. Nothing on other platforms.
void ClearMinimizedHint(QWidget* window);

// Starts moving the window with the pointer, as by its title bar, from the press of the left
// button at `global`. On X11 the window manager is told the press's own place on the screen: Qt
// tells it a place worked out from where it last knew the window to be, which for a window that a
// skin made anew may be the corner of the screen, and the window then jumped by that distance.
void StartSystemMove(QWidget* window, QPoint global);

}  // namespace zelbo
