#include "engine/scheduler.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "scheduler/day_rules.h"
#include "scheduler/due.h"
#include "scheduler/skipped_time.h"

namespace kiv {

Scheduler::Scheduler(const TaskTable& tasks, SchedulerPorts ports, SchedulerEvents& events)
    : tasks_(tasks), ports_(ports), events_(events) {}

// The second in progress when scheduling starts is examined at the first
// tick, like any second a late tick skipped.
void Scheduler::start() {
  const ClockReading reading = ports_.clock.readClock();
  secondCursor_.startWithin(reading);
  startedWithin_ = reading.local;
  scheduling_ = true;
  beginScheduling(reading.local);
}

void Scheduler::setSchedule(std::string identity) {
  if (identity == schedule_) return;
  const LocalTime now = ports_.clock.now();
  if (scheduling_) journalScheduling(now, false);
  schedule_ = std::move(identity);
  unscheduled_.reset();
  if (scheduling_) beginScheduling(now);
}

// Every clock second is examined once: a late tick also examines the seconds
// it skipped, and a clock set back does not examine seconds again. A fixed
// launch time in the hour that the start of daylight saving skips launches
// once, at the first second after it; launches due while the clock jumped
// forward are journalled as missed, and made up only as far as their task's
// catch-up window reaches.
void Scheduler::tick() {
  if (closed_) return;
  const ClockReading reading = ports_.clock.readClock();
  endOverduePrograms(reading.utc());
  if (!startWaitingLaunches(reading.utc())) return;
  if (!makeUpUnscheduledSpan(reading)) return;
  const CursorStep step = secondCursor_.advance(reading, ports_.clock.localZone());
  if (!step.missed.empty() && !makeUp(journalMissed(step.missed, reading.local), reading.local)) {
    return;
  }
  if (!examineSeconds(step.examine)) return;
  if (!step.skipped.empty() && !launchSkipped(step.skipped)) return;
  examineSeconds(step.examineAfterSkip);
}

bool Scheduler::examineSeconds(const SecondRange& seconds) {
  for (const LocalTime second : seconds) {
    for (int index = 0; index < kTaskCount; ++index) {
      if (!examineTask(index, second)) return false;
    }
  }
  return true;
}

bool Scheduler::examineTask(int index, LocalTime second) {
  const Task& task = tasks_.at(index);
  if (task.Compiled != 1) return true;
  if (isDue(task.LaunchAt, second) != DueVerdict::Due) return true;
  if (!dayRuleAllows(task.DaysToRunOn, std::chrono::floor<std::chrono::days>(second))) return true;
  if (mayHaveLaunchedBeforeStart(second) && journalHoldsLaunch(index, second)) return true;
  return launchScheduled(index, {LaunchHow::Scheduled, second, {}, {}});
}

// A scheduler of the same schedule that ended just before this one started
// (restarted by a supervisor, say) may have launched the tasks due then.
bool Scheduler::mayHaveLaunchedBeforeStart(LocalTime second) const {
  return startedWithin_ && second <= *startedWithin_;
}

// The tasks whose fixed launch time lies in the skipped seconds launch now,
// in the order they were due, before anything due at the first second after.
bool Scheduler::launchSkipped(const SecondRange& skipped) {
  std::vector<std::pair<LocalTime, int>> due;
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks_.at(index);
    if (task.Compiled != 1) continue;
    const std::optional<LocalTime> second = fixedLaunchIn(task.LaunchAt, skipped);
    if (second && dayRuleAllows(task.DaysToRunOn, std::chrono::floor<std::chrono::days>(*second))) {
      due.emplace_back(*second, index);
    }
  }
  std::ranges::sort(due);
  const LocalTime firstAfter = skipped.back() + std::chrono::seconds{1};
  for (const auto& [second, index] : due) {
    if (!launchScheduled(index, {LaunchHow::AfterSkippedHour, firstAfter, second, {}})) {
      return false;
    }
  }
  return true;
}

}  // namespace kiv
