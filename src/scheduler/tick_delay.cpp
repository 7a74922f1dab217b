#include "scheduler/tick_delay.h"

namespace kiv {

std::chrono::milliseconds delayToNextSecond(std::chrono::milliseconds wallClock) {
  const auto nextBoundary =
      std::chrono::floor<std::chrono::seconds>(wallClock) + std::chrono::seconds{1};
  return nextBoundary - wallClock + kTickMargin;
}

std::chrono::system_clock::time_point nextTickDeadline(std::chrono::system_clock::time_point now) {
  const auto nextBoundary = std::chrono::floor<std::chrono::seconds>(now) + std::chrono::seconds{1};
  return nextBoundary + kDeadlineMargin;
}

}  // namespace kiv
