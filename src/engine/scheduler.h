#pragma once

#include <map>
#include <optional>
#include <string>

#include "base/result.h"
#include "engine/scheduler_events.h"
#include "scheduler/second_cursor.h"
#include "shell/clock.h"
#include "shell/journal_store.h"
#include "shell/notifier.h"
#include "shell/process_starter.h"
#include "tasks/task.h"

namespace kiv {

// The roles of the operating system the scheduler uses.
struct SchedulerPorts {
  Clock& clock;
  ProcessStarter& starter;
  JournalStore& journal;
  Notifier& notifier;
};

// A started program whose end is awaited.
struct RunningProgram {
  int taskIndex = 0;
  std::string taskName;
  std::string database;
  LocalTime startedAt{};
  // The launch's journal time and schedule, which its ended record repeats.
  std::string at;
  std::string schedule;
};

// What Kiv does when nobody looks: examines every clock second once, starts
// the program of each compiled task that is due and allowed on its day,
// journals every launch, missed launch and outcome, and notifies the user of
// failures. The window and kivctl run drive it alike: they tick it about once
// a second, forward Run now and the ends of started programs, and learn of
// launches through SchedulerEvents.
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
  // once when the schedule was opened or saved; empty while untitled.
  void setSchedule(std::string identity) { schedule_ = std::move(identity); }
  const std::string& schedule() const { return schedule_; }

  // Scheduling starts within the clock's current second: the first tick
  // examines it too, unless the journal shows a scheduler of this schedule
  // that ended just before launched the task due then.
  void start();
  // Examines the seconds since the last tick and launches what is due.
  void tick();
  // Starts task `index`'s program now, whatever its time, day pattern or
  // close-after-running setting; the error is why it could not be started.
  Result<void, std::string> runNow(int index);

  // A started program ended; the starter that gave its process id reports it.
  void programEnded(ProcessId pid, const ProgramOutcome& outcome);
  // Journals the programs still running as of unknown outcome: once Kiv ends,
  // nobody learns how they end.
  void journalUnfinishedLaunches();

  // A launch closed the scheduler: nothing is examined any more.
  bool closed() const { return closed_; }
  const std::map<ProcessId, RunningProgram>& runningPrograms() const { return running_; }

 private:
  // How a launch came about, for the journal: `at` is the second it was due
  // (or Run now was pressed); `dueAt` the skipped time a late launch makes up.
  struct LaunchOccasion {
    LaunchHow how = LaunchHow::Scheduled;
    LocalTime at{};
    std::optional<LocalTime> dueAt;
  };

  // Each examines the seconds in order; false once a launch closed the scheduler.
  bool examineSeconds(const SecondRange& seconds);
  bool launchSkipped(const SecondRange& skipped);
  bool examineTask(int index, LocalTime second);
  bool launchScheduled(int index, const LaunchOccasion& occasion);
  bool mayHaveLaunchedBeforeStart(LocalTime second) const;

  // The one start path of scheduled launches and Run now: tells the events,
  // starts the program and journals the attempt. `shownAt` is the time the
  // last-launch status names.
  StartResult launch(int index, const LaunchOccasion& occasion, LocalTime shownAt);
  StartResult startProgram(const Task& task);
  std::string launchStatus(int index, LocalTime when, LaunchHow how);

  void notifyUser(const std::string& text);
  void appendToJournal(const std::string& line);
  void journalLaunch(const Task& task, int index, const LaunchOccasion& occasion,
                     const StartResult& result, LocalTime startedAt);
  void journalMissed(const SecondRange& missed, LocalTime reading);
  bool journalHoldsLaunch(int index, LocalTime second);

  const TaskTable& tasks_;
  SchedulerPorts ports_;
  SchedulerEvents& events_;
  std::string schedule_;
  SecondCursor secondCursor_;
  // The clock second in progress when scheduling started.
  std::optional<LocalTime> startedWithin_;
  std::map<ProcessId, RunningProgram> running_;
  bool journalFailureTold_ = false;
  bool closed_ = false;
};

// "Task 4" or "Task 4 (Nightly compact)", as notifications name a task.
std::string taskSubject(int taskNumber, const std::string& taskName);

}  // namespace kiv
