#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tasks/task_options.h"
#include "tasks/value_lists.h"

namespace kiv {

// One scheduled launch of the database program. The fields up to Compiled
// stand in the order the schedule file stores them; Options rides in the
// padding of a slot, and CommandLine is derived and never stored.
struct Task {
  std::string TaskName;
  std::string LaunchAt = "00:00:00";
  std::string Username = "Admin";
  std::string Password;
  std::uint8_t Version = kAccess2002;
  std::uint8_t Action = kCompact;
  std::string Macro;
  std::string AccessLocation;
  std::string DatabaseLocation;
  std::string SecurityFileLocation;
  std::uint8_t DaysToRunOn = kEveryDay;
  std::uint8_t OpenExclusively = 0;
  std::uint8_t CloseAfterRunning = 0;
  std::uint8_t Compiled = 0;
  TaskOptions Options;
  std::string CommandLine;
};

inline constexpr int kTaskCount = 30;

// The whole in-memory schedule, indexed 0 to 29 (shown to users as tasks 1 to 30).
using TaskTable = std::array<Task, kTaskCount>;

// Resets every stored field to its default and leaves CommandLine alone: the
// command line is derived data that only showing the task rebuilds.
void resetStoredFields(Task& task);

}  // namespace kiv
