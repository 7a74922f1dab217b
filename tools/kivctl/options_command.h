#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

namespace kiv::ctl {

// The options "kivctl options" sets; an option not given keeps its value, an
// inner nullopt is "none" (time limit) or "off" (catch-up).
struct OptionsChange {
  std::optional<std::chrono::minutes> wait;
  std::optional<std::optional<std::chrono::minutes>> timeLimit;
  std::optional<std::optional<std::chrono::hours>> catchUp;
  std::optional<int> backups;
  std::optional<std::string> backupFolder;  // "" for the default folder
  bool force = false;                       // change a compiled task's options too
};

// "kivctl options": without a change, prints task `taskNumber`'s options;
// with one, sets them and saves the schedule the safe way the window saves.
// Refused, leaving the file as it was, for a compiled task without `force`
// (compiling locks a task's fields), for a file of an older layout or one
// that is no complete schedule, and for a schedule another Kiv program
// schedules (it holds the tasks it read and would go on with the old ones).
// The exit status.
int optionsCommand(const std::string& file, int taskNumber, const OptionsChange& change,
                   std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
