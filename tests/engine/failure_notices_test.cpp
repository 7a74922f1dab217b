// Which notices the engine gives as failures: those the desktop keeps until
// the user has seen them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/compiled_task.h"
#include "support/scheduler_fixture.h"

namespace kiv {
namespace {

using std::chrono::milliseconds;
using testing::compiledTask;
using testing::ScheduledTasks;

struct NoticeCase {
  const char* name;
  std::function<void(ScheduledTasks&)> happen;
  std::vector<std::string> failures;
  std::vector<std::string> others;
};

// Task 1 compacts /srv/task1.mdb at 02:00:00; its program is process 101.
void launchAndEnd(ScheduledTasks& s, ProgramOutcome outcome) {
  s.tickUntil("2026-12-10 02:00:00");
  s.scheduler.programEnded(101, outcome);
}

const std::vector<NoticeCase>& noticeCases() {
  static const std::vector<NoticeCase> cases{
      {"AStartThatFails",
       [](ScheduledTasks& s) {
         s.platform.startResults.emplace_back(std::string("No such file or directory"));
         s.tickUntil("2026-12-10 02:00:00");
       },
       {"Task 1 (Nightly) could not be started: No such file or directory"},
       {}},
      {"ADatabaseBusyPastTheWait",
       [](ScheduledTasks& s) {
         s.tasks[1] = compiledTask(1, "02:00:01");
         s.tasks[1].DatabaseLocation = s.tasks[0].DatabaseLocation;
         s.tasks[1].Options.wait = std::chrono::minutes{0};
         s.tickUntil("2026-12-10 02:00:01");
       },
       {"Task 2 could not be started: database busy: Task 1 (Nightly) is still running on it"},
       {}},
      {"AProgramThatFails",
       [](ScheduledTasks& s) {
         launchAndEnd(s, {ProgramOutcome::Kind::Exited, 2, milliseconds{1500}});
       },
       {"Task 1 (Nightly) failed: exit status 2 after 1.5 s."},
       {}},
      {"ADatabaseTheRunLost",
       [](ScheduledTasks& s) {
         s.tickUntil("2026-12-10 02:00:00");
         s.platform.databases.missing.push_back("/srv/task1.mdb");
         s.scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 0, milliseconds{1500}});
       },
       {"Task 1 (Nightly): the database /srv/task1.mdb was missing (No such file or directory) "
        "after the run and was put back from its copy /srv/Kiv backups/task1 2026-12-10 "
        "0200.mdb."},
       {}},
      {"AProgramThatSucceeds",
       [](ScheduledTasks& s) {
         launchAndEnd(s, {ProgramOutcome::Kind::Exited, 0, milliseconds{1500}});
       },
       {},
       {}},
      {"AJournalThatCannotBeWritten",
       [](ScheduledTasks& s) {
         s.platform.journalFailure = "No space left on device";
         s.tickUntil("2026-12-10 02:00:00");
       },
       {},
       {"The launch journal could not be written: No space left on device. Launches go on "
        "without it."}},
  };
  return cases;
}

class FailureNotices : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(FailureNotices, OnlyFailuresAreNotifiedAsFailures) {
  const NoticeCase& c = GetParam();
  ScheduledTasks s;
  s.tasks[0] = compiledTask(0, "02:00:00");
  s.tasks[0].TaskName = "Nightly";
  s.scheduler.start();
  c.happen(s);

  EXPECT_EQ(s.platform.failureNotices, c.failures);
  std::vector<std::string> others;
  for (const auto& [title, text] : s.platform.notifications) {
    EXPECT_EQ(title, "Kiv");
    if (std::ranges::find(c.failures, text) == c.failures.end()) others.push_back(text);
  }
  EXPECT_EQ(others, c.others);
}

INSTANTIATE_TEST_SUITE_P(Notices, FailureNotices, ::testing::ValuesIn(noticeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv
