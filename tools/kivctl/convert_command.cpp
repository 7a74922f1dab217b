#include "convert_command.h"

#include <optional>

#include "exit_status.h"
#include "schedule_source.h"

namespace kiv::ctl {

int convertCommand(const std::string& in, const std::string& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(in, err);
  if (!schedule) return kExitFailure;
  return saveSchedule(out, schedule->tasks, err);
}

}  // namespace kiv::ctl
