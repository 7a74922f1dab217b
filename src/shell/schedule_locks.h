#pragma once

#include <string>

namespace kiv {

// Whether this process may schedule a schedule file: only one scheduler of a
// user runs each schedule, or every task would launch twice.
struct ScheduleClaim {
  enum class Kind {
    Claimed,      // this process now schedules the file (or no file: nothing is held)
    HeldByOther,  // another process of the user schedules it
    Unavailable,  // the lock could not be taken for another reason; not held
  };
  Kind kind = Kind::Claimed;
  // HeldByOther: the other process, "process 4242 (kivctl)"; Unavailable: why.
  std::string detail;
};

// Schedule locks, the operating system's, released when this process ends
// however it ends.
class ScheduleLocks {
 public:
  virtual ~ScheduleLocks() = default;
  // Claiming a file releases the one held before, but only once the new
  // claim succeeded; claiming the empty text releases it alone.
  virtual ScheduleClaim claimSchedule(const std::string& scheduleFile) = 0;
};

}  // namespace kiv
