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

// A program Kiv started on the database is known at once; who has the
// database open is read from its lock file, which a waiting launch looks at
// again only every few seconds unless `lookAgain`.
std::optional<std::string> Scheduler::whyBusy(WaitingLaunch& launch, std::chrono::sys_seconds now,
                                              bool lookAgain) {
  const Task& task = tasks_.at(launch.taskIndex);
  if (const RunningProgram* user = programUsing(databaseKey(task, launch.taskIndex))) {
    return busyReason(*user);
  }
  if (!isMaintenance(task)) return std::nullopt;
  if (lookAgain || !launch.inUseCheckedAt || now >= *launch.inUseCheckedAt + kInUseRecheck) {
    launch.inUseCheckedAt = now;
    launch.inUse = databaseInUse(ports_.databaseFiles, task.DatabaseLocation);
  }
  return launch.inUse;
}

// A task waits its own time, and once: a launch due while an earlier one of
// the same task still waits would only start the same work twice in a row.
bool Scheduler::waitForDatabase(WaitingLaunch launch, const std::string& reason) {
  const int index = launch.taskIndex;
  if (launch.wait == std::chrono::minutes{0}) {
    refuseLaunch(index, launch.occasion, reason);
  } else if (std::ranges::any_of(waiting_,
                                 [&](const auto& waiting) { return waiting.taskIndex == index; })) {
    refuseLaunch(index, launch.occasion,
                 "database busy: an earlier launch of this task is still waiting for it");
  } else {
    waiting_.push_back(std::move(launch));
  }
  return true;
}

// The launches go in the order they began to wait: once one starts, the
// database is in use again for those behind it, so the queue is walked
// again from its start. Each is taken out of the queue before it starts,
// since a start may run a nested event loop that ticks the scheduler again.
bool Scheduler::startWaitingLaunches(std::chrono::sys_seconds now) {
  for (std::size_t next = 0; next < waiting_.size();) {
    const bool waitedEnough = now >= waiting_[next].since + waiting_[next].wait;
    const std::optional<std::string> busy = whyBusy(waiting_[next], now, waitedEnough);
    if (busy && !waitedEnough) {
      ++next;
      continue;
    }
    WaitingLaunch launch = std::move(waiting_[next]);
    waiting_.erase(waiting_.begin() + static_cast<std::ptrdiff_t>(next));
    next = 0;
    launch.occasion.waited = now - launch.since;
    if (busy) {
      refuseLaunch(launch.taskIndex, launch.occasion,
                   *busy + " after a wait of " + durationText(*launch.occasion.waited));
    } else if (tasks_.at(launch.taskIndex).Compiled != 1) {
      refuseLaunch(launch.taskIndex, launch.occasion,
                   "the task was decompiled while it waited for its database");
    } else if (!launchScheduled(launch.taskIndex, launch.occasion)) {
      return false;
    }
  }
  return true;
}

void Scheduler::refuseLaunch(int index, const LaunchOccasion& occasion, const std::string& reason) {
  const Task task = tasks_.at(index);
  journalLaunch(task, index, occasion, reason, ports_.clock.readClock().utc());
  notifyNotStarted(index, reason);
}

}  // namespace kiv
