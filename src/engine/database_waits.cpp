#include <algorithm>
#include <string>

#include "engine/database_key.h"
#include "engine/scheduler.h"

namespace kiv {
namespace {

std::string busyReason(const RunningProgram& user) {
  return "database busy: " + taskSubject(user.taskIndex + 1, user.taskName) +
         " is still running on it";
}

}  // namespace

const RunningProgram* Scheduler::programUsing(const std::string& database) const {
  const auto user = std::ranges::find(running_, database,
                                      [](const auto& entry) { return entry.second.database; });
  return user == running_.end() ? nullptr : &user->second;
}

// A task waits its own time, and once: a launch due while an earlier one of
// the same task still waits would only start the same work twice in a row.
bool Scheduler::waitForDatabase(int index, const LaunchOccasion& occasion,
                                const RunningProgram& user, std::chrono::sys_seconds now) {
  const std::chrono::minutes wait = tasks_.at(index).Options.wait;
  if (wait == std::chrono::minutes{0}) {
    refuseLaunch(index, occasion, busyReason(user));
  } else if (std::ranges::any_of(waiting_,
                                 [&](const auto& launch) { return launch.taskIndex == index; })) {
    refuseLaunch(index, occasion,
                 "database busy: an earlier launch of this task is still waiting for it");
  } else {
    waiting_.push_back({index, occasion, now, wait});
  }
  return true;
}

// The launches go in the order they began to wait: once one starts, the
// database is in use again for those behind it. Each is taken out of the
// queue before it starts, since a start may run a nested event loop that
// ticks the scheduler again.
bool Scheduler::startWaitingLaunches(std::chrono::sys_seconds now) {
  const auto databaseOf = [this](const WaitingLaunch& launch) {
    return databaseKey(tasks_.at(launch.taskIndex), launch.taskIndex);
  };
  for (;;) {
    const auto ready = std::ranges::find_if(waiting_, [&](const WaitingLaunch& launch) {
      return programUsing(databaseOf(launch)) == nullptr || now >= launch.since + launch.wait;
    });
    if (ready == waiting_.end()) return true;
    WaitingLaunch launch = *ready;
    waiting_.erase(ready);
    launch.occasion.waited = now - launch.since;
    if (const RunningProgram* user = programUsing(databaseOf(launch))) {
      refuseLaunch(launch.taskIndex, launch.occasion,
                   busyReason(*user) + " after a wait of " + durationText(*launch.occasion.waited));
    } else if (tasks_.at(launch.taskIndex).Compiled != 1) {
      refuseLaunch(launch.taskIndex, launch.occasion,
                   "the task was decompiled while it waited for its database");
    } else if (!launchScheduled(launch.taskIndex, launch.occasion)) {
      return false;
    }
  }
}

void Scheduler::refuseLaunch(int index, const LaunchOccasion& occasion, const std::string& reason) {
  const Task task = tasks_.at(index);
  journalLaunch(task, index, occasion, reason, ports_.clock.readClock().utc());
  notifyNotStarted(index, reason);
}

}  // namespace kiv
