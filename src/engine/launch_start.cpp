#include "compile/command_line.h"
#include "engine/scheduler.h"
#include "scheduler/last_launch_status.h"

namespace kiv {

// Any failure skips the task for this tick and the tick goes on; a start
// that fails is journalled and notified.
bool Scheduler::launchScheduled(int index, const LaunchOccasion& occasion) {
  const StartResult result = launch(index, occasion, ports_.clock.now());
  if (!result) {
    notifyUser(taskSubject(index + 1, tasks_.at(index).TaskName) +
               " could not be started: " + result.error());
  }
  return !closed_;
}

Result<void, std::string> Scheduler::runNow(int index) {
  const LocalTime now = ports_.clock.now();
  const StartResult result = launch(index, {LaunchHow::OnDemand, now, std::nullopt}, now);
  if (!result) return result.error();
  return {};
}

StartResult Scheduler::launch(int index, const LaunchOccasion& occasion, LocalTime shownAt) {
  LaunchNotice notice{index, occasion.how, launchStatus(index, shownAt, occasion.how), false};
  events_.launchStarting(notice);
  // A copy, read after the event: its handler may have edited the task, and
  // the start below may run a nested event loop that does.
  const Task task = tasks_.at(index);
  const LocalTime startedAt = ports_.clock.now();
  StartResult result = startProgram(task);
  journalLaunch(task, index, occasion, result, startedAt);
  if (!result) return result;
  notice.closesScheduler = occasion.how != LaunchHow::OnDemand && task.CloseAfterRunning == 1;
  closed_ = closed_ || notice.closesScheduler;
  events_.launchStarted(notice);
  return result;
}

// The command line is composed afresh from the task, as showing it in the
// window composes it; a task that compiling refuses is not started, for the
// reason compiling gives.
StartResult Scheduler::startProgram(const Task& task) {
  const CompileInputs inputs = compileInputsFor(task);
  if (const auto compilable = validateForCompile(inputs); !compilable) {
    return std::string(compilable.error().message);
  }
  return ports_.starter.startProcess(composeCommandLine(inputs));
}

std::string Scheduler::launchStatus(int index, LocalTime when, LaunchHow how) {
  return lastLaunchStatus(
      index + 1, when, ports_.clock.monthAbbreviation(toCivil(when).month),
      how == LaunchHow::OnDemand ? LaunchKind::OnDemand : LaunchKind::Scheduled);
}

}  // namespace kiv
