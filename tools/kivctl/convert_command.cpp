#include "convert_command.h"

#include <optional>

#include "base/utf8_path.h"
#include "exit_status.h"
#include "os_services.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_source.h"

namespace kiv::ctl {

int convertCommand(const std::string& in, const std::string& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(in, err);
  if (!schedule) return kExitFailure;
  if (const auto written = writeScheduleFile(pathFromUtf8(out), schedule->tasks, scheduleStorage(),
                                             scheduleCodePage());
      !written) {
    reportError(err, out + ": " + written.error().description);
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace kiv::ctl
