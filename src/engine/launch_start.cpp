#include "compile/command_line.h"
#include "engine/database_key.h"
#include "engine/scheduler.h"
#include "scheduler/last_launch_status.h"

namespace kiv {

// Any failure skips the task for this tick and the tick goes on; a start
// that fails is journalled and notified. A launch whose database is in use
// waits for it, or is refused.
bool Scheduler::launchScheduled(int index, const LaunchOccasion& occasion) {
  const std::chrono::sys_seconds now = ports_.clock.readClock().utc();
  WaitingLaunch candidate{index, occasion, now, tasks_.at(index).Options.wait, {}, {}};
  if (const std::optional<std::string> busy = whyBusy(candidate, now, true)) {
    return waitForDatabase(std::move(candidate), *busy);
  }
  const StartResult result = launch(index, occasion, ports_.clock.now());
  if (!result) notifyNotStarted(index, result.error());
  return !closed_;
}

void Scheduler::notifyNotStarted(int index, const std::string& reason) {
  notifyFailure(taskSubject(index + 1, tasks_.at(index).TaskName) +
                " could not be started: " + reason);
}

// A compact, repair or decompile of a database that somebody has open is
// refused at once: the user who pressed Run now is there to try again.
Result<void, std::string> Scheduler::runNow(int index) {
  const ClockReading reading = ports_.clock.readClock();
  const LaunchOccasion occasion{LaunchHow::OnDemand, reading.local, {}, {}};
  const Task task = tasks_.at(index);
  if (isMaintenance(task)) {
    if (std::optional<std::string> inUse =
            databaseInUse(ports_.databaseFiles, task.DatabaseLocation)) {
      journalLaunch(task, index, occasion, *inUse, reading.utc());
      return *inUse;
    }
  }
  const StartResult result = launch(index, occasion, reading.local);
  if (!result) return result.error();
  return {};
}

const RunningProgram* Scheduler::programUsingDatabaseOf(int index) const {
  return programUsing(databaseKey(tasks_.at(index), index));
}

StartResult Scheduler::launch(int index, const LaunchOccasion& occasion, LocalTime shownAt) {
  LaunchNotice notice{index, occasion.how, launchStatus(index, shownAt, occasion.how), false};
  events_.launchStarting(notice);
  // A copy, read after the event: its handler may have edited the task, and
  // the start below may run a nested event loop that does.
  const Task task = tasks_.at(index);
  const std::chrono::sys_seconds startedAt = ports_.clock.readClock().utc();
  std::optional<MaintenanceRun> maintenance;
  StartResult result = startProgram(task, occasion.dueAt.value_or(occasion.at), maintenance);
  journalLaunch(task, index, occasion, result, startedAt, std::move(maintenance));
  if (!result) return result;
  notice.closesScheduler = occasion.how != LaunchHow::OnDemand && task.CloseAfterRunning == 1;
  closed_ = closed_ || notice.closesScheduler;
  events_.launchStarted(notice);
  return result;
}

// The command line is composed afresh from the task, as showing it in the
// window composes it; a task that compiling refuses is not started, for the
// reason compiling gives. A compact, repair or decompile starts only once
// its database is found fit and copied, as due at `due`.
StartResult Scheduler::startProgram(const Task& task, LocalTime due,
                                    std::optional<MaintenanceRun>& maintenance) {
  const CompileInputs inputs = compileInputsFor(task);
  if (const auto compilable = validateForCompile(inputs); !compilable) {
    return std::string(compilable.error().message);
  }
  if (isMaintenance(task)) {
    Result<MaintenanceRun, std::string> prepared =
        prepareMaintenance(ports_.databaseFiles, task, due);
    if (!prepared) return prepared.error();
    maintenance = std::move(prepared).value();
  }
  return ports_.starter.startProcess(composeCommandLine(inputs));
}

std::string Scheduler::launchStatus(int index, LocalTime when, LaunchHow how) {
  return lastLaunchStatus(
      index + 1, when, ports_.clock.monthAbbreviation(toCivil(when).month),
      how == LaunchHow::OnDemand ? LaunchKind::OnDemand : LaunchKind::Scheduled);
}

}  // namespace kiv
