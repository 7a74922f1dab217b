#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "engine/launch_metrics.h"
#include "engine/maintenance_guard.h"
#include "engine/scheduler_events.h"
#include "scheduler/next_launches.h"
#include "scheduler/second_cursor.h"
#include "shell/clock.h"
#include "shell/database_files.h"
#include "shell/journal_store.h"
#include "shell/metrics_file.h"
#include "shell/notifier.h"
#include "shell/process_starter.h"
#include "shell/system_log_entries.h"
#include "tasks/task.h"

namespace kiv {

// The roles of the operating system the scheduler uses.
struct SchedulerPorts {
  Clock& clock;
  ProcessStarter& starter;
  JournalStore& journal;
  Notifier& notifier;
  DatabaseFiles& databaseFiles;
};

// How long a program asked to end at its time limit is given before it is
// made to end.
inline constexpr std::chrono::seconds kEndingGracePeriod{30};

// How often a launch waiting for a database that somebody has open looks
// at its lock file again.
inline constexpr std::chrono::seconds kInUseRecheck{5};

// A started program whose end is awaited.
struct RunningProgram {
  int taskIndex = 0;
  std::string taskName;
  // Its task's database, as databaseKey names it.
  std::string database;
  std::chrono::sys_seconds startedAt{};
  // The launch's journal time and schedule, which its ended record repeats.
  std::string at;
  std::string schedule;
  std::optional<std::chrono::minutes> timeLimit;
  // Since when it is being ended for running past its time limit, and
  // whether it was made to end after the grace period.
  std::optional<std::chrono::sys_seconds> endingSince;
  bool forced = false;
  // For a compact, repair or decompile: what was found and copied before
  // it started, for the check after it ends.
  std::optional<MaintenanceRun> maintenance;
};

// What Kiv does when nobody looks: examines every clock second once, starts
// the program of each compiled task that is due and allowed on its day,
// journals every launch, missed launch and outcome, and notifies the user of
// failures. It keeps to each task's options: a launch whose database is in
// use by a program it started waits for it, a program that runs past its
// time limit is ended, and a launch missed while nothing scheduled the
// schedule is made up within its window. A compact, repair or decompile
// also waits while anybody has its database open, starts only with room for
// its work and after a copy of the database is kept, and a database it left
// missing or damaged is put back from that copy. The window and kivctl run drive it
// alike: they tick it about once a second, forward Run now and the ends of
// started programs, and learn of launches through SchedulerEvents.
//
// It reads the task table it is given at each examination and never holds a
// reference into it across a call to its events or ports, which may run a
// nested event loop that ticks it again or edits the tasks.
class Scheduler {
 public:
  Scheduler(const TaskTable& tasks, SchedulerPorts ports, SchedulerEvents& events);
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // The schedule's identity, as the journal names it: an absolute path made
  // once when the schedule was opened or saved; empty while untitled. Once
  // scheduling has started, a new identity stops the scheduling of the old
  // schedule and starts that of the new one, as the journal records.
  void setSchedule(std::string identity);
  // Where failures go besides the journal, and launches that went well when
  // `successes` says so; none by default, and none again for nullptr.
  void setSystemLog(SystemLog* log, SuccessLogging successes);
  // Where the figures of each task go, rewritten after every launch and end;
  // none by default.
  void setMetricsFile(MetricsFile* file);
  const std::string& schedule() const { return schedule_; }

  // Scheduling starts within the clock's current second: the first tick
  // examines it too, unless the journal shows a scheduler of this schedule
  // that ended just before launched the task due then. The first tick also
  // makes up the launches missed since a scheduler of the schedule stopped.
  void start();
  // Ends programs past their time limit, starts the launches whose database
  // became free, then examines the seconds since the last tick and launches
  // what is due.
  void tick();
  // Starts task `index`'s program now, whatever its time, day pattern,
  // close-after-running setting or a program Kiv started on its database;
  // the error is why it could not be started, such as a database a compact
  // would need and somebody has open.
  Result<void, std::string> runNow(int index);
  // The program Kiv started that uses task `index`'s database, if any: Run
  // now asks before starting another copy on it.
  const RunningProgram* programUsingDatabaseOf(int index) const;

  // A started program ended; the starter that gave its process id reports it.
  void programEnded(ProcessId pid, const ProgramOutcome& outcome);
  // Kiv ends: journals the programs still running as of unknown outcome
  // (nobody learns how they end), the launches still waiting for their
  // database as not started, and the end of the scheduling.
  void stop();

  // A launch closed the scheduler: nothing is examined any more.
  bool closed() const { return closed_; }
  const std::map<ProcessId, RunningProgram>& runningPrograms() const { return running_; }

 private:
  // How a launch came about, for the journal: `at` is the second it was due
  // (or Run now was pressed, or a missed launch was made up); `dueAt` the
  // skipped or missed time a late launch makes up; `waited` how long it
  // waited for its database.
  struct LaunchOccasion {
    LaunchHow how = LaunchHow::Scheduled;
    LocalTime at{};
    std::optional<LocalTime> dueAt;
    std::optional<std::chrono::seconds> waited;
  };

  // A due launch waiting for its database to be free. Who has it open, as
  // its lock file said when last looked at.
  struct WaitingLaunch {
    int taskIndex = 0;
    LaunchOccasion occasion;
    std::chrono::sys_seconds since{};
    std::chrono::minutes wait{};
    std::optional<std::chrono::sys_seconds> inUseCheckedAt;
    std::optional<std::string> inUse;
  };

  // The seconds between a stop of this schedule's scheduling and its start
  // again, whose fixed-time launches may be made up.
  struct UnscheduledSpan {
    LocalTime after{};
    LocalTime before{};
  };

  // Each examines the seconds in order; false once a launch closed the scheduler.
  bool examineSeconds(const SecondRange& seconds);
  bool launchSkipped(const SecondRange& skipped);
  bool examineTask(int index, LocalTime second);
  bool launchScheduled(int index, const LaunchOccasion& occasion);
  bool mayHaveLaunchedBeforeStart(LocalTime second) const;

  // Scheduling of the schedule begins or ends, as the journal records it.
  void beginScheduling(LocalTime at);
  void journalScheduling(LocalTime at, bool started);
  // Missed launches made up: the latest of each task whose catch-up window
  // still holds it, launched in the order they were due.
  bool makeUpUnscheduledSpan(const ClockReading& reading);
  std::vector<Launch> launchesToMakeUp(const std::vector<Launch>& missed, LocalTime now) const;
  bool makeUp(const std::vector<Launch>& launches, LocalTime now);

  // A due launch whose database is in use waits for it, or is refused.
  const RunningProgram* programUsing(const std::string& database) const;
  std::optional<std::string> whyBusy(WaitingLaunch& launch, std::chrono::sys_seconds now,
                                     bool lookAgain);
  bool waitForDatabase(WaitingLaunch launch, const std::string& reason);
  bool startWaitingLaunches(std::chrono::sys_seconds now);
  void refuseLaunch(int index, const LaunchOccasion& occasion, const std::string& reason);
  // Programs past their time limit are asked to end, then made to.
  void endOverduePrograms(std::chrono::sys_seconds now);

  // The one start path of scheduled launches and Run now: tells the events,
  // starts the program and journals the attempt. `shownAt` is the time the
  // last-launch status names.
  StartResult launch(int index, const LaunchOccasion& occasion, LocalTime shownAt);
  StartResult startProgram(const Task& task, LocalTime due,
                           std::optional<MaintenanceRun>& maintenance);
  std::string launchStatus(int index, LocalTime when, LaunchHow how);

  void notifyUser(const std::string& text);
  void notifyFailure(const std::string& text);
  void notifyNotStarted(int index, const std::string& reason);
  void appendToJournal(const std::string& line);
  void writeSystemLog(const std::vector<SystemLogEntry>& entries);
  void writeMetrics(std::chrono::sys_seconds now);
  void journalLaunch(const Task& task, int index, const LaunchOccasion& occasion,
                     const StartResult& result, std::chrono::sys_seconds startedAt,
                     std::optional<MaintenanceRun> maintenance = std::nullopt);
  // The ended record of a program, with what the check after a compact,
  // repair or decompile found; the user hears of a database put back or in
  // need of attention.
  void journalEnd(ProcessId pid, const RunningProgram& program, const ProgramOutcome& outcome);
  // Journals the launches missed while the clock jumped over `missed` and
  // returns those a task's catch-up window makes up.
  std::vector<Launch> journalMissed(const SecondRange& missed, LocalTime reading);
  bool journalHoldsLaunch(int index, LocalTime second);

  const TaskTable& tasks_;
  SchedulerPorts ports_;
  SchedulerEvents& events_;
  std::string schedule_;
  SecondCursor secondCursor_;
  // The clock second in progress when scheduling started.
  std::optional<LocalTime> startedWithin_;
  // Between start() and stop().
  bool scheduling_ = false;
  std::optional<UnscheduledSpan> unscheduled_;
  std::map<ProcessId, RunningProgram> running_;
  std::vector<WaitingLaunch> waiting_;
  bool journalFailureTold_ = false;
  SystemLog* systemLog_ = nullptr;
  SuccessLogging logSuccesses_ = SuccessLogging::Off;
  MetricsFile* metricsFile_ = nullptr;
  LaunchMetrics metrics_;
  bool closed_ = false;
};

// "Task 4" or "Task 4 (Nightly compact)", as notifications name a task.
std::string taskSubject(int taskNumber, const std::string& taskName);

}  // namespace kiv
