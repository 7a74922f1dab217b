#include "message_loop.h"

namespace kiv {

int runMessageLoop(FormWindow& window) {
  HANDLE tickTimer = window.tickTimer();
  const DWORD timers = tickTimer != nullptr ? 1 : 0;
  while (true) {
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(timers, &tickTimer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (timers == 1 && woken == WAIT_OBJECT_0) window.tick();
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      if (window.preTranslate(message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

}  // namespace kiv
