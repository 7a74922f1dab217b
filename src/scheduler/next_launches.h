#pragma once

#include <cstddef>
#include <optional>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "base/local_time.h"
#include "base/local_zone.h"
#include "scheduler/task_launches.h"
#include "tasks/task.h"

namespace kiv {

struct Launch {
  int taskIndex = 0;
  LocalTime at{};
  // The task closes the scheduler after running: nothing launches after it.
  bool endsScheduler = false;
  // A launch made up for a fixed launch time that a change of daylight saving
  // skipped: the time the task names, which never came. `at` is then the
  // first second after the skipped ones.
  std::optional<LocalTime> skippedDueAt{};

  friend bool operator==(const Launch&, const Launch&) = default;
};

// A compiled task that the tick would never start, and why.
struct SilentTask {
  int taskIndex = 0;
  std::string reason;
};

// The launches the tick would make from `from` on, one at a time and without
// end: compiled tasks at the seconds their launch time is due and their day
// pattern allows, in time order, tasks due at the same second in task order.
// A compiled task that fails compilation when it is shown is never started.
// A launch of a task that closes the scheduler after running is the last one,
// unless the launches are only being counted (AfterClosing::GoOn).
//
// With the zone's rules, launches fall where the tick makes them: a fixed
// launch time that a change of daylight saving skips is made up at the first
// second after the skipped ones, a recurring one is not, and a repeated hour
// launches once. Without them local time is taken to run evenly.
enum class AfterClosing { Stop, GoOn };

class NextLaunches {
 public:
  NextLaunches(const TaskTable& tasks, LocalTime from, const LocalZone* zone = nullptr,
               AfterClosing afterClosing = AfterClosing::Stop);

  // The compiled tasks that never launch, in task order.
  const std::vector<SilentTask>& silentTasks() const { return silentTasks_; }

  // The next launch, or nullopt when none is left.
  std::optional<Launch> next();

 private:
  using Pending = std::pair<LocalTime, int>;  // ties go to the lower task index

  const TaskTable& tasks_;
  const LocalZone* zone_;
  AfterClosing afterClosing_;
  std::vector<std::optional<TaskLaunches>> launches_;
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> queue_;
  std::vector<SilentTask> silentTasks_;
  bool ended_ = false;
};

struct ForecastRange {
  LocalTime from{};  // inclusive
  std::size_t count = 10;
  std::optional<LocalTime> until;   // inclusive
  const LocalZone* zone = nullptr;  // see NextLaunches
};

struct Forecast {
  std::vector<Launch> launches;
  std::vector<SilentTask> silentTasks;  // in task order
};

// The first `range.count` of the next launches, none after `until`.
Forecast forecastLaunches(const TaskTable& tasks, const ForecastRange& range);

}  // namespace kiv
