#include "arguments.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "os_services.h"
#include "schedule_file/options_record.h"
#include "scheduler/date_time_text.h"
#include "tasks/task.h"
#include "unit_names.h"

namespace kiv::ctl {
namespace {

// Reads an option's value into the invocation; the complaint when it is not
// usable.
using ApplyValue = std::optional<std::string> (*)(Invocation&, std::string_view value);

struct OptionSpec {
  std::string_view name;
  ApplyValue apply;  // nullptr for a switch, which takes no value
  bool Invocation::*flag = nullptr;
};

// Enough for years of launches; a limit keeps a slip of the finger from
// filling the memory.
constexpr std::size_t kMostLaunches = 1'000'000;

// A whole number from `lowest` to `highest`, or nullopt.
std::optional<long long> wholeNumber(std::string_view value, long long lowest, long long highest) {
  long long number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  if (error != std::errc{} || stop != end || number < lowest || number > highest) {
    return std::nullopt;
  }
  return number;
}

std::optional<std::string> applyDateTime(std::optional<LocalTime>& target, std::string_view option,
                                         std::string_view value) {
  target = parseDateTime(value);
  if (target) return std::nullopt;
  return std::string(option) + " takes a local date and time \"YYYY-MM-DD hh:mm:ss\", not \"" +
         std::string(value) + "\"";
}

std::optional<std::string> applyCount(Invocation& in, std::string_view value) {
  if (const auto count = wholeNumber(value, 1, kMostLaunches)) {
    in.count = static_cast<std::size_t>(*count);
    return std::nullopt;
  }
  return "--count takes a whole number from 1 to " + std::to_string(kMostLaunches) + ", not \"" +
         std::string(value) + "\"";
}

std::optional<std::string> applySystemdFolder(Invocation& in, std::string_view value) {
  if (value.empty()) return std::string("--systemd takes a folder");
  in.systemdFolder = std::string(value);
  return std::nullopt;
}

std::optional<std::string> applyTaskSchedulerFolder(Invocation& in, std::string_view value) {
  if (value.empty()) return std::string("--task-scheduler takes a folder");
  in.taskSchedulerFolder = std::string(value);
  return std::nullopt;
}

std::optional<std::string> applyUnitPrefix(Invocation& in, std::string_view value) {
  if (auto problem = unitPrefixProblem(value)) return "--prefix: " + *problem;
  in.unitPrefix = std::string(value);
  return std::nullopt;
}

std::optional<std::string> applyTask(Invocation& in, std::string_view value) {
  if (const auto number = wholeNumber(value, 1, kTaskCount)) {
    in.task = static_cast<int>(*number);
    return std::nullopt;
  }
  return "--task takes a task number from 1 to " + std::to_string(kTaskCount) + ", not \"" +
         std::string(value) + "\"";
}

std::optional<std::string> applyWait(Invocation& in, std::string_view value) {
  if (const auto minutes = wholeNumber(value, 0, kLongestWait.count())) {
    in.wait = std::chrono::minutes{*minutes};
    return std::nullopt;
  }
  return "--wait takes a number of minutes from 0 to " + std::to_string(kLongestWait.count()) +
         ", not \"" + std::string(value) + "\"";
}

std::optional<std::string> applyTimeLimit(Invocation& in, std::string_view value) {
  if (value == "none") {
    in.timeLimit.emplace(std::nullopt);
    return std::nullopt;
  }
  if (const auto minutes =
          wholeNumber(value, kShortestTimeLimit.count(), kLongestTimeLimit.count())) {
    in.timeLimit.emplace(std::chrono::minutes{*minutes});
    return std::nullopt;
  }
  return "--time-limit takes a number of minutes from " +
         std::to_string(kShortestTimeLimit.count()) + " to " +
         std::to_string(kLongestTimeLimit.count()) + ", or none, not \"" + std::string(value) +
         "\"";
}

std::optional<std::string> applyCatchUp(Invocation& in, std::string_view value) {
  if (value == "off") {
    in.catchUp.emplace(std::nullopt);
    return std::nullopt;
  }
  if (const auto hours = wholeNumber(value, kShortestCatchUp.count(), kLongestCatchUp.count())) {
    in.catchUp.emplace(std::chrono::hours{*hours});
    return std::nullopt;
  }
  return "--catch-up takes a number of hours from " + std::to_string(kShortestCatchUp.count()) +
         " to " + std::to_string(kLongestCatchUp.count()) + ", or off, not \"" +
         std::string(value) + "\"";
}

std::optional<std::string> applyBackups(Invocation& in, std::string_view value) {
  if (const auto copies = wholeNumber(value, 0, kMostBackups)) {
    in.backups = static_cast<int>(*copies);
    return std::nullopt;
  }
  return "--backups takes a number of copies from 0 to " + std::to_string(kMostBackups) +
         ", not \"" + std::string(value) + "\"";
}

// The folder as the schedule file of this system would hold it, checked
// here so that a folder it cannot hold is bad usage like a number out of
// range.
std::optional<std::string> applyBackupFolder(Invocation& in, std::string_view value) {
  if (value.empty()) return std::string("--backup-folder takes a folder, or default");
  if (value == "default") {
    in.backupFolder.emplace();
    return std::nullopt;
  }
  if (const auto problem = backupFolderProblem(value, scheduleCodePage())) {
    std::string_view why = problem->description;
    if (why.ends_with('.')) why.remove_suffix(1);
    return "--backup-folder: " + std::string(why);
  }
  in.backupFolder = std::string(value);
  return std::nullopt;
}

std::optional<std::string> applyMetricsFile(Invocation& in, std::string_view value) {
  if (value.empty()) return std::string("--metrics takes a file");
  in.metricsFile = std::string(value);
  return std::nullopt;
}

constexpr std::array<OptionSpec, 23> kOptions{{
    {"--json", nullptr, &Invocation::json},
    {"--show-passwords", nullptr, &Invocation::showPasswords},
    {"--from", [](Invocation& in,
                  std::string_view value) { return applyDateTime(in.from, "--from", value); }},
    {"--until", [](Invocation& in,
                   std::string_view value) { return applyDateTime(in.until, "--until", value); }},
    {"--count", applyCount},
    {"--systemd", applySystemdFolder},
    {"--user", nullptr, &Invocation::userUnits},
    {"--system", nullptr, &Invocation::systemUnits},
    {"--prefix", applyUnitPrefix},
    {"--persistent", nullptr, &Invocation::persistent},
    {"--task-scheduler", applyTaskSchedulerFolder},
    {"--then-run", nullptr, &Invocation::thenRun},
    {"--task", applyTask},
    {"--since", [](Invocation& in,
                   std::string_view value) { return applyDateTime(in.since, "--since", value); }},
    {"--wait", applyWait},
    {"--time-limit", applyTimeLimit},
    {"--catch-up", applyCatchUp},
    {"--backups", applyBackups},
    {"--backup-folder", applyBackupFolder},
    {"--force", nullptr, &Invocation::force},
    {"--wide", nullptr, &Invocation::wide},
    {"--log-successes", nullptr, &Invocation::logSuccesses},
    {"--metrics", applyMetricsFile},
}};

// What the options of a command must be together; nullopt when they are.
using OptionsCheck = std::optional<std::string> (*)(const Invocation&);

std::optional<std::string> checkExportOptions(const Invocation& in) {
  if (in.systemdFolder && in.taskSchedulerFolder) {
    return std::string("--systemd and --task-scheduler exclude each other");
  }
  if (in.taskSchedulerFolder) {
    if (in.userUnits || in.systemUnits || in.unitPrefix || in.persistent) {
      return std::string("--user, --system, --prefix and --persistent go with --systemd only");
    }
    return std::nullopt;
  }
  if (!in.systemdFolder) return std::string("'export' needs --systemd DIR or --task-scheduler DIR");
  if (in.userUnits && in.systemUnits) return std::string("--user and --system exclude each other");
  return std::nullopt;
}

std::optional<std::string> checkOptionsOptions(const Invocation& in) {
  if (!in.task) return std::string("'options' needs --task N");
  return std::nullopt;
}

std::optional<std::string> checkDueOptions(const Invocation& in) {
  if (!in.task) return std::string("'due' needs --task N");
  return std::nullopt;
}

struct CommandSpec {
  std::string_view name;
  Action action;
  std::string_view operands;  // as the help names them
  std::size_t operandCount;   // at most, and at least unless the operands may be left out
  std::vector<std::string_view> options;
  OptionsCheck check = nullptr;
  bool operandsOptional = false;
};

const std::array<CommandSpec, 9>& commands() {
  static const std::array<CommandSpec, 9> kCommands{{
      {"list", Action::List, "FILE", 1, {"--json", "--show-passwords"}},
      {"next", Action::Next, "FILE", 1, {"--from", "--count", "--until", "--json"}},
      {"check", Action::Check, "FILE", 1, {}},
      {"run", Action::Run, "FILE", 1, {"--log-successes", "--metrics"}},
      {"convert", Action::Convert, "IN OUT", 2, {}},
      {"export",
       Action::Export,
       "FILE",
       1,
       {"--systemd", "--user", "--system", "--prefix", "--persistent", "--task-scheduler"},
       checkExportOptions},
      {"due", Action::Due, "FILE", 1, {"--task", "--then-run"}, checkDueOptions},
      {"history",
       Action::History,
       "[FILE]",
       1,
       {"--task", "--since", "--json", "--wide"},
       nullptr,
       true},
      {"options",
       Action::Options,
       "FILE",
       1,
       {"--task", "--wait", "--time-limit", "--catch-up", "--backups", "--backup-folder",
        "--force"},
       checkOptionsOptions},
  }};
  return kCommands;
}

const CommandSpec* findCommand(std::string_view name) {
  for (const CommandSpec& command : commands()) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

const OptionSpec* findOption(std::string_view name) {
  for (const OptionSpec& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

bool allows(const CommandSpec& command, std::string_view option) {
  return std::ranges::find(command.options, option) != command.options.end();
}

// Reads the options and operands after the command's name.
class CommandParser {
 public:
  CommandParser(const CommandSpec& command, std::span<const std::string_view> arguments)
      : command_(command), arguments_(arguments) {
    invocation_.action = command.action;
  }

  Result<Invocation, UsageError> parse() {
    bool optionsEnded = false;
    for (next_ = 0; next_ < arguments_.size();) {
      const std::string_view argument = arguments_[next_++];
      const bool isOption = !optionsEnded && argument.starts_with("-") && argument != "-";
      if (!optionsEnded && argument == "--") {
        optionsEnded = true;
      } else if (isOption) {
        if (auto error = option(argument)) return UsageError{*error};
      } else {
        invocation_.files.emplace_back(argument);
      }
    }
    const std::size_t given = invocation_.files.size();
    if (given > command_.operandCount ||
        (given < command_.operandCount && !command_.operandsOptional)) {
      return UsageError{"'" + std::string(command_.name) + "' takes " +
                        std::string(command_.operands) + ", given " +
                        std::to_string(invocation_.files.size()) + " operand" +
                        (invocation_.files.size() == 1 ? "" : "s")};
    }
    if (command_.check != nullptr) {
      if (auto error = command_.check(invocation_)) return UsageError{*error};
    }
    return invocation_;
  }

 private:
  std::optional<std::string> option(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    const OptionSpec* spec = findOption(name);
    if (spec == nullptr || !allows(command_, name)) {
      return "'" + std::string(command_.name) + "' has no option " + std::string(name);
    }
    if (spec->apply == nullptr) {
      if (equals != std::string_view::npos) return std::string(name) + " takes no value";
      invocation_.*spec->flag = true;
      return std::nullopt;
    }
    if (equals != std::string_view::npos)
      return spec->apply(invocation_, argument.substr(equals + 1));
    if (next_ == arguments_.size()) return std::string(name) + " needs a value";
    return spec->apply(invocation_, arguments_[next_++]);
  }

  const CommandSpec& command_;
  std::span<const std::string_view> arguments_;
  std::size_t next_ = 0;
  Invocation invocation_;
};

// "--help" and "--version" answer whatever else stands beside them, until
// "--" makes the rest operands.
std::optional<Action> informationAsked(std::span<const std::string_view> arguments) {
  for (const std::string_view argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help") return Action::Help;
    if (argument == "--version") return Action::Version;
  }
  return std::nullopt;
}

}  // namespace

Result<Invocation, UsageError> parseArguments(std::span<const std::string_view> arguments) {
  if (const auto information = informationAsked(arguments)) {
    Invocation invocation;
    invocation.action = *information;
    return invocation;
  }
  if (arguments.empty()) return UsageError{"no command given"};
  const CommandSpec* command = findCommand(arguments.front());
  if (command == nullptr) {
    return UsageError{"unknown command '" + std::string(arguments.front()) + "'"};
  }
  return CommandParser(*command, arguments.subspan(1)).parse();
}

}  // namespace kiv::ctl
