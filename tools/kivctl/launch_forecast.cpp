#include "launch_forecast.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

#include "launch_plan.h"
#include "scheduler/day_rules.h"
#include "scheduler/due.h"
#include "task_command_line.h"

namespace kiv::ctl {
namespace {

using std::chrono::days;
using std::chrono::local_days;
using std::chrono::seconds;

// One task's launches in time order, stepping from candidate to candidate
// and from day to day instead of through every second.
class TaskLaunches {
 public:
  TaskLaunches(const Task& task, std::vector<seconds> candidates, LocalTime from)
      : daysToRunOn_(task.DaysToRunOn),
        candidates_(std::move(candidates)),
        day_(std::chrono::floor<days>(from)),
        index_(static_cast<std::size_t>(std::ranges::lower_bound(candidates_, from - day_) -
                                        candidates_.begin())) {
    settle();
  }

  LocalTime current() const { return day_ + candidates_[index_]; }

  void advance() {
    ++index_;
    settle();
  }

 private:
  // Every day pattern allows some day of each month, so this ends.
  void settle() {
    while (index_ == candidates_.size() || !dayRuleAllows(daysToRunOn_, day_)) {
      day_ += days{1};
      index_ = 0;
    }
  }

  int daysToRunOn_;
  std::vector<seconds> candidates_;
  local_days day_;
  std::size_t index_;
};

// The candidates at which the due test says the task is due. It reads only
// the time of day, so any one day decides for all of them.
std::vector<seconds> dueCandidates(std::string_view launchAt, std::vector<seconds> candidates) {
  std::erase_if(candidates, [launchAt](seconds second) {
    return isDue(launchAt, local_days{} + second) != DueVerdict::Due;
  });
  return candidates;
}

// The candidates of a task the tick would start, or why it never would.
Result<std::vector<seconds>, std::string> launchSeconds(const Task& task) {
  if (const auto failure = validateForCompile(compileInputsOf(task))) {
    return "showing it fails compilation: " + std::string(failure->message);
  }
  DailyCandidates candidates = dailyCandidates(task.LaunchAt);
  if (!candidates) return candidates.error();
  std::vector<seconds> due = dueCandidates(task.LaunchAt, std::move(candidates).value());
  if (due.empty()) return "its launch time \"" + task.LaunchAt + "\" is never due";
  return due;
}

}  // namespace

Forecast forecastLaunches(const TaskTable& tasks, const ForecastRange& range) {
  Forecast forecast;
  std::vector<std::optional<TaskLaunches>> launches(tasks.size());
  using Next = std::pair<LocalTime, int>;  // ties go to the lower task index
  std::priority_queue<Next, std::vector<Next>, std::greater<>> queue;

  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1) continue;
    auto seconds = launchSeconds(task);
    if (!seconds) {
      forecast.silentTasks.push_back({index, seconds.error()});
      continue;
    }
    launches.at(index).emplace(task, std::move(seconds).value(), range.from);
    queue.emplace(launches.at(index)->current(), index);
  }

  while (!queue.empty() && forecast.launches.size() < range.count) {
    const auto [at, index] = queue.top();
    if (range.until && at > *range.until) break;
    queue.pop();
    const bool ends = tasks.at(index).CloseAfterRunning == 1;
    forecast.launches.push_back({index, at, ends});
    if (ends) break;
    launches.at(index)->advance();
    queue.emplace(launches.at(index)->current(), index);
  }
  return forecast;
}

}  // namespace kiv::ctl
