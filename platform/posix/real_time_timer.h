#pragma once

#include <chrono>
#include <functional>

#include "posix/unique_fd.h"

namespace kiv::posix {

// A timer that fires at an absolute time of the real-time clock, watched
// through a descriptor by whichever event loop the program runs (a Qt socket
// notifier, poll). An absolute deadline wakes right after the time it names,
// where a relative timeout in whole milliseconds adds its rounding and the
// kernel's timer slack.
//
// Setting the clock (by hand, by a time service stepping it, on resuming from
// suspend) also makes the descriptor readable at once, so that the scheduler
// looks at the new time now rather than when the old deadline comes.
class RealTimeTimer {
 public:
  using Clock = std::chrono::system_clock;
  // What made the descriptor readable.
  enum class Wake {
    None,          // nothing: the readiness was taken already
    Reached,       // the deadline has passed
    ClockChanged,  // the clock was set; the deadline no longer means what it did
  };

  // Throws std::system_error when the system has no such timer.
  RealTimeTimer();
  RealTimeTimer(const RealTimeTimer&) = delete;
  RealTimeTimer& operator=(const RealTimeTimer&) = delete;

  // Readable when the deadline has passed or the clock was set.
  int descriptor() const { return fd_.get(); }

  // Fires once at `deadline` (at once when it has passed), replacing the
  // deadline armed before.
  void arm(Clock::time_point deadline);
  // Arms the deadline of the next tick after the clock's reading (see
  // nextTickDeadline) and returns it. A clock set between the reading and the
  // arming is caught by reading the clock again afterwards.
  Clock::time_point armNextTick(const std::function<Clock::time_point()>& clock);

  // Takes the readiness of the descriptor and says where it came from.
  Wake take();

 private:
  UniqueFd fd_;
};

}  // namespace kiv::posix
