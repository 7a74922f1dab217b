#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "base/result.h"

namespace kiv::ctl {

enum class Action { Help, Version, List, Next, Check, Run, Convert, Export, History, Options, Due };

// What the command line asks for.
struct Invocation {
  Action action = Action::Help;
  std::vector<std::string>
      files;  // FILE, or IN and OUT for convert; history's FILE may be left out
  bool json = false;
  bool showPasswords = false;
  std::optional<LocalTime> from;  // next: now when not given
  std::optional<LocalTime> until;
  std::size_t count = 10;
  std::optional<std::string> systemdFolder;  // export: where the units go
  bool userUnits = false;
  bool systemUnits = false;
  std::optional<std::string> unitPrefix;  // export: checked to make unit names
  bool persistent = false;
  std::optional<std::string> taskSchedulerFolder;  // export: where the task files go
  // history: one task's launches; options, due: the task
  std::optional<int> task;
  std::optional<LocalTime> since;  // history: launches from then on
  bool wide = false;               // history: every column whole, whatever the console's width
  // options: the settings given; an inner nullopt is "none" or "off".
  std::optional<std::chrono::minutes> wait;
  std::optional<std::optional<std::chrono::minutes>> timeLimit;
  std::optional<std::optional<std::chrono::hours>> catchUp;
  std::optional<int> backups;
  std::optional<std::string> backupFolder;  // "" for the default folder
  bool force = false;                       // options: set them on a compiled task too
  bool thenRun = false;                     // due: start the task when its day allows it
  bool logSuccesses = false;  // run: launches that went well reach the system's log too
  std::optional<std::string> metricsFile;  // run: rewritten after every launch and end
};

// Bad usage, said in one line.
struct UsageError {
  std::string message;
};

// Reads the arguments after the program's name: a command, its operands and
// its options, in any order. An option's value follows it as the next
// argument or after "=". "--" ends the options; "--help" and "--version" may
// stand anywhere.
Result<Invocation, UsageError> parseArguments(std::span<const std::string_view> arguments);

}  // namespace kiv::ctl
