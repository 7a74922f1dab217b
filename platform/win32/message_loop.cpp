#include "message_loop.h"

namespace kiv {

void handleMessage(const FormWindow& window, MSG& message) {
  if (window.preTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int runMessageLoop(FormWindow& window) {
  HANDLE tickTimer = window.tickTimer();
  const DWORD timers = tickTimer != nullptr ? 1 : 0;
  while (true) {
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(timers, &tickTimer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (timers == 1 && woken == WAIT_OBJECT_0) window.tick();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      handleMessage(window, message);
    }
  }
}

}  // namespace kiv
