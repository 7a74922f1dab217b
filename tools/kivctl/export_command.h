#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace kiv::ctl {

// Whose service manager runs the units: the user's own, or the system's.
enum class UnitScope { User, System };

struct ExportOptions {
  std::filesystem::path directory;    // made when it is not there
  UnitScope scope = UnitScope::User;  // decides the systemctl commands shown
  std::optional<std::string> prefix;  // by default from the schedule file's name
  bool persistent = false;
};

// "kivctl export --systemd": for each compiled task the tick would start, a
// service that starts its program as the tick would and a timer that elapses
// when the tick would start it, written owner-only the safe way Save writes.
// Standard output lists the units written and the systemctl commands that
// start the timers; standard error names each compiled task that gets no
// units, and why. The exit status is a failure when a unit cannot be written
// or a task that launches cannot be expressed as a unit.
int exportCommand(const std::string& file, const ExportOptions& options, std::ostream& out,
                  std::ostream& err);

}  // namespace kiv::ctl
