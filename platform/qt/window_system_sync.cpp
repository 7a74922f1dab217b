#include "window_system_sync.h"

#include <QGuiApplication>

#if defined(KIV_WITH_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace kiv {

void syncWindowSystem() {
#if defined(KIV_WITH_XCB) && QT_CONFIG(xcb)
  // X requests wait in the connection's buffer; a request with a reply
  // sends them and returns once the server has handled all of them.
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return;
  // The offscreen platform answers for X11 too, with no connection.
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return;
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
#endif
}

}  // namespace kiv
