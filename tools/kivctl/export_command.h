#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/local_zone.h"
#include "unit_folders.h"

namespace kiv::ctl {

struct ExportOptions {
  std::filesystem::path directory;    // made when it is not there
  UnitScope scope = UnitScope::User;  // decides the systemctl commands shown
  std::optional<std::string> prefix;  // by default from the schedule file's name
  bool persistent = false;
  // Where the service manager of `scope` reads units (unitSearchFolders):
  // units written elsewhere must be copied into the first before they start.
  // Empty when not known: then no such advice is given.
  std::vector<std::filesystem::path> searchFolders;
  // The local time zone and the moment from which a year of its changes of
  // daylight saving are looked at; without a zone none is.
  const LocalZone* zone = nullptr;
  std::chrono::sys_seconds now{};
};

// "kivctl export --systemd": for each compiled task the tick would start, a
// service that starts its program as the tick would (ending it at the task's
// time limit) and a timer that elapses when the tick would start it
// (persistent when asked, or when the task makes up missed launches), written owner-only the safe
// way Save writes. Standard output lists the units written, where they must go when systemd does
// not read the folder, and the commands that start the timers; standard error names each compiled
// task that gets no units, and why, and each one whose launch can fall in the hour daylight saving
// skips (the scheduler makes up a fixed launch time there, the timer does not), and each one whose
// options its units carry only in part. The exit status is a failure when a unit cannot be written
// or a task that launches cannot be expressed as a unit.
int exportCommand(const std::string& file, const ExportOptions& options, std::ostream& out,
                  std::ostream& err);

}  // namespace kiv::ctl
