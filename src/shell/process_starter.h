#pragma once

#include <optional>
#include <string>

#include "shell/launch_journal.h"

namespace kiv {

struct StartResult {
  bool started = false;
  std::string error;  // why the start failed, for the user
  // The started program's process id, given only by a starter that watches
  // the program and reports its end to Scheduler::programEnded.
  std::optional<ProcessId> processId{};
};

// Starts the programs of tasks.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts a Windows command line minimised and returns at once, without
  // waiting for the program.
  virtual StartResult startProcess(const std::string& commandLine) = 0;
};

}  // namespace kiv
