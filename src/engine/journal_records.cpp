#include <algorithm>
#include <utility>

#include "base/identity.h"
#include "base/utf8_path.h"
#include "compile/printed_command_line.h"
#include "engine/database_key.h"
#include "engine/scheduler.h"
#include "scheduler/date_time_text.h"
#include "scheduler/next_launches.h"

namespace kiv {

// A clock set years forward would otherwise fill the journal with launches
// nobody expects to read one by one; the journal is rotated at 1 MB.
constexpr int kMostMissedJournalled = 500;

std::string taskSubject(int taskNumber, const std::string& taskName) {
  std::string subject = "Task " + std::to_string(taskNumber);
  if (!taskName.empty()) subject += " (" + taskName + ")";
  return subject;
}

void Scheduler::notifyUser(const std::string& text) {
  ports_.notifier.notify(std::string(identity::kTitle), text);
}

void Scheduler::notifyFailure(const std::string& text) {
  ports_.notifier.notifyFailure(std::string(identity::kTitle), text);
}

// A journal that cannot be written never stops a launch. The user hears of it
// once, and again only after it was written in between.
void Scheduler::appendToJournal(const std::string& line) {
  const Result<void, std::string> appended = ports_.journal.appendJournalLine(line);
  if (appended) {
    journalFailureTold_ = false;
    return;
  }
  if (journalFailureTold_) return;
  journalFailureTold_ = true;
  notifyUser("The launch journal could not be written: " + appended.error() +
             ". Launches go on without it.");
}

void Scheduler::setSystemLog(SystemLog* log, SuccessLogging successes) {
  systemLog_ = log;
  logSuccesses_ = successes;
}

void Scheduler::writeSystemLog(const std::vector<SystemLogEntry>& entries) {
  if (systemLog_ == nullptr) return;
  for (const SystemLogEntry& entry : entries) systemLog_->writeSystemLog(entry);
}

void Scheduler::setMetricsFile(MetricsFile* file) {
  metricsFile_ = file;
}

void Scheduler::writeMetrics(std::chrono::sys_seconds now) {
  if (metricsFile_ != nullptr) metricsFile_->writeMetrics(metricsExposition(metrics_, now));
}

void Scheduler::journalLaunch(const Task& task, int index, const LaunchOccasion& occasion,
                              const StartResult& result, std::chrono::sys_seconds startedAt,
                              std::optional<MaintenanceRun> maintenance) {
  LaunchRecord record;
  record.at = dateTimeText(occasion.at);
  if (occasion.dueAt) record.dueAt = dateTimeText(*occasion.dueAt);
  record.schedule = schedule_;
  record.task = index + 1;
  record.taskName = task.TaskName;
  record.how = occasion.how;
  record.commandLine = printedCommandLine(task, false);
  record.started = result.ok();
  if (result) record.pid = result.value().processId;
  if (!result) record.reason = result.error();
  record.waited = occasion.waited;
  if (maintenance && !maintenance->copy.empty()) {
    record.backup = utf8FromPath(pathFromUtf8(maintenance->copy).filename());
  }
  appendToJournal(journalLine(record));
  writeSystemLog(systemLogEntries(record, logSuccesses_));
  metrics_.count(record, startedAt);
  writeMetrics(startedAt);
  if (record.started && record.pid) {
    RunningProgram program;
    program.taskIndex = index;
    program.taskName = task.TaskName;
    program.database = databaseKey(task, index);
    program.startedAt = startedAt;
    program.at = record.at;
    program.schedule = record.schedule;
    program.timeLimit = task.Options.timeLimit;
    program.maintenance = std::move(maintenance);
    running_.insert_or_assign(*record.pid, std::move(program));
  }
}

// The launches the tick would have made while the clock jumped over
// `missed`, as NextLaunches finds them: each is journalled but those that
// their task's catch-up window makes up.
std::vector<Launch> Scheduler::journalMissed(const SecondRange& missed, LocalTime reading) {
  std::vector<Launch> launches;
  NextLaunches next(tasks_, missed.front(), &ports_.clock.localZone(), AfterClosing::GoOn);
  while (launches.size() < kMostMissedJournalled) {
    const std::optional<Launch> launch = next.next();
    if (!launch || launch->at > missed.back()) break;
    launches.push_back(*launch);
  }
  std::vector<Launch> madeUp = launchesToMakeUp(launches, reading);
  const std::chrono::sys_seconds now = ports_.clock.readClock().utc();
  const std::string reason = "not made up: the clock moved on from " +
                             dateTimeText(missed.front() - std::chrono::seconds{1}) + " to " +
                             dateTimeText(reading) + " (set forward, or the computer slept)";
  for (const Launch& launch : launches) {
    if (std::ranges::find(madeUp, launch) != madeUp.end()) continue;
    const Task& task = tasks_.at(launch.taskIndex);
    LaunchRecord record;
    record.at = dateTimeText(launch.at);
    if (launch.skippedDueAt) record.dueAt = dateTimeText(*launch.skippedDueAt);
    record.schedule = schedule_;
    record.task = launch.taskIndex + 1;
    record.taskName = task.TaskName;
    record.how = LaunchHow::Missed;
    record.commandLine = printedCommandLine(task, false);
    record.reason = reason;
    appendToJournal(journalLine(record));
    writeSystemLog(systemLogEntries(record, logSuccesses_));
    metrics_.count(record, now);
  }
  if (!launches.empty()) writeMetrics(now);
  return madeUp;
}

void Scheduler::journalScheduling(LocalTime at, bool started) {
  if (schedule_.empty()) return;
  appendToJournal(journalLine(SchedulingRecord{dateTimeText(at), schedule_, started}));
}

// Whether the journal holds a launch of task `index` of this schedule due at
// `second`. A journal that cannot be read holds none: a launch made twice is
// better than one lost.
bool Scheduler::journalHoldsLaunch(int index, LocalTime second) {
  const auto text = ports_.journal.readJournal();
  if (!text) return false;
  const std::string at = dateTimeText(second);
  return std::ranges::any_of(journalledLaunches(text.value()), [&](const JournalledLaunch& entry) {
    const LaunchRecord& launch = entry.launch;
    return launch.how != LaunchHow::Missed && launch.task == index + 1 && launch.at == at &&
           launch.schedule == schedule_;
  });
}

// A program Kiv was ending at its time limit ended timed out, however it
// ended.
void Scheduler::programEnded(ProcessId pid, const ProgramOutcome& outcome) {
  const auto found = running_.find(pid);
  if (found == running_.end()) return;
  const RunningProgram program = std::move(found->second);
  running_.erase(found);
  ProgramOutcome journalled = outcome;
  if (program.endingSince && program.timeLimit) {
    journalled.kind = ProgramOutcome::Kind::TimedOut;
    journalled.code = static_cast<int>(program.timeLimit->count());
  }
  journalEnd(pid, program, journalled);
}

void Scheduler::journalEnd(ProcessId pid, const RunningProgram& program,
                           const ProgramOutcome& outcome) {
  EndedRecord record{program.at, program.schedule, program.taskIndex + 1, pid, outcome, {}, {}};
  MaintenanceCheck check;
  if (program.maintenance) {
    check = checkAfterMaintenance(ports_.databaseFiles, *program.maintenance, outcome);
    record.databaseCheck = check.found;
    record.restored = check.restoredFrom;
  }
  appendToJournal(journalLine(record));
  writeSystemLog(systemLogEntries(record, program.taskName, logSuccesses_));
  const std::chrono::sys_seconds now = ports_.clock.readClock().utc();
  metrics_.count(record, now);
  writeMetrics(now);
  const std::string subject = taskSubject(program.taskIndex + 1, program.taskName);
  if (outcome.failed()) notifyFailure(subject + " failed: " + outcome.text() + ".");
  if (!check.problem.empty()) notifyFailure(subject + ": " + check.problem + ".");
}

void Scheduler::stop() {
  const ClockReading reading = ports_.clock.readClock();
  // Taken out first: nothing may change them while they are walked.
  const std::vector<WaitingLaunch> waiting = std::exchange(waiting_, {});
  for (WaitingLaunch launch : waiting) {
    launch.occasion.waited = reading.utc() - launch.since;
    journalLaunch(tasks_.at(launch.taskIndex), launch.taskIndex, launch.occasion,
                  std::string("database busy: Kiv ended while the launch waited for it"),
                  reading.utc());
  }
  const std::map<ProcessId, RunningProgram> unfinished = std::exchange(running_, {});
  for (const auto& [pid, program] : unfinished) {
    appendToJournal(journalLine(
        EndedRecord{program.at, program.schedule, program.taskIndex + 1, pid, {}, {}, {}}));
  }
  if (std::exchange(scheduling_, false)) journalScheduling(reading.local, false);
}

}  // namespace kiv
