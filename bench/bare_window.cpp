// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of any Qt Widgets program on this machine: an application object and one empty main
// window of the board window's size, built with the same compiler and flags as zelbo.
// bench/startup.py times it beside zelbo.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.setFixedSize(370, 375);
  window.show();
  return QApplication::exec();
}
