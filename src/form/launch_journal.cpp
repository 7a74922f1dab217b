#include <algorithm>

#include "base/identity.h"
#include "base/utf8_path.h"
#include "compile/printed_command_line.h"
#include "form/main_form.h"
#include "scheduler/next_launches.h"

namespace kiv {

// A clock set years forward would otherwise fill the journal with launches
// nobody expects to read one by one; the journal is rotated at 1 MB.
constexpr int kMostMissedJournalled = 500;

std::string MainForm::taskSubject(int taskNumber, const std::string& taskName) {
  std::string subject = "Task " + std::to_string(taskNumber);
  if (!taskName.empty()) subject += " (" + taskName + ")";
  return subject;
}

void MainForm::notifyUser(const std::string& text) {
  platform_.notify(std::string(identity::kTitle), text);
}

// The schedule as the journal names it: a path relative to the folder Kiv
// was started in means nothing to whoever reads the journal later.
std::string MainForm::journalledScheduleName() {
  if (ScheduleFileName.empty()) return "";
  std::filesystem::path path = pathFromUtf8(ScheduleFileName);
  if (path.is_relative()) path = pathFromUtf8(platform_.currentFolder()) / path;
  return utf8FromPath(path.lexically_normal());
}

// A journal that cannot be written never stops a launch. The user hears of it
// once, and again only after it was written in between.
void MainForm::appendToJournal(const std::string& line) {
  const std::optional<std::string> failure = platform_.appendJournalLine(line);
  if (!failure) {
    journalFailureTold_ = false;
    return;
  }
  if (journalFailureTold_) return;
  journalFailureTold_ = true;
  notifyUser("The launch journal could not be written: " + *failure +
             ". Launches go on without it.");
}

void MainForm::journalLaunch(int index, const LaunchOccasion& occasion, const StartResult& result) {
  const Task& task = tasks.at(index);
  LaunchRecord record;
  record.at = dateTimeText(occasion.at);
  if (occasion.dueAt) record.dueAt = dateTimeText(*occasion.dueAt);
  record.schedule = journalledScheduleName();
  record.task = index + 1;
  record.taskName = task.TaskName;
  record.how = occasion.how;
  record.commandLine = printedCommandLine(task, false);
  record.started = result.started;
  record.pid = result.processId;
  record.reason = result.started ? "" : result.error;
  appendToJournal(journalLine(record));
  if (record.started && record.pid) {
    runningLaunches_[*record.pid] = {record.at, record.schedule, record.task, record.taskName};
  }
}

// The launches the tick would have made while the clock jumped over
// `missed`, as NextLaunches finds them, each journalled and none made up.
void MainForm::journalMissed(const SecondRange& missed, LocalTime reading) {
  const std::string reason = "not made up: the clock moved on from " +
                             dateTimeText(missed.front() - std::chrono::seconds{1}) + " to " +
                             dateTimeText(reading) + " (set forward, or the computer slept)";
  const std::string schedule = journalledScheduleName();
  NextLaunches next(tasks, missed.front(), &platform_.localZone(), AfterClosing::GoOn);
  for (int journalled = 0; journalled < kMostMissedJournalled; ++journalled) {
    const std::optional<Launch> launch = next.next();
    if (!launch || launch->at > missed.back()) return;
    const Task& task = tasks.at(launch->taskIndex);
    LaunchRecord record;
    record.at = dateTimeText(launch->at);
    if (launch->skippedDueAt) record.dueAt = dateTimeText(*launch->skippedDueAt);
    record.schedule = schedule;
    record.task = launch->taskIndex + 1;
    record.taskName = task.TaskName;
    record.how = LaunchHow::Missed;
    record.commandLine = printedCommandLine(task, false);
    record.reason = reason;
    appendToJournal(journalLine(record));
  }
}

// Whether the journal holds a launch of task `index` of this schedule due at
// `second`. A journal that cannot be read holds none: a launch made twice is
// better than one lost.
bool MainForm::journalHoldsLaunch(int index, LocalTime second) {
  const auto text = platform_.readJournal();
  if (!text) return false;
  const std::string at = dateTimeText(second);
  const std::string schedule = journalledScheduleName();
  return std::ranges::any_of(journalledLaunches(text.value()), [&](const JournalledLaunch& entry) {
    const LaunchRecord& launch = entry.launch;
    return launch.how != LaunchHow::Missed && launch.task == index + 1 && launch.at == at &&
           launch.schedule == schedule;
  });
}

void MainForm::programEnded(ProcessId pid, const ProgramOutcome& outcome) {
  const auto found = runningLaunches_.find(pid);
  if (found == runningLaunches_.end()) return;
  const RunningLaunch launch = std::move(found->second);
  runningLaunches_.erase(found);
  appendToJournal(journalLine(EndedRecord{launch.at, launch.schedule, launch.task, pid, outcome}));
  if (!outcome.failed()) return;
  notifyUser(taskSubject(launch.task, launch.taskName) + " failed: " + outcome.text() + ".");
}

// Started programs outlive Kiv: once Kiv ends, nobody learns how they end.
void MainForm::journalUnfinishedLaunches() {
  for (const auto& [pid, launch] : runningLaunches_) {
    appendToJournal(journalLine(EndedRecord{launch.at, launch.schedule, launch.task, pid, {}}));
  }
  runningLaunches_.clear();
}

}  // namespace kiv
