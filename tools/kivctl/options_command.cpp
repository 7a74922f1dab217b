#include "options_command.h"

#include "exit_status.h"
#include "options_text.h"
#include "os_services.h"
#include "schedule_source.h"
#include "terminal_text.h"

namespace kiv::ctl {
namespace {

constexpr std::size_t kNameWidth = 18;  // "timeLimitMinutes" and two blanks

bool changesAnything(const OptionsChange& change) {
  return change.wait || change.timeLimit || change.catchUp || change.backups || change.backupFolder;
}

void apply(const OptionsChange& change, TaskOptions& options) {
  if (change.wait) options.wait = *change.wait;
  if (change.timeLimit) options.timeLimit = *change.timeLimit;
  if (change.catchUp) options.catchUp = *change.catchUp;
  if (change.backups) options.backups = *change.backups;
  if (change.backupFolder) options.backupFolder = *change.backupFolder;
}

void printOptions(const TaskOptions& options, std::ostream& out) {
  for (const auto& [name, value] : optionsText(options)) {
    out << name << std::string(kNameWidth - name.size(), ' ') << shownOnTerminal(value) << '\n';
  }
}

// Why the options of this task of this schedule cannot be saved, if they cannot.
std::optional<std::string> savingRefusal(const Schedule& schedule, int taskNumber,
                                         const OptionsChange& change) {
  if (schedule.layout != ScheduleLayout::Current) {
    return "the file has an older layout, which holds no options; convert it first with "
           "'kivctl convert'";
  }
  if (schedule.incomplete) return "the file is " + *schedule.incomplete;
  if (schedule.tasks.at(taskNumber - 1).Compiled == 1 && !change.force) {
    return "task " + std::to_string(taskNumber) +
           " is compiled, so its fields are locked; give --force to change its options anyway";
  }
  return std::nullopt;
}

}  // namespace

int optionsCommand(const std::string& file, int taskNumber, const OptionsChange& change,
                   std::ostream& out, std::ostream& err) {
  if (!changesAnything(change)) {
    const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
    if (!schedule) return kExitFailure;
    printOptions(schedule->tasks.at(taskNumber - 1).Options, out);
    return kExitSuccess;
  }
  // Taken before reading, so no scheduler can begin with the old tasks in
  // between; released when kivctl ends.
  const ScheduleClaim claim = claimScheduleFile(file);
  if (claim.kind == ScheduleClaim::Kind::HeldByOther) {
    reportError(err, file + " is already being scheduled by " + claim.detail +
                         ", which would go on with the options it read; nothing was changed");
    return kExitFailure;
  }
  std::optional<Schedule> schedule = loadSchedule(file, err);
  if (!schedule) return kExitFailure;
  if (const auto refusal = savingRefusal(*schedule, taskNumber, change)) {
    reportError(err, file + ": " + *refusal + "; nothing was changed");
    return kExitFailure;
  }
  apply(change, schedule->tasks.at(taskNumber - 1).Options);
  return saveSchedule(file, schedule->tasks, err);
}

}  // namespace kiv::ctl
