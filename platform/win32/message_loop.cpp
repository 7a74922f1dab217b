#include "message_loop.h"

namespace kiv {

int runMessageLoop(const FormWindow& window) {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window.preTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace kiv
