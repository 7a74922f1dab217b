#pragma once

#include <string>

#include "shell/launch_journal.h"

namespace kiv {

// One launch as its driver is told of it.
struct LaunchNotice {
  int taskIndex = 0;
  LaunchHow how = LaunchHow::Scheduled;
  // The last-launch status the launch makes: "Last launch: task 4 @ ...".
  std::string status;
  // The task closes the scheduler after running: the scheduler examines
  // nothing more, and its driver ends.
  bool closesScheduler = false;
};

// What the scheduler tells whoever drives it: the window shows the task and
// its status, kivctl run prints the status.
class SchedulerEvents {
 public:
  virtual ~SchedulerEvents() = default;
  // Before the program of a launch is started; a handler may run a nested
  // event loop, and may even edit the task: the scheduler reads it afterwards.
  virtual void launchStarting(const LaunchNotice& notice) = 0;
  // The program of the launch started.
  virtual void launchStarted(const LaunchNotice& notice) = 0;
};

}  // namespace kiv
