#include <algorithm>
#include <map>

#include "engine/scheduler.h"
#include "scheduler/date_time_text.h"
#include "scheduler/launch_time.h"

namespace kiv {
namespace {

// Only fixed-time launches of a task with a catch-up window are made up.
bool catchesUp(const Task& task) {
  return task.Options.catchUp && !isRecurring(task.LaunchAt);
}

// The tasks whose launches may be made up; the others are left out, so that
// only launches that matter are looked for.
TaskTable tasksThatCatchUp(const TaskTable& tasks) {
  TaskTable catching = tasks;
  for (Task& task : catching) {
    if (!catchesUp(task)) task.Compiled = 0;
  }
  return catching;
}

}  // namespace

// The journal tells when a scheduler of this schedule last stopped: the
// launches due from then until now were missed by nobody watching. A
// scheduler that ended without saying so (a crash, a power cut) leaves no
// stop, and nothing is made up: better a launch missed than one at an hour
// nobody expects.
void Scheduler::beginScheduling(LocalTime at) {
  if (schedule_.empty()) return;
  if (const auto text = ports_.journal.readJournal()) {
    const std::optional<SchedulingRecord> last = lastScheduling(text.value(), schedule_);
    if (last && !last->started) {
      const std::optional<LocalTime> stopped = parseDateTime(last->at);
      if (stopped && *stopped < at) unscheduled_ = UnscheduledSpan{*stopped, at};
    }
  }
  journalScheduling(at, true);
}

// The seconds of the span itself are left out: a scheduler examined them.
bool Scheduler::makeUpUnscheduledSpan(const ClockReading& reading) {
  if (!unscheduled_) return true;
  const UnscheduledSpan span = *std::exchange(unscheduled_, std::nullopt);
  const TaskTable catching = tasksThatCatchUp(tasks_);
  const LocalTime from =
      std::max(span.after + std::chrono::seconds{1}, span.before - kLongestCatchUp);
  NextLaunches next(catching, from, &ports_.clock.localZone(), AfterClosing::GoOn);
  std::vector<Launch> missed;
  for (auto launch = next.next(); launch && launch->at < span.before; launch = next.next()) {
    missed.push_back(*launch);
  }
  return makeUp(launchesToMakeUp(missed, reading.local), reading.local);
}

// Of each task that catches up, the latest missed launch no older than its
// window, in the order they were due: several missed launches make up one.
std::vector<Launch> Scheduler::launchesToMakeUp(const std::vector<Launch>& missed,
                                                LocalTime now) const {
  std::map<int, Launch> latest;
  for (const Launch& launch : missed) {
    const Task& task = tasks_.at(launch.taskIndex);
    if (!catchesUp(task) || now - launch.at > *task.Options.catchUp) continue;
    latest.insert_or_assign(launch.taskIndex, launch);
  }
  std::vector<Launch> launches;
  launches.reserve(latest.size());
  for (const auto& [index, launch] : latest) launches.push_back(launch);
  std::ranges::sort(launches, {}, &Launch::at);
  return launches;
}

bool Scheduler::makeUp(const std::vector<Launch>& launches, LocalTime now) {
  for (const Launch& launch : launches) {
    const LocalTime dueAt = launch.skippedDueAt.value_or(launch.at);
    if (!launchScheduled(launch.taskIndex, {LaunchHow::CaughtUp, now, dueAt, {}})) return false;
  }
  return true;
}

}  // namespace kiv
