// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/taskbar.h"

#include <QGuiApplication>
#include <QWidget>

#if ZELBO_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#endif

namespace zelbo {
namespace {

// Wayland gives a window no icon of its own: the desktop shows the desktop entry's. A new icon
// there would only tell every control of the window that it changed.
bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

#if ZELBO_HAVE_XCB

// The sizes Qt gives a window system for an icon that names none, a drawing for instance.
const QList<QSize> kDefaultIconSizes = {QSize(16, 16), QSize(32, 32), QSize(64, 64),
                                        QSize(128, 128)};

std::vector<uint32_t> X11IconProperty(const QIcon& icon) {
  std::vector<uint32_t> property;
  if (icon.isNull()) return property;
  QList<QSize> sizes = icon.availableSizes();
  if (sizes.isEmpty()) sizes = kDefaultIconSizes;
  for (const QSize& size : sizes) {
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) continue;
    property.push_back(static_cast<uint32_t>(image.width()));
    property.push_back(static_cast<uint32_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
      property.insert(property.end(), row, row + image.width());
    }
  }
  return property;
}

// What Qt shows for a window with an empty caption.
QString ShownCaption(const QString& caption) {
  return caption.isEmpty() ? QCoreApplication::applicationName() : caption;
}

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t Intern(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

struct Atoms {
  explicit Atoms(xcb_connection_t* connection)
      : net_wm_name(Intern(connection, "_NET_WM_NAME")),
        utf8_string(Intern(connection, "UTF8_STRING")),
        net_wm_icon(Intern(connection, "_NET_WM_ICON")) {}

  bool complete() const {
    return net_wm_name != XCB_ATOM_NONE && utf8_string != XCB_ATOM_NONE &&
           net_wm_icon != XCB_ATOM_NONE;
  }

  xcb_atom_t net_wm_name, utf8_string, net_wm_icon;
};

// The events this program asked for on a window, asked of the server once per window.
std::optional<uint32_t> EventMask(xcb_connection_t* connection, xcb_window_t id) {
  static std::unordered_map<xcb_window_t, uint32_t> masks;
  if (const auto known = masks.find(id); known != masks.end()) return known->second;
  const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeReply> reply(
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id),
                                      nullptr));
  if (!reply) return std::nullopt;
  return masks[id] = reply->your_event_mask;
}

void ChangeText(xcb_connection_t* connection, xcb_window_t id, xcb_atom_t property, xcb_atom_t type,
                const QByteArray& text) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, property, type, 8,
                      static_cast<uint32_t>(text.size()), text.constData());
}

// _NET_WM_NAME in UTF-8, and WM_NAME in Latin-1 as STRING when it can be, else in UTF-8 as most
// window managers read it.
void WriteCaption(xcb_connection_t* connection, xcb_window_t id, const Atoms& atoms,
                  const QString& caption) {
  ChangeText(connection, id, atoms.net_wm_name, atoms.utf8_string, caption.toUtf8());
  const bool latin1 =
      std::all_of(caption.begin(), caption.end(), [](QChar c) { return c.unicode() <= 0xFF; });
  ChangeText(connection, id, XCB_ATOM_WM_NAME,
             latin1 ? xcb_atom_t{XCB_ATOM_STRING} : atoms.utf8_string,
             latin1 ? caption.toLatin1() : caption.toUtf8());
}

// The caption, when there is one, and the icon in one batch whose property events this program
// does not hear: the window selects no property events while the batch is written, and its own
// events again at once. The server carries out a client's batch of requests in one go, so that no
// other program's change to the window falls in between in practice; a server grab would make
// sure of it, but would freeze every other program for that time. False when the window cannot
// be written so.
bool WriteToX11(QWidget* window, const QString* caption, const TaskbarIcon& icon) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  if (!window->testAttribute(Qt::WA_WState_Created) || icon.x11_property().empty()) return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return false;
  static const Atoms atoms(connection);
  const auto id = static_cast<xcb_window_t>(window->winId());
  const std::optional<uint32_t> mask = EventMask(connection, id);
  const std::vector<uint32_t>& pixels = icon.x11_property();
  if (!atoms.complete() || !mask || pixels.size() > xcb_get_maximum_request_length(connection)) {
    return false;
  }
  const uint32_t quiet_mask = *mask & ~uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE};
  xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &quiet_mask);
  if (caption != nullptr) WriteCaption(connection, id, atoms, ShownCaption(*caption));
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms.net_wm_icon, XCB_ATOM_CARDINAL,
                      32, static_cast<uint32_t>(pixels.size()), pixels.data());
  xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &*mask);
  xcb_flush(connection);
  return true;
}

#else

bool WriteToX11(QWidget*, const QString*, const TaskbarIcon&) { return false; }

#endif

}  // namespace

TaskbarIcon::TaskbarIcon(const QIcon& icon) : icon_(icon) {
#if ZELBO_HAVE_XCB
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    x11_property_ = std::make_shared<const std::vector<uint32_t>>(X11IconProperty(icon));
  }
#endif
}

void ShowCaptionAndIcon(QWidget* window, const QString& caption, const TaskbarIcon& icon) {
  if (WriteToX11(window, &caption, icon)) return;
  window->setWindowTitle(caption);
  if (!OnWayland()) window->setWindowIcon(icon.icon());
}

void ShowIcon(QWidget* window, const TaskbarIcon& icon) {
  if (!WriteToX11(window, nullptr, icon) && !OnWayland()) window->setWindowIcon(icon.icon());
}

}  // namespace zelbo
