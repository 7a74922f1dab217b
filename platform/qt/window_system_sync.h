#pragma once

namespace kiv {

// Waits until the window system has carried out every request this process
// has sent it, such as removing the notification-area icon. Nothing to wait
// for where requests are not buffered.
void syncWindowSystem();

}  // namespace kiv
