#include "wall_clock.h"

#include "posix/local_clock.h"

namespace kiv::ctl {

std::chrono::milliseconds wallClockMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
}

LocalTime localNow() {
  return posix::readLocalClock().local;
}

}  // namespace kiv::ctl
