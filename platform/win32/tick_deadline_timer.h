#pragma once

#include "windows_api.h"

#include <chrono>

#include "unique_handle.h"

namespace kiv {

// The waitable timer of a tick loop, aimed just past the next second boundary
// of the system clock at an absolute due time: high-resolution where Windows
// has one (Windows 10 1803 and later), so the loop wakes right after the
// boundary; an absolute time also follows a clock that is set. Re-armed at
// every tick, so no clock second is skipped or read twice by drifting ticks.
class TickDeadlineTimer {
 public:
  TickDeadlineTimer();
  TickDeadlineTimer(const TickDeadlineTimer&) = delete;
  TickDeadlineTimer& operator=(const TickDeadlineTimer&) = delete;

  // Signalled at the tick's due time; nullptr where no waitable timer can be
  // made.
  HANDLE handle() const { return timer_.get(); }

  // Aims the timer at the next tick after the system clock's reading now, and
  // returns that reading, for whatever else is aimed from it.
  std::chrono::system_clock::time_point armForNextTick();

 private:
  UniqueHandle timer_;
};

}  // namespace kiv
