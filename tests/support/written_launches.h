#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scheduler/date_time_text.h"
#include "scheduler/next_launches.h"

namespace kiv::testing {

inline LocalTime time(std::string_view text) {
  return parseDateTime(text).value();
}

// A launch as the tests write it: task number and "YYYY-MM-DD hh:mm:ss".
using Written = std::pair<int, std::string>;

inline std::vector<Written> written(const std::vector<Launch>& launches) {
  std::vector<Written> result;
  for (const Launch& launch : launches)
    result.emplace_back(launch.taskIndex + 1, dateTimeText(launch.at));
  return result;
}

}  // namespace kiv::testing
