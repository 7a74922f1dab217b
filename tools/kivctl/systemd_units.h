#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "export_plan.h"

namespace kiv::ctl {

// What the two units of one exported task say.
struct TaskUnits {
  std::string description;                  // as it is to be shown
  std::vector<std::string> arguments;       // the program and its arguments, as started
  std::vector<std::string> calendarEvents;  // when the timer elapses
  bool persistent = false;  // catch up on an elapse missed while the machine was off
  // How long the program may run before systemd ends it; none: no limit.
  std::optional<std::chrono::minutes> timeLimit;
};

// The service that starts the task's program once and waits for it to end,
// ending it when it runs past the time limit. execStartProblem must have let
// its arguments through.
std::string serviceUnitText(const TaskUnits& units);

// The timer that starts the service of the same name at the calendar events,
// to the second, once it is enabled.
std::string timerUnitText(const TaskUnits& units);

}  // namespace kiv::ctl
