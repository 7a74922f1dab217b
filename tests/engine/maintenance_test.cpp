// The guard around a compact, repair or decompile, on the scripted
// platform: waiting while somebody has the database open, refusing a
// database that cannot be maintained, the copy kept before the run and put
// back after it. The same with real files and programs is in the POSIX and
// kivctl suites.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/scheduler.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/scheduler_fixture.h"
#include "support/written_launches.h"

namespace kiv {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using testing::compiledTask;
using testing::FakePlatform;
using testing::time;

constexpr const char* kLockFile = "/srv/task1.ldb";
constexpr const char* kCopy = "/srv/Kiv backups/task1 2026-12-10 0200.mdb";

// Who has the database open, as its lock file lists them.
LockFileState heldBy(const std::string& computer, const std::string& account) {
  LockFileState state{LockFileState::Holder::Someone, true, std::vector<std::uint8_t>(64, 0)};
  std::copy(computer.begin(), computer.end(), state.bytes.begin());
  std::copy(account.begin(), account.end(), state.bytes.begin() + 32);
  return state;
}

class GuardedMaintenance : public ::testing::Test, protected testing::ScheduledTasks {
 protected:
  GuardedMaintenance() {
    tasks[0] = compiledTask(0, "02:00:00");
    tasks[0].TaskName = "Nightly";
    scheduler.start();
  }

  std::vector<std::string> notifications() const {
    std::vector<std::string> texts;
    for (const auto& [title, text] : platform.notifications) texts.push_back(text);
    return texts;
  }
};

// The lock file is looked at again every few seconds: the launch starts at
// the first look after the last user closed the database.
TEST_F(GuardedMaintenance, ACompactWaitsWhileSomebodyHasTheDatabaseOpen) {
  platform.databases.lockFiles[kLockFile] = heldBy("PC-7", "maria");
  tickUntil("2026-12-10 02:00:03");
  EXPECT_TRUE(platform.launches.empty());
  platform.databases.lockFiles[kLockFile] = {LockFileState::Holder::Nobody, true, {}};
  tickUntil("2026-12-10 02:00:04");
  EXPECT_TRUE(platform.launches.empty()) << "looked at again only after a few seconds";
  tickUntil("2026-12-10 02:00:05");

  ASSERT_EQ(platform.launches.size(), 1U);
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 1U);
  EXPECT_TRUE(journalled[0].started);
  EXPECT_EQ(journalled[0].waited, seconds{5});
  EXPECT_EQ(journalled[0].backup, "task1 2026-12-10 0200.mdb");
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(GuardedMaintenance, PastItsWaitTheLaunchIsRefusedNamingWhoHasTheDatabaseOpen) {
  tasks[0].Options.wait = minutes{1};
  LockFileState lock = heldBy("PC-ACCOUNTING", "Admin");
  const LockFileState second = heldBy("PC-7", "maria");
  lock.bytes.insert(lock.bytes.end(), second.bytes.begin(), second.bytes.end());
  platform.databases.lockFiles[kLockFile] = lock;
  tickUntil("2026-12-10 02:01:00");

  EXPECT_TRUE(platform.launches.empty());
  EXPECT_TRUE(platform.databases.copies.empty()) << "no copy for a run that does not start";
  const std::string reason =
      "in use by PC-ACCOUNTING (Admin), PC-7 (maria) after a wait of 1 min 0 s";
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 1U);
  EXPECT_FALSE(journalled[0].started);
  EXPECT_EQ(journalled[0].reason, reason);
  EXPECT_EQ(notifications(),
            std::vector<std::string>{"Task 1 (Nightly) could not be started: " + reason});
}

// A lock file that nobody holds was left behind by a program that ended
// badly: it stops nothing. Nor does a lock file stop what does not rewrite
// the database.
TEST_F(GuardedMaintenance, AStaleLockFileOrATaskThatLeavesTheDatabaseAloneStartsAtOnce) {
  platform.databases.lockFiles[kLockFile] = {LockFileState::Holder::Nobody, true, {}};
  tasks[1] = compiledTask(1, "02:00:00");
  tasks[1].Action = kMacro;
  tasks[1].Macro = "Export";
  platform.databases.lockFiles["/srv/task2.ldb"] = heldBy("PC-7", "maria");
  tickUntil("2026-12-10 02:00:00");

  EXPECT_EQ(platform.launches.size(), 2U);
  ASSERT_EQ(platform.databases.copies.size(), 1U) << "a macro keeps no copy";
  EXPECT_EQ(platform.databases.copies[0].first, "/srv/task1.mdb");
  EXPECT_EQ(platform.databases.copies[0].second, kCopy);
}

TEST_F(GuardedMaintenance, RunNowOnADatabaseSomebodyHasOpenIsRefusedAndJournalled) {
  platform.databases.lockFiles[kLockFile] = heldBy("PC-7", "maria");
  platform.databases.lockFiles["/srv/task2.laccdb"] = heldBy("PC-8", "tom");
  tasks[1] = compiledTask(1, "");
  tasks[1].DatabaseLocation = "/srv/task2.accdb";

  for (const int index : {0, 1}) {
    const Result<void, std::string> started = scheduler.runNow(index);
    ASSERT_FALSE(started);
    EXPECT_EQ(started.error(), index == 0 ? "in use by PC-7 (maria)" : "in use by PC-8 (tom)");
  }
  EXPECT_TRUE(platform.launches.empty());
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 2U);
  EXPECT_EQ(journalled[0].how, LaunchHow::OnDemand);
  EXPECT_EQ(journalled[0].reason, "in use by PC-7 (maria)");
  EXPECT_TRUE(platform.notifications.empty()) << "the message box tells the user";
}

TEST_F(GuardedMaintenance, RunNowKeepsACopyAsAScheduledLaunchDoes) {
  platform.clock = time("2026-12-10 14:35:10");
  ASSERT_TRUE(scheduler.runNow(0));
  ASSERT_EQ(platform.databases.copies.size(), 1U);
  EXPECT_EQ(platform.databases.copies[0].second, "/srv/Kiv backups/task1 2026-12-10 1435.mdb");
  ASSERT_TRUE(scheduler.runNow(0)) << "a second run in the same minute";
  EXPECT_EQ(platform.databases.copies.at(1).second,
            "/srv/Kiv backups/task1 2026-12-10 1435 (2).mdb");
  EXPECT_EQ(platform.databases.removed,
            std::vector<std::string>{"/srv/Kiv backups/task1 2026-12-10 1435.mdb"})
      << "one copy is kept unless the task says otherwise";
}

// A backup folder named without a path lies beside the database, as the
// default one does; a full path is taken as it is.
TEST_F(GuardedMaintenance, ACopyGoesToTheTasksBackupFolder) {
  tasks[0].Options.backupFolder = "Old copies";
  tasks[1] = compiledTask(1, "02:00:00");
  tasks[1].Options.backupFolder = "/var/backups/kiv";
  tickUntil("2026-12-10 02:00:00");

  ASSERT_EQ(platform.databases.copies.size(), 2U);
  EXPECT_EQ(platform.databases.copies[0].second, "/srv/Old copies/task1 2026-12-10 0200.mdb");
  EXPECT_EQ(platform.databases.copies[1].second, "/var/backups/kiv/task2 2026-12-10 0200.mdb");
}

// A clock set back names the new copy before the older ones; it is kept
// all the same, for the run may need it put back.
TEST_F(GuardedMaintenance, TheNewCopyIsKeptWhenItsNameSortsBeforeOlderOnes) {
  platform.clock = time("2026-12-10 14:35:10");
  ASSERT_TRUE(scheduler.runNow(0));
  platform.clock = time("2026-12-09 09:00:00");
  ASSERT_TRUE(scheduler.runNow(0));

  EXPECT_EQ(platform.databases.copies.at(1).second, "/srv/Kiv backups/task1 2026-12-09 0900.mdb");
  EXPECT_TRUE(platform.databases.removed.empty());
}

TEST_F(GuardedMaintenance, ADatabaseThatIsNotThereIsNotStarted) {
  platform.databases.missing.push_back("/srv/task1.mdb");
  tickUntil("2026-12-10 02:00:00");

  EXPECT_TRUE(platform.launches.empty());
  const std::string reason = "cannot use the database /srv/task1.mdb: No such file or directory";
  ASSERT_EQ(launches().size(), 1U);
  EXPECT_EQ(launches()[0].reason, reason);
  EXPECT_EQ(notifications(),
            std::vector<std::string>{"Task 1 (Nightly) could not be started: " + reason});
}

struct AfterRunCase {
  const char* name;
  int backups;
  ProgramOutcome outcome;
  bool databaseMissing;
  const char* found;
  const char* restored;
  std::vector<std::string> told;
};

class AfterTheRun : public GuardedMaintenance,
                    public ::testing::WithParamInterface<AfterRunCase> {};

TEST_P(AfterTheRun, TheDatabaseIsCheckedAndPutBackWhenTheRunLostIt) {
  const AfterRunCase& c = GetParam();
  tasks[0].Options.backups = c.backups;
  tickUntil("2026-12-10 02:00:00");
  ASSERT_EQ(platform.launches.size(), 1U);
  if (c.databaseMissing) platform.databases.missing.push_back("/srv/task1.mdb");
  scheduler.programEnded(101, c.outcome);

  const std::vector<EndedRecord> ended = ends();
  ASSERT_EQ(ended.size(), 1U);
  EXPECT_EQ(ended[0].databaseCheck, c.found);
  EXPECT_EQ(ended[0].restored, c.restored);
  EXPECT_EQ(notifications(), c.told);
  const bool putBack =
      std::ranges::find(platform.databases.copies,
                        std::pair<std::string, std::string>(kCopy, "/srv/task1.mdb")) !=
      platform.databases.copies.end();
  EXPECT_EQ(putBack, std::string(c.restored) != "");
}

const ProgramOutcome kSucceeded{ProgramOutcome::Kind::Exited, 0, seconds{3}};
const ProgramOutcome kFailed{ProgramOutcome::Kind::Exited, 1, seconds{3}};

INSTANTIATE_TEST_SUITE_P(
    Outcomes, AfterTheRun,
    ::testing::Values(
        AfterRunCase{
            "IntactAfterASuccess", 1, kSucceeded, false, "database intact (4.0 KB)", "", {}},
        AfterRunCase{"MissingAfterAFailure",
                     1,
                     kFailed,
                     true,
                     "database missing (No such file or directory); put back from task1 "
                     "2026-12-10 0200.mdb",
                     "task1 2026-12-10 0200.mdb",
                     {"Task 1 (Nightly) failed: exit status 1 after 3.0 s.",
                      "Task 1 (Nightly): the database /srv/task1.mdb was missing (No such file or "
                      "directory) after the run and was put back from its copy " +
                          std::string(kCopy) + "."}},
        AfterRunCase{"MissingWithoutACopy",
                     0,
                     kSucceeded,
                     true,
                     "database missing (No such file or directory); no copy to put back",
                     "",
                     {"Task 1 (Nightly): the database /srv/task1.mdb is missing (No such file or "
                      "directory) after the run and needs attention: no copy of it was kept."}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv
