#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"

namespace kiv::testing {

// One calendar trigger as the Task Scheduler reads it from the XML.
struct CalendarTriggerText {
  std::string startBoundary;             // "YYYY-MM-DDThh:mm:ss"
  std::string schedule;                  // "ScheduleByDay", "ScheduleByWeek", ...
  int interval = 1;                      // DaysInterval or WeeksInterval
  std::vector<std::string> daysOfWeek;   // "Monday", ...
  std::vector<std::string> daysOfMonth;  // "1" to "31", "Last"
  std::vector<std::string> weeks;        // "1" to "4", "Last"
  std::vector<std::string> months;       // "January", ...
};

// A Task Scheduler XML file as read back, its texts unescaped.
struct TaskSchedulerFile {
  std::string text;  // the whole file as UTF-8, without its byte order mark
  std::vector<CalendarTriggerText> triggers;
  std::string command;
  std::optional<std::string> arguments;
  std::string description;
  std::string multipleInstancesPolicy;
  std::string executionTimeLimit;
  std::string startWhenAvailable;
  std::string logonType;
};

// Reads `file`, which must be UTF-16 little-endian after a byte order mark;
// fails the test (and gives an empty file) when it is not.
TaskSchedulerFile readTaskSchedulerFile(const std::filesystem::path& file);

// The moments the triggers start the task from `from` (inclusive) to
// `until` (exclusive), in local time, earliest first, a moment twice when two
// triggers start it: every trigger from its StartBoundary on, on the days its schedule names, at
// the time of day of its StartBoundary.
std::vector<LocalTime> triggerStarts(const std::vector<CalendarTriggerText>& triggers,
                                     LocalTime from, LocalTime until);

}  // namespace kiv::testing
