#include "wall_clock.h"

namespace kiv::ctl {

std::chrono::milliseconds wallClockMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
}

}  // namespace kiv::ctl
