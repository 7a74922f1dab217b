#include "tick_deadline_timer.h"

#include <cstdint>
#include <ratio>

#include "local_clock.h"
#include "scheduler/tick_delay.h"

namespace kiv {
namespace {

// Defined by newer SDKs only; older systems refuse it, and a plain timer is
// made instead.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

// The system clock counts 100-nanosecond steps from 1601.
using SystemSteps = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
constexpr SystemSteps kFrom1601To1970{116'444'736'000'000'000};

std::chrono::system_clock::time_point systemClockTime(FILETIME time) {
  const SystemSteps since1601{static_cast<std::int64_t>(
      (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime)};
  return std::chrono::system_clock::time_point{
      std::chrono::duration_cast<std::chrono::system_clock::duration>(since1601 - kFrom1601To1970)};
}

// An absolute due time, as SetWaitableTimer takes it: positive, in steps
// since 1601.
LARGE_INTEGER dueTime(std::chrono::system_clock::time_point time) {
  LARGE_INTEGER due{};
  due.QuadPart =
      (std::chrono::duration_cast<SystemSteps>(time.time_since_epoch()) + kFrom1601To1970).count();
  return due;
}

HANDLE createTimer() {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
  return timer != nullptr ? timer : CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

}  // namespace

TickDeadlineTimer::TickDeadlineTimer() : timer_(createTimer()) {}

std::chrono::system_clock::time_point TickDeadlineTimer::armForNextTick() {
  const std::chrono::system_clock::time_point now = systemClockTime(preciseSystemTime());
  if (timer_) {
    const LARGE_INTEGER due = dueTime(nextTickDeadline(now));
    SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE);
  }
  return now;
}

}  // namespace kiv
