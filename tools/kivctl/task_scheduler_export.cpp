#include "task_scheduler_export.h"
#include "compile/windows_command_line.h"

#include <string_view>
#include <utility>
#include <vector>

#include "base/text_characters.h"
#include "base/utf8_path.h"
#include "engine/maintenance_guard.h"
#include "exit_status.h"
#include "export_files.h"
#include "export_plan.h"
#include "schedule_source.h"
#include "task_scheduler_xml.h"
#include "tasks/value_lists.h"

namespace kiv::ctl {
namespace {

namespace fs = std::filesystem;

bool fitsTaskSchedulerName(char32_t c) {
  static constexpr std::u32string_view kRefused = U"<>:\"/\\|?*%";
  return c >= 0x20 && c != 0x7F && kRefused.find(c) == std::u32string_view::npos;
}

struct TaskFile {
  ExportPlan plan;
  ExecAction action;
};

// What the task's file starts, or why it cannot be exported (in words that
// follow "cannot be exported: ").
Result<ExecAction, std::string> actionFor(const ExportPlan& plan,
                                          const TaskSchedulerExportOptions& options) {
  // The Task Scheduler tells a program the name it starts; the starter tells
  // it another one.
  if (!plan.arguments.empty() && plan.program != plan.arguments.front()) {
    return "the location of Access holds a double quote, so the scheduler starts \"" +
           plan.program + "\" and tells it another name";
  }
  if (const auto problem = xmlTextProblem(plan.commandLine)) {
    return "its command line cannot go into the XML file: " + *problem;
  }
  if (const auto problem = xmlTextProblem(plan.description)) {
    return "its description cannot go into the XML file: " + *problem;
  }
  if (triggersAreExact(plan.days)) {
    return ExecAction{plan.program, windowsArgumentsAfterName(plan.commandLine)};
  }
  if (const auto problem = xmlTextProblem(options.scheduleIdentity)) {
    return "the schedule's path cannot go into the XML file: " + *problem;
  }
  return ExecAction{std::string(kDueProgram),
                    "due " + windowsQuotedArgument(options.scheduleIdentity) + " --task " +
                        std::to_string(plan.taskIndex + 1) + " --then-run"};
}

// Names the task, once, where its file does what the scheduler does only in
// part: on candidate days "due" decides by the day it runs on, so a launch
// made up on a later day is decided by that day; and the Task Scheduler has
// nothing that waits for another program on the same database.
void noteDifferences(const Task& task, const ExportPlan& plan, std::ostream& err) {
  std::vector<std::string> differences;
  if (!triggersAreExact(plan.days)) {
    std::string difference =
        "the Task Scheduler cannot start it on exactly the days of \"" +
        std::string(kDayPatterns.at(task.DaysToRunOn)) + "\", so its triggers start '" +
        std::string(kDueProgram) +
        " due ... --then-run' on candidate days, which starts it only on those days (" +
        std::string(kDueProgram) + " must be on the PATH)";
    if (plan.catchesUp) difference += ", a launch made up later by the day it is made up on";
    differences.push_back(difference);
  }
  if (task.Options.wait != TaskOptions{}.wait) {
    differences.push_back("its wait of " + std::to_string(task.Options.wait.count()) +
                          " minutes for a busy database has no counterpart: the Task Scheduler "
                          "starts it at once beside another task's program");
  }
  if (task.CloseAfterRunning == 1) {
    differences.emplace_back(
        "\"Close KIV after running?\" has no meaning there: there is no scheduler to close");
  }
  reportDifferences(plan.taskIndex, differences, err);
}

// Quoted for the command prompt: the name holds no quote or "%".
std::string schtasksCommand(const std::string& name, const fs::path& file) {
  return "schtasks /create /tn \"" + name + "\" /xml \"" + utf8FromPath(file) + "\"";
}

}  // namespace

std::string taskSchedulerName(int taskIndex, std::string_view taskName) {
  std::string name = "Kiv task " + std::to_string(taskIndex + 1);
  if (taskName.empty()) return name;
  std::string shown;
  for (std::size_t at = 0; at < taskName.size();) {
    const auto sequence = utf8SequenceAt(taskName, at);
    const std::size_t length = sequence ? sequence->length : 1;
    if (sequence && fitsTaskSchedulerName(sequence->character)) {
      shown += taskName.substr(at, length);
    } else {
      shown += '_';
    }
    at += length;
  }
  return name + " (" + shown + ")";
}

int exportTaskSchedulerCommand(const std::string& file, const TaskSchedulerExportOptions& options,
                               std::ostream& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;
  if (!prepareExportFolder(options.directory, "task files", err)) return kExitFailure;

  const std::string scheduleName = utf8FromPath(pathFromUtf8(file).filename());
  std::vector<std::string> commands;
  std::vector<int> unguarded;
  bool complete = true;
  for (const ExportPlan& plan : exportPlansOf(schedule->tasks, scheduleName, err)) {
    const int index = plan.taskIndex;
    const Task& task = schedule->tasks.at(index);
    const auto action = actionFor(plan, options);
    if (!action) {
      reportError(err,
                  "task " + std::to_string(index + 1) + " cannot be exported: " + action.error());
      complete = false;
      continue;
    }
    noteDifferences(task, plan, err);
    const std::string name = taskSchedulerName(index, task.TaskName);
    const fs::path taskFile = options.directory / pathFromUtf8(name + ".xml");
    const std::vector<std::uint8_t> bytes =
        utf16LittleEndian(taskSchedulerXml(plan, action.value(), options.from));
    if (const auto failure = writeExportFile(taskFile, bytes, "task file")) {
      reportError(err, *failure);
      return kExitFailure;
    }
    out << "wrote " << utf8FromPath(taskFile) << '\n';
    if (plan.holdsPassword) {
      reportError(err, utf8FromPath(taskFile) +
                           " holds the task's password in plain text: delete it once imported");
    }
    commands.push_back(schtasksCommand(name, taskFile));
    // "due --then-run" starts it through Kiv's scheduler, guard and all.
    if (isMaintenance(task) && triggersAreExact(plan.days)) unguarded.push_back(index);
  }
  reportUnguardedMaintenance(unguarded, err);
  if (commands.empty()) {
    out << "No task files written.\n";
  } else {
    out << "\nTo import them into the Task Scheduler:\n";
    for (const std::string& command : commands) out << "  " << command << '\n';
  }
  return complete ? kExitSuccess : kExitFailure;
}

}  // namespace kiv::ctl
