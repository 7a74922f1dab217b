#pragma once

#include <chrono>

namespace kiv::testing {

// The time of day h:m:s as seconds since midnight, as the launch-time rules
// count it.
constexpr std::chrono::seconds at(int h, int m, int s) {
  return std::chrono::seconds{h * 3600 + m * 60 + s};
}

}  // namespace kiv::testing
