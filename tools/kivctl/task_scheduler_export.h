#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "base/local_time.h"

namespace kiv::ctl {

struct TaskSchedulerExportOptions {
  std::filesystem::path directory;  // made when it is not there
  // The schedule as "kivctl due" is to be given it on the machine that runs
  // the tasks: an absolute path.
  std::string scheduleIdentity;
  // The local time of the export: each trigger starts at its first launch
  // from then on.
  LocalTime from{};
};

// The program that checks a task's day before starting it, where the Task
// Scheduler's triggers start it on candidate days.
inline constexpr std::string_view kDueProgram = "kivctl.exe";

// "Kiv task 3 (Nightly compact)", or "Kiv task 3" for a task without a name:
// the task's name in the Task Scheduler and, with ".xml", its file's. Each
// character a Windows file or task name cannot hold, and "%", which the
// command prompt would expand, becomes "_", and it never ends in a blank or
// a dot.
std::string taskSchedulerName(int taskIndex, std::string_view taskName);

// "kivctl export --task-scheduler": for each compiled task the tick would
// start, a Task Scheduler XML file (UTF-16) whose triggers start the task's
// program when the tick would, written owner-only the way Save writes.
// A task whose days the triggers cannot name exactly gets triggers on
// candidate days that start "kivctl.exe due FILE --task N --then-run"
// instead, which starts it only on its days; standard error says so, and
// names each task that gets no file, and why, and each file that holds a
// password. Standard output lists the files written and the schtasks commands
// that import them. The exit status is a failure when a file cannot be
// written or a task that launches cannot be exported.
int exportTaskSchedulerCommand(const std::string& file, const TaskSchedulerExportOptions& options,
                               std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
