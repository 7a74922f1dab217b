#include "scheduler/last_launch_status.h"

namespace kiv {

std::string lastLaunchStatus(int taskNumber, LocalTime when, std::string_view monthAbbreviation,
                             LaunchKind kind) {
  const CivilTime civil = toCivil(when);
  std::string status = "Last launch: task " + std::to_string(taskNumber) + " @ ";
  status += zeroPadded(civil.day, 2) + "-";
  status += monthAbbreviation;
  status += "-" + zeroPadded(civil.year, 4) + " " + zeroPadded(civil.hour, 2) + ":" +
            zeroPadded(civil.minute, 2) + ":" + zeroPadded(civil.second, 2);
  status += kind == LaunchKind::Scheduled ? " (scheduled)" : " (on demand)";
  return status;
}

}  // namespace kiv
