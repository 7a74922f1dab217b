#include "export_command.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/maintenance_guard.h"
#include "exit_status.h"
#include "export_files.h"
#include "export_plan.h"
#include "next_command.h"
#include "schedule_source.h"
#include "scheduler/date_time_text.h"
#include "scheduler/launch_time.h"
#include "scheduler/skipped_time.h"
#include "scheduler/systemd_calendar.h"
#include "scheduler/task_launches.h"
#include "systemd_quoting.h"
#include "systemd_units.h"
#include "unit_names.h"

namespace kiv::ctl {
namespace {

namespace fs = std::filesystem;

// Why a compiled task gets no units. A task that never launches is exported
// exactly by having none; one that launches but cannot be expressed is a
// failure of the export.
struct Refusal {
  std::string message;
  bool failure = false;
};

// The two units of a planned task, or why systemd cannot start its program as
// the starter would.
Result<TaskUnits, Refusal> unitsFor(ExportPlan plan, bool persistent) {
  const std::string refused =
      "task " + std::to_string(plan.taskIndex + 1) + " cannot be exported: ";
  // systemd tells a program the name it starts; the starter tells it another
  // one. Argument 0 is not named, since a quote left open takes the rest of
  // the line into it, the password with it.
  if (!plan.arguments.empty() && plan.program != plan.arguments.front()) {
    return Refusal{refused + "the location of Access holds a double quote, so the scheduler " +
                       "starts \"" + plan.program + "\" and tells it another name",
                   true};
  }
  if (auto problem = execStartProblem(plan.arguments)) return Refusal{refused + *problem, true};
  return TaskUnits{std::move(plan.description), std::move(plan.arguments),
                   calendarEvents(plan.days, plan.secondsOfDay), persistent || plan.catchesUp,
                   plan.timeLimit};
}

std::optional<std::string> writeUnit(const fs::path& file, const std::string& text) {
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return writeExportFile(file, bytes, "unit");
}

std::string systemctl(UnitScope scope) {
  return scope == UnitScope::User ? "systemctl --user" : "systemctl";
}

bool isThere(const fs::path& file) {
  std::error_code ignored;  // a file that cannot even be looked at is no leftover to name
  return fs::exists(fs::symlink_status(file, ignored));
}

// A task that had units from an earlier export and has none now would go on
// starting from them once enabled; they are not this export's to remove.
void noteLeftovers(const ExportOptions& options, std::string_view prefix,
                   const std::vector<bool>& exported, std::ostream& err) {
  for (int index = 0; index < kTaskCount; ++index) {
    if (exported[static_cast<std::size_t>(index)]) continue;
    const std::string stem = unitStem(prefix, index);
    if (!isThere(options.directory / (stem + ".timer")) &&
        !isThere(options.directory / (stem + ".service"))) {
      continue;
    }
    reportError(err, "task " + std::to_string(index + 1) + " has no units now, but " +
                         (options.directory / stem).string() +
                         ".* are left from an earlier export; stop them with '" +
                         systemctl(options.scope) + " disable --now " + stem +
                         ".timer' and remove them");
  }
}

void writeEnableCommands(const ExportOptions& options, const std::vector<std::string>& timers,
                         std::ostream& out) {
  if (timers.empty()) {
    out << "No units written.\n";
    return;
  }
  out << '\n';
  if (!options.searchFolders.empty() && !isSearchFolder(options.directory, options.searchFolders)) {
    out << "systemd reads no units from " << options.directory.string() << ": copy them into "
        << options.searchFolders.front().string() << " first.\n";
  }
  const std::string command = systemctl(options.scope);
  out << "To start the timers now and at every boot:\n";
  out << "  " << command << " daemon-reload\n";
  for (const std::string& timer : timers)
    out << "  " << command << " enable --now " << timer << '\n';
  // The user's service manager, and its timers, end with the user's last
  // session unless it lingers.
  if (options.scope == UnitScope::User) {
    out << "For timers that must elapse while you are not logged in:\n"
           "  loginctl enable-linger\n";
  }
}

// A year holds every change of daylight saving that a zone's rules repeat.
constexpr std::chrono::days kDaylightSavingLookAhead{366};

// Names the task when one of its launches falls in the local times a change
// of daylight saving skips in the coming year: there the timer does not
// elapse, while the scheduler makes up a fixed launch time.
void noteSkippedLaunch(const Task& task, int index, const std::vector<SkippedTime>& skipped,
                       std::ostream& err) {
  const auto seconds = launchSecondsOfDay(task);
  if (!seconds) return;
  for (const SkippedTime& hour : skipped) {
    const TaskLaunches launches(task.DaysToRunOn, seconds.value(), hour.first);
    if (launches.current() >= hour.end) continue;
    reportError(err, taskLabel(index, task) + " is due at " + dateTimeText(launches.current()) +
                         ", which daylight saving skips: " +
                         (isRecurring(task.LaunchAt)
                              ? "neither the scheduler nor its timer launches it then"
                              : "the scheduler launches it at the first second after the "
                                "change, its timer not at all that day"));
    return;
  }
}

// Names the task, once, where its units do what its options ask only in
// part: a persistent timer makes up a missed elapse however late, and
// systemd has nothing that waits for another program on the same database.
void noteOptionDifferences(const Task& task, int index, std::ostream& err) {
  std::vector<std::string> differences;
  if (catchesUp(task)) {
    differences.push_back(
        "its timer is persistent and makes up a launch missed while the machine "
        "was off however late, where the scheduler makes it up only when it is "
        "at most " +
        std::to_string(task.Options.catchUp->count()) + " hours late");
  }
  if (task.Options.wait != TaskOptions{}.wait) {
    differences.push_back(
        "its wait of " + std::to_string(task.Options.wait.count()) +
        " minutes for a busy database has no counterpart: a timer only does not start its "
        "service again while it still runs, and starts it at once beside another task's program");
  }
  reportDifferences(index, differences, err);
}

}  // namespace

int exportCommand(const std::string& file, const ExportOptions& options, std::ostream& out,
                  std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;
  const std::string prefix = options.prefix.value_or(defaultUnitPrefix(file));
  if (const auto problem = unitPrefixProblem(prefix)) {
    reportError(err, *problem + "; give one with --prefix");
    return kExitFailure;
  }
  if (!prepareExportFolder(options.directory, "units", err)) return kExitFailure;

  const std::vector<SkippedTime> skipped =
      options.zone == nullptr
          ? std::vector<SkippedTime>{}
          : skippedTimesBetween(*options.zone, options.now, options.now + kDaylightSavingLookAhead);
  const std::string scheduleName = fs::path(file).filename().string();
  std::vector<bool> exported(kTaskCount, false);
  std::vector<std::string> timers;
  std::vector<int> unguarded;
  bool complete = true;
  bool passwordInSystemUnit = false;
  for (ExportPlan& plan : exportPlansOf(schedule->tasks, scheduleName, err)) {
    const int index = plan.taskIndex;
    const Task& task = schedule->tasks.at(index);
    const auto units = unitsFor(std::move(plan), options.persistent);
    if (!units) {
      reportError(err, units.error().message);
      complete = complete && !units.error().failure;
      continue;
    }
    if (task.CloseAfterRunning == 1) {
      reportError(err, "task " + std::to_string(index + 1) +
                           " has \"Close KIV after running?\" checked, which has no meaning for a "
                           "timer: there is no scheduler to close");
    }
    noteSkippedLaunch(task, index, skipped, err);
    noteOptionDifferences(task, index, err);
    const std::string stem = unitStem(prefix, index);
    const std::array<std::pair<std::string, std::string>, 2> files{{
        {stem + ".service", serviceUnitText(units.value())},
        {stem + ".timer", timerUnitText(units.value())},
    }};
    for (const auto& [name, text] : files) {
      if (const auto failure = writeUnit(options.directory / name, text)) {
        reportError(err, *failure);
        return kExitFailure;
      }
      out << "wrote " << (options.directory / name).string() << '\n';
    }
    exported[static_cast<std::size_t>(index)] = true;
    timers.push_back(stem + ".timer");
    if (isMaintenance(task)) unguarded.push_back(index);
    passwordInSystemUnit = passwordInSystemUnit || !task.Password.empty();
  }
  passwordInSystemUnit = passwordInSystemUnit && options.scope == UnitScope::System;

  noteLeftovers(options, prefix, exported, err);
  reportUnguardedMaintenance(unguarded, err);
  if (passwordInSystemUnit) {
    reportError(err,
                "the system's service manager shows a service's command line, and with it the "
                "password, to every user of the machine ('systemctl show'); export tasks with a "
                "password with --user");
  }
  writeEnableCommands(options, timers, out);
  return complete ? kExitSuccess : kExitFailure;
}

}  // namespace kiv::ctl
