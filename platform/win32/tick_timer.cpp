#include "tick_timer.h"

#include <chrono>

#include "scheduler/tick_delay.h"

namespace kiv {
namespace {

// The system clock counts 100-nanosecond steps from 1601, a year that begins
// on a whole second, as delayToNextSecond needs.
std::chrono::milliseconds systemClockReading() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG steps = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::duration<ULONGLONG, std::ratio<1, 10'000'000>>{steps});
}

}  // namespace

void armTickTimer(HWND window, UINT_PTR timer) {
  const std::chrono::milliseconds delay = delayToNextSecond(systemClockReading());
  SetTimer(window, timer, static_cast<UINT>(delay.count()), nullptr);
}

}  // namespace kiv
