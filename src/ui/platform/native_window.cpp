// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/native_window.h"

#include <QGuiApplication>
#include <QWidget>

#if ZELBO_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace zelbo {

#if ZELBO_HAVE_XCB
namespace {

// The fields of WM_HINTS: flags, input, initial state, and six more.
constexpr std::size_t kHintWords = 9;
constexpr uint32_t kStateHint = 1u << 1;
constexpr uint32_t kNormalState = 1;
constexpr uint32_t kIconicState = 3;

struct FreeReply {
  void operator()(xcb_get_property_reply_t* reply) const { std::free(reply); }
};

}  // namespace

void ClearMinimizedHint(QWidget* window) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || !window->testAttribute(Qt::WA_WState_Created)) return;
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintWords);
  const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(
      xcb_get_property_reply(connection, cookie, nullptr));
  if (!reply || reply->format != 32 ||
      xcb_get_property_value_length(reply.get()) < static_cast<int>(kHintWords * 4)) {
    return;
  }
  std::array<uint32_t, kHintWords> hints;
  std::memcpy(hints.data(), xcb_get_property_value(reply.get()), sizeof hints);
  if ((hints[0] & kStateHint) == 0 || hints[2] != kIconicState) return;
  hints[2] = kNormalState;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                      32, kHintWords, hints.data());
  xcb_flush(connection);
}

#else

void ClearMinimizedHint(QWidget*) {}

#endif

}  // namespace zelbo
