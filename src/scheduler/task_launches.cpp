#include "scheduler/task_launches.h"

#include <algorithm>
#include <utility>

#include "compile/command_line.h"
#include "scheduler/daily_candidates.h"
#include "scheduler/day_rules.h"
#include "scheduler/due.h"

namespace kiv {
namespace {

using std::chrono::days;
using std::chrono::local_days;
using std::chrono::seconds;

// The candidates at which the due test says the task is due. It reads only
// the time of day, so any one day decides for all of them.
std::vector<seconds> dueCandidates(std::string_view launchAt, std::vector<seconds> candidates) {
  std::erase_if(candidates, [launchAt](seconds second) {
    return isDue(launchAt, local_days{} + second) != DueVerdict::Due;
  });
  return candidates;
}

}  // namespace

Result<std::vector<seconds>, std::string> launchSecondsOfDay(const Task& task) {
  if (const auto compilable = validateForCompile(compileInputsFor(task)); !compilable) {
    return "showing it fails compilation: " + std::string(compilable.error().message);
  }
  DailyCandidates candidates = dailyCandidates(task.LaunchAt);
  if (!candidates) return candidates.error();
  std::vector<seconds> due = dueCandidates(task.LaunchAt, std::move(candidates).value());
  if (due.empty()) return "its launch time \"" + task.LaunchAt + "\" is never due";
  return due;
}

TaskLaunches::TaskLaunches(int daysToRunOn, std::vector<seconds> secondsOfDay, LocalTime from)
    : daysToRunOn_(daysToRunOn),
      secondsOfDay_(std::move(secondsOfDay)),
      day_(std::chrono::floor<days>(from)),
      index_(static_cast<std::size_t>(std::ranges::lower_bound(secondsOfDay_, from - day_) -
                                      secondsOfDay_.begin())) {
  settle();
}

void TaskLaunches::advance() {
  ++index_;
  settle();
}

// Every day pattern allows some day of each month, so this ends.
void TaskLaunches::settle() {
  while (index_ == secondsOfDay_.size() || !dayRuleAllows(daysToRunOn_, day_)) {
    day_ += days{1};
    index_ = 0;
  }
}

}  // namespace kiv
