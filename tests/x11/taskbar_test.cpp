// SPDX-License-Identifier: GPL-3.0-or-later
// The idle tick's caption and icon on a real X server (run under Xvfb): they land in the window's
// properties, and the program never grabs the server for them, which would freeze every other
// program on the display.
#include "ui/platform/taskbar.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int grabs = 0;

std::string Property(xcb_connection_t* connection, xcb_window_t window, const char* name) {
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, atom->atom, XCB_ATOM_ANY, 0, 1 << 16),
      nullptr);
  std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<std::size_t>(xcb_get_property_value_length(reply)));
  std::free(reply);
  std::free(atom);
  return value;
}

bool Check(bool condition, const std::string& what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what.c_str());
  return condition;
}

}  // namespace

// The program's own server grabs come here instead of to libxcb (the Qt plugin's do not).
extern "C" xcb_void_cookie_t xcb_grab_server(xcb_connection_t*) {
  ++grabs;
  return {0};
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  QWidget window;
  window.resize(200, 100);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  QPixmap pixels(16, 16);
  pixels.fill(Qt::red);
  const zelbo::TaskbarIcon icon{QIcon(pixels)};
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  bool passed = true;
  for (const char* caption : {"Zelbo  ", " Zelbo ", "e Zelbo"}) {
    zelbo::ShowCaptionAndIcon(&window, QString::fromLatin1(caption), icon);
    passed &= Check(Property(connection, id, "_NET_WM_NAME") == caption,
                    std::string("the caption '") + caption + "' is the window's");
  }
  const std::string icon_property = Property(connection, id, "_NET_WM_ICON");
  passed &= Check(icon_property.size() == 4 * (2 + 16 * 16), "the 16 x 16 icon is the window's");
  passed &= Check(grabs == 0, "no server grab (" + std::to_string(grabs) + ")");
  return passed ? 0 : 1;
}
