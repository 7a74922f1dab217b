#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kiv {

// The launch journal: one JSON object a line, appended by every scheduler of
// the user (the window program and `kivctl run`) and read back by `kivctl
// history`. Times are local wall-clock texts "YYYY-MM-DD hh:mm:ss", kept as
// written. A password never reaches it: command lines are journalled masked.

using ProcessId = std::int64_t;

// How a launch came about. `Missed` launches were due while the clock jumped
// forward (a clock set on, a machine waking from sleep) and were not made up.
// `CaughtUp` launches make up a fixed-time launch missed while nothing
// scheduled the schedule, when the task allows it.
enum class LaunchHow { Scheduled, OnDemand, AfterSkippedHour, Missed, CaughtUp };

// One launch attempt.
struct LaunchRecord {
  std::string at;  // the due second; for Run now the moment it was pressed
  // afterSkippedHour: the time the task names, which the clock skipped;
  // caughtUp: the missed launch it makes up
  std::string dueAt;
  std::string schedule;  // the schedule file; empty while untitled
  int task = 0;          // 1 to 30
  std::string taskName;
  LaunchHow how = LaunchHow::Scheduled;
  std::optional<std::string> commandLine;  // password masked; none when it could not be composed
  bool started = false;
  std::optional<ProcessId> pid;  // of a started program, when the platform knows it
  std::string reason;            // why it was not started
  // How long the launch waited for its database, used by another program Kiv
  // started, before it started or gave up.
  std::optional<std::chrono::seconds> waited;
  // The name of the copy of the database kept before a compact, repair or
  // decompile; empty when none was.
  std::string backup;

  friend bool operator==(const LaunchRecord&, const LaunchRecord&) = default;
};

// How a started program ended, as the platform that watched it reports it.
struct ProgramOutcome {
  // TimedOut: Kiv ended the program when it ran past its task's time limit.
  enum class Kind { Exited, Signalled, Unknown, TimedOut };
  Kind kind = Kind::Unknown;
  // The exit status, or the number of the signal that ended it; for TimedOut
  // the time limit in minutes. A Windows exit code is the signed number
  // %ERRORLEVEL% shows: 0xC0000005 is -1073741819.
  int code = 0;
  std::optional<std::chrono::milliseconds> duration;

  // An exit status other than 0, a signal or a time limit: the user is told
  // of it. An unknown outcome is no failure anybody knows of.
  bool failed() const {
    return kind == Kind::Signalled || kind == Kind::TimedOut || (kind == Kind::Exited && code != 0);
  }
  // "exit status 2 after 1.5 s", "exit status -1073741819 (0xC0000005) after
  // 3.0 s", "ended by signal 9 after 20.0 s", "ended at its time limit of 30
  // min after 30 min 12 s", "outcome unknown: Kiv ended first"
  std::string text() const;

  friend bool operator==(const ProgramOutcome&, const ProgramOutcome&) = default;
};

// The end of a started program, keyed to its launch by the launch's `at`,
// schedule, task and process id.
struct EndedRecord {
  std::string at;
  std::string schedule;
  int task = 0;
  ProcessId pid = 0;
  ProgramOutcome outcome;
  // After a compact, repair or decompile: what the check of the database
  // found ("database intact (1.5 MB)"), and the copy put back in its place.
  std::string databaseCheck;
  std::string restored;

  friend bool operator==(const EndedRecord&, const EndedRecord&) = default;
};

// A scheduler started or stopped scheduling a schedule. Launches due in
// between were examined; a launch due after a stop and before the next start
// was missed by nobody's fault but the schedule's being left alone.
struct SchedulingRecord {
  std::string at;
  std::string schedule;
  bool started = false;  // false: stopped

  friend bool operator==(const SchedulingRecord&, const SchedulingRecord&) = default;
};

using JournalRecord = std::variant<LaunchRecord, EndedRecord, SchedulingRecord>;

// "12.3 s" under a minute, "3 min 20 s" under an hour, "2 h 5 min" beyond.
std::string durationText(std::chrono::milliseconds duration);

// The names the journal gives: "scheduled", "onDemand", "afterSkippedHour",
// "missed", "caughtUp"; "exited", "signalled", "unknown", "timedOut".
std::string_view launchHowName(LaunchHow how);
std::string_view outcomeKindName(ProgramOutcome::Kind kind);

// The record as one line, without the line break.
std::string journalLine(const LaunchRecord& record);
std::string journalLine(const EndedRecord& record);
std::string journalLine(const SchedulingRecord& record);

// The record a line holds; nullopt for a line that is not one (damaged, cut
// short by a crash, or written by a later version with a record kind this one
// does not know).
std::optional<JournalRecord> parseJournalLine(std::string_view line);

// A launch with the outcome of its program, once that is journalled.
struct JournalledLaunch {
  LaunchRecord launch;
  std::optional<ProgramOutcome> outcome;
};

// Every launch in the journal's text, oldest first, each joined with the
// outcome that ends it. Lines that hold no record are passed over.
std::vector<JournalledLaunch> journalledLaunches(std::string_view journalText);

// The last record of the journal's text that tells of `schedule`'s
// scheduling starting or stopping; nullopt when there is none.
std::optional<SchedulingRecord> lastScheduling(std::string_view journalText,
                                               const std::string& schedule);

}  // namespace kiv
