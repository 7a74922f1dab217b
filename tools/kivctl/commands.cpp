#include "commands.h"

#include <filesystem>
#include <system_error>

#include "arguments.h"
#include "base/utf8_path.h"
#include "check_command.h"
#include "convert_command.h"
#include "due_command.h"
#include "exit_status.h"
#include "export_command.h"
#include "history_command.h"
#include "list_command.h"
#include "next_command.h"
#include "options_command.h"
#include "os_services.h"
#include "run_command.h"
#include "schedule_source.h"
#include "task_scheduler_export.h"
#include "usage.h"
#include "wall_clock.h"

namespace kiv::ctl {
namespace {

// The width a table is fitted into when standard output is no terminal: the
// classic console's, where a file or a pipe is most often read later.
constexpr std::size_t kConsoleWidth = 80;

// The journal as the history reads it. A journal file that is not there is
// one nothing was written to yet, but a journal folder that is not there
// means no Kiv program ever ran as this user with this environment (another
// user through sudo, another XDG_STATE_HOME): an empty table would look like
// a schedule that never launched.
Result<std::string, JournalUnreadable> journalOfHistory() {
  const std::filesystem::path folder = journalFolder();
  std::error_code error;
  if (!folder.empty() && !std::filesystem::exists(folder, error) && !error) {
    return JournalUnreadable{"its folder " + utf8FromPath(folder) +
                             " does not exist: no Kiv program has run as this user here"};
  }
  return journalText();
}

}  // namespace

int runKivctl(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
  const Result<Invocation, UsageError> parsed = parseArguments(arguments);
  if (!parsed) {
    reportError(err, parsed.error().message + "; try 'kivctl --help'");
    return kExitUsage;
  }
  const Invocation& in = parsed.value();
  switch (in.action) {
    case Action::Help:
      out << helpText();
      return kExitSuccess;
    case Action::Version:
      out << versionText();
      return kExitSuccess;
    case Action::List:
      return listCommand(in.files[0], {in.json, in.showPasswords, journalText()}, out, err);
    case Action::Next:
      return nextCommand(in.files[0],
                         {in.from.value_or(localNow()), in.count, in.until, &systemLocalZone()},
                         in.json, out, err);
    case Action::Check:
      return checkCommand(in.files[0], out, err);
    case Action::Run:
      return runCommand(
          in.files[0], {in.logSuccesses ? SuccessLogging::On : SuccessLogging::Off, in.metricsFile},
          out, err);
    case Action::Convert:
      return convertCommand(in.files[0], in.files[1], err);
    case Action::Export: {
      if (in.taskSchedulerFolder) {
        return exportTaskSchedulerCommand(in.files[0],
                                          {.directory = pathFromUtf8(*in.taskSchedulerFolder),
                                           .scheduleIdentity = scheduleIdentity(in.files[0]),
                                           .from = localNow()},
                                          out, err);
      }
      const UnitScope scope = in.systemUnits ? UnitScope::System : UnitScope::User;
      return exportCommand(in.files[0],
                           {.directory = *in.systemdFolder,
                            .scope = scope,
                            .prefix = in.unitPrefix,
                            .persistent = in.persistent,
                            .searchFolders = unitSearchFolders(scope),
                            .zone = &systemLocalZone(),
                            .now = readLocalClock().utc()},
                           out, err);
    }
    case Action::History: {
      const std::string file = in.files.empty() ? "" : in.files[0];
      // The launches of a file that cannot be read would be an empty table
      // that looks like a schedule never launched.
      if (!in.files.empty() && !loadSchedule(file, err)) return kExitFailure;
      HistoryFilter filter{in.files.empty() ? std::nullopt : std::optional(file), in.task,
                           in.since};
      const std::optional<std::size_t> width =
          in.wide ? std::nullopt : std::optional(terminalWidth().value_or(kConsoleWidth));
      return historyCommand(filter, {in.json, width}, journalOfHistory(), out, err);
    }
    case Action::Options:
      return optionsCommand(
          in.files[0], *in.task,
          {in.wait, in.timeLimit, in.catchUp, in.backups, in.backupFolder, in.force}, out, err);
    case Action::Due:
      return dueCommand(in.files[0], *in.task, in.thenRun,
                        std::chrono::floor<std::chrono::days>(localNow()), out, err);
  }
  return kExitUsage;
}

}  // namespace kiv::ctl
