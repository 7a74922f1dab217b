#pragma once

#include "windows_api.h"

#include <chrono>
#include <string>
#include <vector>

#include "shell/launch_journal.h"
#include "shell/process_starter.h"
#include "unique_handle.h"

namespace kiv {

// How a watched program ended.
struct ProgramEnding {
  ProcessId pid = 0;
  ProgramOutcome outcome;
};

// The programs this process started, each watched through its process handle
// until it ends. The loop that ticks collects the endings once a tick,
// without waiting, so a program's run time is measured to the tick that
// finds it ended: up to a second longer than it ran. Its exit code is read
// as the signed number a command prompt's %ERRORLEVEL% shows, so the status
// of a crash, 0xC0000005 say, is -1073741819. A program's process id names
// no other process while its handle is held, so the id a launch was
// journalled with stays the program's own until its end is collected.
//
// Programs still running when the watcher goes keep running; only their
// handles are closed.
class ProgramWatcher {
 public:
  ProgramWatcher() = default;
  ProgramWatcher(const ProgramWatcher&) = delete;
  ProgramWatcher& operator=(const ProgramWatcher&) = delete;

  // Starts `commandLine` as startMinimised does and watches the program; a
  // started program's process id comes back with the result.
  StartResult start(const std::string& commandLine);
  // The watched programs that have ended since the last call, in the order
  // they were started; returns at once. Of a program end() was called for,
  // what it started and still runs is terminated as it is collected.
  std::vector<ProgramEnding> collectEnded();
  // Ends the watched program `pid`: gracefully, by asking its windows to
  // close; forcibly, by terminating its job (it and the programs it started),
  // or the program alone when it has none. Does nothing for a program that
  // is not watched.
  void end(ProcessId pid, Ending how);
  // How many started programs have not been collected yet.
  std::size_t watching() const { return watched_.size(); }

 private:
  struct Watched {
    UniqueHandle process;
    ProcessId pid;
    std::chrono::steady_clock::time_point started;
    UniqueHandle job;
    bool ending = false;
  };

  std::vector<Watched> watched_;
};

}  // namespace kiv
