#pragma once

#include <string>

#include "posix/child_watcher.h"
#include "posix/process_starter.h"

namespace kiv::ctl {

// The programs kivctl starts: by the POSIX starter, as the window program
// starts them, each watched until it ends so that the run loop reaps it.
class StartedPrograms {
 public:
  StartResult start(const std::string& commandLine) { return posix::start(commandLine, children_); }
  void end(ProcessId pid, Ending how) { children_.end(static_cast<pid_t>(pid), how); }
  posix::ChildWatcher& children() { return children_; }

 private:
  posix::ChildWatcher children_;
};

}  // namespace kiv::ctl
