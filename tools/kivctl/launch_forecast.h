#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "shell/local_time.h"
#include "tasks/task.h"

namespace kiv::ctl {

struct Launch {
  int taskIndex = 0;
  LocalTime at{};
  // The task closes the scheduler after running: nothing launches after it.
  bool endsScheduler = false;

  friend bool operator==(const Launch&, const Launch&) = default;
};

// A compiled task that the tick would never start, and why.
struct SilentTask {
  int taskIndex = 0;
  std::string reason;
};

struct Forecast {
  std::vector<Launch> launches;
  std::vector<SilentTask> silentTasks;  // in task order
};

struct ForecastRange {
  LocalTime from{};  // inclusive
  std::size_t count = 10;
  std::optional<LocalTime> until;  // inclusive
};

// The launches the tick would make from `range.from` on, at most `count` and
// none after `until`: compiled tasks at the seconds their launch time is due
// and their day pattern allows, in time order, tasks due at the same second
// in task order. A compiled task that fails compilation when it is shown is
// never started. A launch of a task that closes the scheduler after running
// is the last one.
Forecast forecastLaunches(const TaskTable& tasks, const ForecastRange& range);

}  // namespace kiv::ctl
