// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/native_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if ZELBO_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
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

// _NET_WM_MOVERESIZE: a move that follows the pointer, asked by an application.
constexpr uint32_t kMoveByPointer = 8;
constexpr uint32_t kFromApplication = 1;

template <typename Reply>
struct FreeReply {
  void operator()(Reply* reply) const { std::free(reply); }
};

xcb_atom_t Intern(xcb_connection_t* connection, const char* name) {
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply<xcb_intern_atom_reply_t>> reply(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the window manager moves windows for their programs (_NET_WM_MOVERESIZE).
bool ManagerMoves(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t move_resize) {
  const xcb_atom_t supported = Intern(connection, "_NET_SUPPORTED");
  const std::unique_ptr<xcb_get_property_reply_t, FreeReply<xcb_get_property_reply_t>> reply(
      xcb_get_property_reply(
          connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 1 << 16),
          nullptr));
  if (!reply || reply->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  return std::find(atoms, atoms + count, move_resize) != atoms + count;
}

bool StartX11Move(QWidget* window, QPoint global) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr || !window->testAttribute(Qt::WA_WState_Created)) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_atom_t move_resize = Intern(connection, "_NET_WM_MOVERESIZE");
  if (move_resize == XCB_ATOM_NONE || !ManagerMoves(connection, root, move_resize)) return true;
  const QPoint native = global * window->devicePixelRatio();
  xcb_client_message_event_t message = {};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window->winId());
  message.type = move_resize;
  message.data.data32[0] = static_cast<uint32_t>(native.x());
  message.data.data32[1] = static_cast<uint32_t>(native.y());
  message.data.data32[2] = kMoveByPointer;
  message.data.data32[3] = XCB_BUTTON_INDEX_1;
  message.data.data32[4] = kFromApplication;
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
  return true;
}

}  // namespace

void StartSystemMove(QWidget* window, QPoint global) {
  if (StartX11Move(window, global)) return;
  if (window->windowHandle() != nullptr) window->windowHandle()->startSystemMove();
}

void ClearMinimizedHint(QWidget* window) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || !window->testAttribute(Qt::WA_WState_Created)) return;
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintWords);
  const std::unique_ptr<xcb_get_property_reply_t, FreeReply<xcb_get_property_reply_t>> reply(
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

void StartSystemMove(QWidget* window, QPoint) {
  if (window->windowHandle() != nullptr) window->windowHandle()->startSystemMove();
}

#endif

}  // namespace zelbo
