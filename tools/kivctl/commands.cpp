#include "commands.h"

#include "arguments.h"
#include "check_command.h"
#include "convert_command.h"
#include "exit_status.h"
#include "export_command.h"
#include "history_command.h"
#include "list_command.h"
#include "next_command.h"
#include "options_command.h"
#include "os_services.h"
#include "run_command.h"
#include "schedule_source.h"
#include "usage.h"
#include "wall_clock.h"

namespace kiv::ctl {

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
      return historyCommand(filter, in.json, journalText(), out, err);
    }
    case Action::Options:
      return optionsCommand(
          in.files[0], *in.task,
          {in.wait, in.timeLimit, in.catchUp, in.backups, in.backupFolder, in.force}, out, err);
  }
  return kExitUsage;
}

}  // namespace kiv::ctl
