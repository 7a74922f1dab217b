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

// How a started program is ended: asked first, the way a user closing it
// would, and made to end when it does not.
enum class Ending { Gracefully, Forcibly };

// Starts the programs of tasks, and ends those that run too long.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts a Windows command line minimised and returns at once, without
  // waiting for the program.
  virtual StartResult startProcess(const std::string& commandLine) = 0;
  // Ends the started program `pid`, which the starter still watches, with
  // the programs it started in turn; returns at once. Once a program that
  // was asked to end has ended, whatever it started that still runs is made
  // to end too.
  virtual void endProgram(ProcessId pid, Ending how) = 0;
};

}  // namespace kiv
