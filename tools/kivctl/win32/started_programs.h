#pragma once

#include <string>

#include "process_start.h"

namespace kiv::ctl {

// The programs kivctl starts, minimised, as Kiv.exe starts them.
class StartedPrograms {
 public:
  StartResult start(const std::string& commandLine) { return startMinimised(commandLine); }
};

}  // namespace kiv::ctl
