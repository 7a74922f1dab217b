#include "convert_command.h"

#include <optional>

#include "exit_status.h"
#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_source.h"

namespace kiv::ctl {

int convertCommand(const std::string& in, const std::string& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadSchedule(in, err);
  if (!schedule) return kExitFailure;
  posix::PosixFileStorage storage;
  if (const auto failure = writeScheduleFile(out, schedule->tasks, storage)) {
    reportError(err, out + ": " + failure->description);
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace kiv::ctl
