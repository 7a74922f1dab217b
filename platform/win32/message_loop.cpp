#include "message_loop.h"

namespace kiv {

void handleMessage(const FormWindow& window, MSG& message) {
  if (window.preTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int runMessageLoop(const FormWindow& window) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) handleMessage(window, message);
  return static_cast<int>(message.wParam);
}

}  // namespace kiv
