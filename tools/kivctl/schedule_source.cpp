#include "schedule_source.h"

#include <array>

#include "exit_status.h"
#include "os_services.h"
#include "schedule_file/schedule_file_io.h"
#include "utf8_path.h"

namespace kiv::ctl {
namespace {

// In the order of ScheduleLayout.
constexpr std::array<std::string_view, 3> kLayoutNames{"current", "formatA", "formatB"};

}  // namespace

std::optional<Schedule> loadSchedule(const std::string& file, std::ostream& err) {
  const FileResult<LoadedSchedule> loaded =
      readScheduleFile(pathFromUtf8(file), scheduleStorage(), scheduleCodePage());
  if (!loaded) {
    reportError(err, file + ": " + std::to_string(loaded.error().number) + ": " +
                         loaded.error().description);
    return std::nullopt;
  }
  Schedule schedule{loaded.value().layout, {}};
  applyLoadedTasks(loaded.value(), schedule.tasks);
  return schedule;
}

std::string_view layoutName(ScheduleLayout layout) {
  return kLayoutNames.at(static_cast<std::size_t>(layout));
}

}  // namespace kiv::ctl
