#include "scheduler/tick_delay.h"

namespace kiv {

std::chrono::milliseconds delayToNextSecond(std::chrono::milliseconds wallClock) {
  const auto nextBoundary =
      std::chrono::floor<std::chrono::seconds>(wallClock) + std::chrono::seconds{1};
  return nextBoundary - wallClock + kTickMargin;
}

}  // namespace kiv
