#include "waiting.h"

#include "windows_api.h"

namespace kiv::testing {
namespace {

constexpr DWORD kPollMilliseconds = 20;

bool waitWith(const std::function<bool()>& done, std::chrono::milliseconds limit,
              const std::function<void()>& meanwhile) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    meanwhile();
  }
  return true;
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  return waitWith(done, limit, [] { Sleep(kPollMilliseconds); });
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  return waitWith(done, limit, [] {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMilliseconds, QS_ALLINPUT);
  });
}

}  // namespace kiv::testing
