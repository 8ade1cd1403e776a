// SPDX-License-Identifier: GPL-3.0-or-later
// The application object the windows share: its title, which every message box takes as its
// caption (it is not Qt's display name), the dialogs they are shown with, and minimising, which
// takes every window of the program to the taskbar at once.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "ui/platform/dialogs.h"
#include "ui/platform/taskbar.h"

class QWidget;

namespace zelbo {

class Application {
 public:
  explicit Application(Dialogs& dialogs) : dialogs_(dialogs) {}

  Dialogs& dialogs() { return dialogs_; }

  const QString& title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  // A message box captioned with the application's title.
  void ShowMessage(QWidget* parent, const QString& text) {
    dialogs_.ShowMessage(parent, title_, text);
  }

  // The application's icon, which the windows that have none of their own show. Only those on the
  // screen take it at once; a hidden one takes it when it is shown.
  const QIcon& icon() const { return icon_.icon(); }
  void SetIcon(const TaskbarIcon& icon);
  void TakeApplicationIcon(QWidget* window);

  // Minimises the main window and every other window of the program that is on the screen.
  void Minimize(QWidget* main_window);
  // The main window is back from the taskbar: the windows minimised with it come back too.
  void RestoreMinimized();

 private:
  Dialogs& dialogs_;
  QString title_;
  TaskbarIcon icon_;
  std::vector<QPointer<QWidget>> icon_takers_;
  std::vector<QPointer<QWidget>> minimized_with_main_;
};

// Follows a window through the taskbar: back from it, the window is painted again whole, as the
// platform repaints a restored window, its native window forgets that it was minimised (else it
// would go back to the taskbar the next time it is shown), and `restored` runs.
void WatchRestore(QWidget* window, std::function<void()> restored = {});

// Shows a window of the program in front of the others, with the keyboard: asked for again, a
// window may lie behind another (the board window, which a skin makes anew, covers the chooser).
void ShowInFront(QWidget* window);

// What main returns once the message loop is over, the windows closed. On Wayland the process ends
// here instead, without Qt's teardown of its connection to the compositor: Qt 6.4 stops its two
// Wayland event threads one after the other, and when the first stops while a read that the main
// thread prepared for it is still pending, the second waits for that read in
// wl_display_read_events for ever, leaving the process alive with no window (a bare Qt window
// closed by the compositor does the same about one time in six). Nothing of the program's own is
// left to do at that point: every file is written when it is saved.
int FinishApplication(int status);

}  // namespace zelbo
