#include "tick_timer.h"

#include <gtest/gtest.h>

#include <chrono>

#include "local_clock.h"
#include "scheduler/tick_delay.h"
#include "windows_api.h"

namespace kiv {
namespace {

using std::chrono::seconds;

// The precise system clock in 100-nanosecond steps since 1601.
ULONGLONG systemSteps() {
  const FILETIME now = preciseSystemTime();
  return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

constexpr ULONGLONG kStepsPerSecond = 10'000'000;

// Waits up to five seconds (a guard, not a measure) for the window timer `id`.
bool windowTimerFires(HWND window, UINT_PTR id) {
  const DWORD until = GetTickCount() + 5000;
  while (GetTickCount() < until) {
    MSG message{};
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE) != FALSE) {
      if (message.message == WM_TIMER && message.wParam == id) return true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return false;
}

// Arming sets both timers: the waitable one becomes due just past the next
// second boundary, never before it, and the window's timer fires as well.
TEST(TickTimer, ArmsAWaitableTimerDueJustPastTheNextSecondAndTheWindowTimer) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  TickTimer timer;
  ASSERT_NE(timer.handle(), nullptr);
  const ULONGLONG armedAt = systemSteps();

  timer.arm(window, 7);

  ASSERT_EQ(WaitForSingleObject(timer.handle(), 5000), WAIT_OBJECT_0);
  const ULONGLONG woken = systemSteps();
  const ULONGLONG boundary = armedAt / kStepsPerSecond * kStepsPerSecond + kStepsPerSecond;
  const auto margin =
      std::chrono::duration_cast<std::chrono::duration<ULONGLONG, std::ratio<1, 10'000'000>>>(
          kDeadlineMargin);
  EXPECT_GE(woken, boundary + margin.count());
  EXPECT_TRUE(windowTimerFires(window, 7));
  DestroyWindow(window);
}

}  // namespace
}  // namespace kiv
