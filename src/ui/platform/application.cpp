// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/application.h"

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <cstdio>

#include "ui/platform/canvas.h"
#include "ui/platform/native_window.h"

namespace zelbo {
namespace {

bool IsWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

bool IsOnScreen(const QWidget* window) {
  const Qt::WindowType type = window->windowType();
  return window->isVisible() && !window->isMinimized() &&
         (type == Qt::Window || type == Qt::Dialog);
}

// Gives a window the application's icon whenever it is shown.
class IconOnShow : public QObject {
 public:
  IconOnShow(QWidget* window, const Application& application)
      : QObject(window), application_(application) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !application_.icon().isNull()) {
      static_cast<QWidget*>(watched)->setWindowIcon(application_.icon());
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const Application& application_;
};

class RestoreWatcher : public QObject {
 public:
  RestoreWatcher(QWidget* window, std::function<void()> restored)
      : QObject(window), window_(window), restored_(std::move(restored)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::WindowStateChange) {
      const auto* change = static_cast<QWindowStateChangeEvent*>(event);
      if (change->oldState().testFlag(Qt::WindowMinimized) && !window_->isMinimized()) Restored();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Restored() {
    ClearMinimizedHint(window_);
    for (CanvasWidget* canvas : window_->findChildren<CanvasWidget*>()) canvas->Invalidate();
    if (restored_) restored_();
  }

  QWidget* window_;
  std::function<void()> restored_;
};

}  // namespace

void Application::SetIcon(const TaskbarIcon& icon) {
  icon_ = icon;
  for (const QPointer<QWidget>& window : icon_takers_) {
    if (window != nullptr && window->isVisible()) ShowIcon(window, icon);
  }
}

void Application::TakeApplicationIcon(QWidget* window) {
  icon_takers_.emplace_back(window);
  new IconOnShow(window, *this);
}

void Application::Minimize(QWidget* main_window) {
  minimized_with_main_.clear();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == main_window || !IsOnScreen(window)) continue;
    minimized_with_main_.emplace_back(window);
    window->showMinimized();
  }
  main_window->showMinimized();
}

void Application::RestoreMinimized() {
  for (const QPointer<QWidget>& window : std::exchange(minimized_with_main_, {})) {
    if (window != nullptr && window->isMinimized()) window->showNormal();
  }
}

void WatchRestore(QWidget* window, std::function<void()> restored) {
  new RestoreWatcher(window, std::move(restored));
}

// Qt on X11 does not map again, for showNormal(), a window that the window manager minimised; and
// on Wayland a program can neither raise nor activate its window. Either is shown afresh, which
// brings it in front.
void ShowInFront(QWidget* window) {
  if (window->isMinimized() || (window->isVisible() && IsWayland())) {
    window->hide();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    ClearMinimizedHint(window);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

int FinishApplication(int status) {
  if (!IsWayland()) return status;
  std::fflush(nullptr);
  _exit(status);
}

}  // namespace zelbo
