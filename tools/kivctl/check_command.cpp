#include "check_command.h"

#include <optional>

#include "compile/printed_command_line.h"
#include "engine/maintenance_guard.h"
#include "exit_status.h"
#include "os_services.h"
#include "schedule_source.h"
#include "scheduler/daily_candidates.h"
#include "scheduler/launch_time_check.h"

namespace kiv::ctl {
namespace {

std::optional<std::string> launchTimeProblem(const std::string& launchAt) {
  const std::string subject = "launch time \"" + launchAt + "\"";
  if (const auto refusal = checkLaunchTime(launchAt)) return subject + ": " + std::string(*refusal);
  const DailyCandidates candidates = dailyCandidates(launchAt);
  if (!candidates) return subject + " is never due: " + candidates.error();
  return std::nullopt;
}

}  // namespace

std::vector<std::string> maintenanceWarnings(const TaskTable& tasks) {
  std::vector<std::string> warnings;
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1 || !isMaintenance(task) || !validateForCompile(compileInputsFor(task))) {
      continue;
    }
    if (const auto warning = maintenanceWarning(databaseFiles(), task)) {
      warnings.push_back("task " + std::to_string(index + 1) + ": warning: " + *warning);
    }
  }
  return warnings;
}

std::vector<std::string> scheduleProblems(const TaskTable& tasks) {
  std::vector<std::string> problems;
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1) continue;
    const std::string prefix = "task " + std::to_string(index + 1) + ": ";
    if (const auto compilable = validateForCompile(compileInputsFor(task)); !compilable) {
      problems.push_back(prefix + std::string(compilable.error().message));
    }
    if (const auto problem = launchTimeProblem(task.LaunchAt))
      problems.push_back(prefix + *problem);
  }
  return problems;
}

int checkCommand(const std::string& file, std::ostream& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadSchedule(file, err);
  if (!schedule) return kExitFailure;
  std::vector<std::string> problems = scheduleProblems(schedule->tasks);
  if (schedule->incomplete) problems.insert(problems.begin(), *schedule->incomplete);
  for (const std::string& problem : problems) {
    out << shownOnTerminal(file + ": " + problem) << '\n';
  }
  for (const std::string& warning : maintenanceWarnings(schedule->tasks)) {
    out << shownOnTerminal(file + ": " + warning) << '\n';
  }
  return problems.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace kiv::ctl
