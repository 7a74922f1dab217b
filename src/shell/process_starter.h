#pragma once

#include <optional>
#include <string>

#include "base/result.h"
#include "shell/launch_journal.h"

namespace kiv {

// A program that started. Its process id is given only by a starter that
// watches the program and reports its end to Scheduler::programEnded.
struct StartedProgram {
  std::optional<ProcessId> processId;
};

// The started program, or why the start failed, for the user.
using StartResult = Result<StartedProgram, std::string>;

// Starts the programs of tasks.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts a Windows command line minimised and returns at once, without
  // waiting for the program.
  virtual StartResult startProcess(const std::string& commandLine) = 0;
};

}  // namespace kiv
