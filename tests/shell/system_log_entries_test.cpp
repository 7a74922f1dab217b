#include "shell/system_log_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {
namespace {

using std::chrono::milliseconds;
using Kind = SystemLogKind;
using Priority = SystemLogPriority;

constexpr const char* kSchedule = "/home/me/nightly.kiv";
constexpr const char* kMaskedCommand = R"("/opt/db/access" /pwd ******** /compact)";

LaunchRecord launch(LaunchHow how, bool started, std::string reason = {}) {
  LaunchRecord record;
  record.at = "2027-03-28 02:00:00";
  record.schedule = kSchedule;
  record.task = 3;
  record.taskName = "Nightly compact";
  record.how = how;
  record.commandLine = kMaskedCommand;
  record.started = started;
  if (started) record.pid = 4242;
  record.reason = std::move(reason);
  return record;
}

EndedRecord ended(ProgramOutcome outcome, std::string databaseCheck = {},
                  std::string restored = {}) {
  return {"2027-03-28 02:00:00",    kSchedule,          3, 4242, outcome,
          std::move(databaseCheck), std::move(restored)};
}

struct LaunchCase {
  const char* what;
  LaunchRecord record;
  SuccessLogging successes;
  std::vector<SystemLogEntry> expected;
};

TEST(SystemLogEntries, ALaunchReachesTheSystemLogWhenItFailedOrWhenSuccessesAreAskedFor) {
  const std::string subject =
      "Task 3 (Nightly compact) of /home/me/nightly.kiv, due 2027-03-28 02:00:00";
  const std::vector<LaunchCase> cases = {
      {"not started",
       launch(LaunchHow::Scheduled, false, "No such file or directory: /opt/db/access"),
       SuccessLogging::Off,
       {{Kind::NotStarted, Priority::Error,
         subject + ", not started: No such file or directory: /opt/db/access"}}},
      {"Run now not started",
       launch(LaunchHow::OnDemand, false, "database busy"),
       SuccessLogging::On,
       {{Kind::NotStarted, Priority::Error, subject + ", not started: database busy"}}},
      {"missed",
       launch(LaunchHow::Missed, false, "not made up: the clock moved on"),
       SuccessLogging::Off,
       {{Kind::Missed, Priority::Warning, subject + ", missed: not made up: the clock moved on"}}},
      {"started, successes not asked for",
       launch(LaunchHow::Scheduled, true),
       SuccessLogging::Off,
       {}},
      {"started, successes asked for",
       launch(LaunchHow::CaughtUp, true),
       SuccessLogging::On,
       {{Kind::Started, Priority::Information, subject + ", started as process 4242"}}},
  };
  for (const LaunchCase& c : cases) {
    EXPECT_EQ(systemLogEntries(c.record, c.successes), c.expected) << c.what;
  }
}

TEST(SystemLogEntries, AnUntitledScheduleAndANamelessTaskAreSaidSo) {
  LaunchRecord record = launch(LaunchHow::Scheduled, false, "empty command line");
  record.schedule.clear();
  record.taskName.clear();
  EXPECT_EQ(systemLogEntries(record, SuccessLogging::Off).at(0).message,
            "Task 3 of an untitled schedule, due 2027-03-28 02:00:00, not started: empty command "
            "line");
}

struct EndedCase {
  const char* what;
  EndedRecord record;
  SuccessLogging successes;
  std::vector<SystemLogEntry> expected;
};

TEST(SystemLogEntries, AnEndReachesTheSystemLogWhenItFailedOrItsDatabaseWasPutBack) {
  const std::string subject =
      "Task 3 (Nightly compact) of /home/me/nightly.kiv, launched 2027-03-28 02:00:00 as process "
      "4242";
  const std::vector<EndedCase> cases = {
      {"exit status 2",
       ended({ProgramOutcome::Kind::Exited, 2, milliseconds{1500}}),
       SuccessLogging::Off,
       {{Kind::Failed, Priority::Error, subject + ", failed: exit status 2 after 1.5 s"}}},
      {"signal",
       ended({ProgramOutcome::Kind::Signalled, 9, milliseconds{20000}}),
       SuccessLogging::Off,
       {{Kind::Failed, Priority::Error, subject + ", failed: ended by signal 9 after 20.0 s"}}},
      {"time limit",
       ended({ProgramOutcome::Kind::TimedOut, 30, std::nullopt}),
       SuccessLogging::Off,
       {{Kind::Failed, Priority::Error, subject + ", failed: ended at its time limit of 30 min"}}},
      {"exit status 0, successes not asked for",
       ended({ProgramOutcome::Kind::Exited, 0, milliseconds{1500}}),
       SuccessLogging::Off,
       {}},
      {"exit status 0, successes asked for",
       ended({ProgramOutcome::Kind::Exited, 0, milliseconds{1500}}),
       SuccessLogging::On,
       {{Kind::Succeeded, Priority::Information, subject + ", ended: exit status 0 after 1.5 s"}}},
      {"unknown outcome is no failure", ended({}), SuccessLogging::On, {}},
      {"failed and put back",
       ended({ProgramOutcome::Kind::Exited, 1, milliseconds{1500}},
             "database cut to 1.0 KB of 1.0 MB; put back from Orders-copy.mdb", "Orders-copy.mdb"),
       SuccessLogging::Off,
       {{Kind::Failed, Priority::Error, subject + ", failed: exit status 1 after 1.5 s"},
        {Kind::Restored, Priority::Error,
         subject + ", database cut to 1.0 KB of 1.0 MB; put back from Orders-copy.mdb"}}},
      {"intact database, nothing put back",
       ended({ProgramOutcome::Kind::Exited, 0, milliseconds{1500}}, "database intact (1.0 MB)"),
       SuccessLogging::Off,
       {}},
  };
  for (const EndedCase& c : cases) {
    EXPECT_EQ(systemLogEntries(c.record, "Nightly compact", c.successes), c.expected) << c.what;
  }
}

TEST(SystemLogEntries, TheCommandLineNeverReachesTheSystemLog) {
  for (const bool started : {false, true}) {
    for (const SystemLogEntry& entry :
         systemLogEntries(launch(LaunchHow::Scheduled, started, "refused"), SuccessLogging::On)) {
      EXPECT_EQ(entry.message.find("/pwd"), std::string::npos) << entry.message;
      EXPECT_EQ(entry.message.find("/opt/db/access"), std::string::npos) << entry.message;
    }
  }
}

}  // namespace
}  // namespace kiv
