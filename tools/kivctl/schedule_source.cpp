#include "schedule_source.h"

#include <array>
#include <cstddef>
#include <filesystem>

#include "base/utf8_path.h"
#include "exit_status.h"
#include "os_services.h"
#include "schedule_file/schedule_file_io.h"

namespace kiv::ctl {
namespace {

// In the order of ScheduleLayout.
constexpr std::array<std::string_view, 3> kLayoutNames{"current", "formatA", "formatB"};

// "53,633": thousands set apart, as people read a byte count.
std::string grouped(std::uintmax_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

std::optional<std::string> incompleteness(const std::string& file) {
  std::error_code error;
  const std::uintmax_t length = std::filesystem::file_size(pathFromUtf8(file), error);
  if (error || length == kCurrentFileLength) return std::nullopt;
  for (const LayoutShape& shape : kOldLayouts) {
    if (length == layoutFileLength(shape)) return std::nullopt;
  }
  return "not a complete schedule: " + grouped(length) + " bytes; a schedule is " +
         grouped(kCurrentFileLength) + " bytes, or " + grouped(layoutFileLength(kOldLayouts[0])) +
         " / " + grouped(layoutFileLength(kOldLayouts[1])) + " for the older layouts";
}

}  // namespace

std::optional<Schedule> loadSchedule(const std::string& file, std::ostream& err) {
  const FileResult<LoadedSchedule> loaded =
      readScheduleFile(pathFromUtf8(file), scheduleStorage(), scheduleCodePage());
  if (!loaded) {
    reportError(err, file + ": " + std::to_string(loaded.error().number) + ": " +
                         loaded.error().description);
    return std::nullopt;
  }
  Schedule schedule{loaded.value().layout, {}, incompleteness(file)};
  applyLoadedTasks(loaded.value(), schedule.tasks);
  return schedule;
}

std::optional<Schedule> loadScheduleWarning(const std::string& file, std::ostream& err) {
  std::optional<Schedule> schedule = loadSchedule(file, err);
  if (schedule && schedule->incomplete) reportError(err, file + ": " + *schedule->incomplete);
  return schedule;
}

int saveSchedule(const std::string& file, const TaskTable& tasks, std::ostream& err) {
  const auto written =
      writeScheduleFile(pathFromUtf8(file), tasks, scheduleStorage(), scheduleCodePage());
  if (!written) {
    reportError(err, file + ": " + written.error().description);
    return kExitFailure;
  }
  return kExitSuccess;
}

std::string_view layoutName(ScheduleLayout layout) {
  return kLayoutNames.at(static_cast<std::size_t>(layout));
}

std::string scheduleIdentity(const std::string& file) {
  std::error_code error;
  return absoluteFilePath(file, utf8FromPath(std::filesystem::current_path(error)));
}

}  // namespace kiv::ctl
