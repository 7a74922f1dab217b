#pragma once

#include <string>

#include "tasks/task.h"

namespace kiv::testing {

// A task stored as compiled, with everything compilation needs; showing it
// composes `"<access>" "/srv/task<N>.mdb" /user Admin /compact`.
inline Task compiledTask(int index, std::string launchAt, std::uint8_t days = 0) {
  Task task;
  task.LaunchAt = std::move(launchAt);
  task.AccessLocation = "/opt/db/access";
  task.DatabaseLocation = "/srv/task" + std::to_string(index + 1) + ".mdb";
  task.DaysToRunOn = days;
  task.Compiled = 1;
  return task;
}

inline std::string commandLineOf(int index) {
  return R"("/opt/db/access" "/srv/task)" + std::to_string(index + 1) +
         R"(.mdb" /user Admin /compact)";
}

}  // namespace kiv::testing
