// The scheduler keeping to each task's options, on the scripted platform:
// launches that wait for a database in use, programs ended at their time
// limit, and launches missed while nothing scheduled the schedule made up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/database_key.h"
#include "engine/scheduler.h"
#include "scheduler/date_time_text.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/scheduler_fixture.h"
#include "support/written_launches.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using testing::compiledTask;
using testing::FakePlatform;
using testing::NoEvents;
using testing::recordsOf;
using testing::time;

constexpr const char* kSchedule = testing::kScheduledFile;

class SchedulerOptions : public ::testing::Test, protected testing::ScheduledTasks {};

// Two spellings of one database: the second task waits for the first one's
// program to end and starts at the next tick, its journal line saying how
// long it waited.
TEST_F(SchedulerOptions, ALaunchWaitsForTheProgramOnItsDatabaseToEnd) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation = R"(C:\Data\Shop.mdb)";
  tasks[1] = compiledTask(1, "02:00:02");
  tasks[1].DatabaseLocation = R"(c:/data/./reports/..//SHOP.MDB)";
  scheduler.start();

  tickUntil("2026-12-10 02:00:05");
  EXPECT_EQ(platform.launches.size(), 1U);
  scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 0, seconds{5}});
  tickUntil("2026-12-10 02:00:06");

  ASSERT_EQ(platform.launches.size(), 2U);
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 2U);
  EXPECT_EQ(journalled[1].task, 2);
  EXPECT_EQ(journalled[1].at, "2026-12-10 02:00:02");
  EXPECT_TRUE(journalled[1].started);
  EXPECT_EQ(journalled[1].waited, seconds{4});
  EXPECT_FALSE(journalled[0].waited);
  EXPECT_EQ(scheduler.runningPrograms().size(), 1U);
  EXPECT_TRUE(platform.notifications.empty());
}

struct BusyCase {
  const char* name;
  minutes wait;
  // The first task's program ends at this second, or never.
  const char* firstEnds;
  const char* tickUntil;
  bool secondStarted;
  const char* reason;
  std::optional<seconds> waited;
};

class BusyDatabase : public SchedulerOptions, public ::testing::WithParamInterface<BusyCase> {};

// What becomes of a launch due while its database is busy, by its wait.
TEST_P(BusyDatabase, TheLaunchStartsOrIsRefusedWithItsReason) {
  const BusyCase& c = GetParam();
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].TaskName = "Repair";
  tasks[1] = compiledTask(1, "02:00:02");
  tasks[1].DatabaseLocation = tasks[0].DatabaseLocation;
  tasks[1].Options.wait = c.wait;
  scheduler.start();

  if (c.firstEnds != nullptr) {
    tickUntil(c.firstEnds);
    scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 0, seconds{1}});
  }
  tickUntil(c.tickUntil);

  EXPECT_EQ(platform.launches.size(), c.secondStarted ? 2U : 1U);
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 2U);
  const LaunchRecord& second = journalled[1];
  EXPECT_EQ(second.started, c.secondStarted);
  EXPECT_EQ(second.reason, c.reason);
  EXPECT_EQ(second.waited, c.waited);
  if (c.secondStarted) {
    EXPECT_TRUE(platform.notifications.empty());
  } else {
    ASSERT_EQ(platform.notifications.size(), 1U);
    EXPECT_EQ(platform.notifications[0].second,
              std::string("Task 2 could not be started: ") + c.reason);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Waits, BusyDatabase,
    ::testing::Values(
        BusyCase{"NoWaitSkipsAtOnce", minutes{0}, nullptr, "2026-12-10 02:00:10", false,
                 "database busy: Task 1 (Repair) is still running on it", std::nullopt},
        BusyCase{"AWaitThatRunsOutIsRefused", minutes{1}, nullptr, "2026-12-10 02:01:10", false,
                 "database busy: Task 1 (Repair) is still running on it after a wait of 1 min 0 s",
                 seconds{60}},
        BusyCase{"AProgramEndingWithinTheWaitLetsItStart", minutes{1}, "2026-12-10 02:01:01",
                 "2026-12-10 02:01:10", true, "", seconds{60}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SchedulerOptions, ProgramsOnOtherDatabasesDoNotWait) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[1] = compiledTask(1, "02:00:00");
  scheduler.start();

  tickUntil("2026-12-10 02:00:00");

  EXPECT_EQ(platform.launches.size(), 2U);
  EXPECT_EQ(scheduler.runningPrograms().size(), 2U);
}

// A task due every hour whose program runs long: the next launch waits,
// and the one after it, due while that one still waits, is refused rather
// than queued behind it.
TEST_F(SchedulerOptions, ATaskWaitsForItsOwnProgramAndOnlyOnce) {
  tasks[0] = compiledTask(0, "00:00:?1");
  tasks[0].Options.wait = minutes{120};
  scheduler.start();
  tickUntil("2026-12-10 04:00:00");

  EXPECT_EQ(platform.launches.size(), 1U);
  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 2U);
  EXPECT_EQ(journalled[1].at, "2026-12-10 04:00:00");
  EXPECT_EQ(journalled[1].reason,
            "database busy: an earlier launch of this task is still waiting for it");
}

// Ending a program at its time limit: asked at the limit, made to end after
// the grace period, journalled as timed out however it ended, the user told.
TEST_F(SchedulerOptions, AProgramPastItsTimeLimitIsAskedThenMadeToEnd) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].TaskName = "Compact";
  tasks[0].Options.timeLimit = minutes{2};
  scheduler.start();

  tickUntil("2026-12-10 02:01:59");
  EXPECT_TRUE(platform.endedPrograms.empty());
  tickUntil("2026-12-10 02:02:00");
  EXPECT_EQ(platform.endedPrograms,
            (std::vector<std::pair<ProcessId, Ending>>{{101, Ending::Gracefully}}));
  tickUntil("2026-12-10 02:02:29");
  EXPECT_EQ(platform.endedPrograms.size(), 1U);
  tickUntil("2026-12-10 02:02:40");
  EXPECT_EQ(platform.endedPrograms, (std::vector<std::pair<ProcessId, Ending>>{
                                        {101, Ending::Gracefully}, {101, Ending::Forcibly}}));

  scheduler.programEnded(101, {ProgramOutcome::Kind::Signalled, 9, seconds{151}});
  tickUntil("2026-12-10 02:03:00");

  const std::vector<EndedRecord> ended = ends();
  ASSERT_EQ(ended.size(), 1U);
  EXPECT_EQ(ended[0].outcome, (ProgramOutcome{ProgramOutcome::Kind::TimedOut, 2, seconds{151}}));
  ASSERT_EQ(platform.notifications.size(), 1U);
  EXPECT_EQ(platform.notifications[0].second,
            "Task 1 (Compact) failed: ended at its time limit of 2 min after 2 min 31 s.");
  EXPECT_EQ(platform.endedPrograms.size(), 2U);
  EXPECT_TRUE(scheduler.runningPrograms().empty());
}

TEST_F(SchedulerOptions, AProgramWithinItsTimeLimitOrWithoutOneIsLeftAlone) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].Options.timeLimit = minutes{5};
  tasks[1] = compiledTask(1, "02:00:00");
  scheduler.start();

  tickUntil("2026-12-10 02:04:00");
  scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 0, minutes{4}});
  tickUntil("2026-12-10 04:00:00");

  EXPECT_TRUE(platform.endedPrograms.empty());
  const std::vector<EndedRecord> ended = ends();
  ASSERT_EQ(ended.size(), 1U);
  EXPECT_EQ(ended[0].outcome.kind, ProgramOutcome::Kind::Exited);
}

// The journal as a scheduler of the schedule left it: stopped at `stopped`.
void journalStoppedAt(FakePlatform& platform, const std::string& stopped,
                      const std::string& schedule = kSchedule) {
  platform.journalLines.push_back(
      journalLine(SchedulingRecord{"2026-12-09 08:00:00", schedule, true}));
  platform.journalLines.push_back(journalLine(SchedulingRecord{stopped, schedule, false}));
}

struct CatchUpCase {
  const char* name;
  const char* stoppedAt;
  const char* launchAt;
  std::optional<hours> catchUp;
  // The task's launch the start makes up, due then; none: nothing made up.
  const char* madeUpDueAt;
};

class CatchUpAtStart : public SchedulerOptions,
                       public ::testing::WithParamInterface<CatchUpCase> {};

// Kiv stopped and starts again at 08:00.
TEST_P(CatchUpAtStart, OnlyAFixedLaunchWithinItsWindowIsMadeUpOnce) {
  const CatchUpCase& c = GetParam();
  journalStoppedAt(platform, c.stoppedAt);
  platform.clock = time("2026-12-10 08:00:00");
  tasks[0] = compiledTask(0, c.launchAt);
  tasks[0].Options.catchUp = c.catchUp;
  scheduler.start();

  tickUntil("2026-12-10 08:00:05");

  const std::vector<LaunchRecord> journalled = launches();
  if (c.madeUpDueAt == nullptr) {
    EXPECT_TRUE(journalled.empty());
    EXPECT_TRUE(platform.launches.empty());
    return;
  }
  ASSERT_EQ(journalled.size(), 1U);
  EXPECT_EQ(journalled[0].how, LaunchHow::CaughtUp);
  EXPECT_EQ(journalled[0].at, "2026-12-10 08:00:01");
  EXPECT_EQ(journalled[0].dueAt, c.madeUpDueAt);
  EXPECT_TRUE(journalled[0].started);
  EXPECT_EQ(platform.launches.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CatchUpAtStart,
    ::testing::Values(
        CatchUpCase{"WithinTheWindow", "2026-12-09 22:00:00", "02:00:00", hours{8},
                    "2026-12-10 02:00:00"},
        CatchUpCase{"PastTheWindow", "2026-12-09 22:00:00", "02:00:00", hours{5}, nullptr},
        CatchUpCase{"Off", "2026-12-09 22:00:00", "02:00:00", std::nullopt, nullptr},
        CatchUpCase{"RecurringLaunchesAreNotMadeUp", "2026-12-09 22:00:00", "01:00:?2", hours{12},
                    nullptr},
        CatchUpCase{"DueBeforeTheStop", "2026-12-09 22:00:00", "21:00:00", hours{24}, nullptr},
        CatchUpCase{"ManyMissedMakeUpTheLatest", "2026-12-06 22:00:00", "23:30:00", hours{7 * 24},
                    "2026-12-09 23:30:00"}),
    [](const auto& info) { return std::string(info.param.name); });

// The journal shows no stop of this schedule: a scheduler of it that ended
// without one (a crash, a power cut), one of another schedule, or none ever.
TEST_F(SchedulerOptions, NothingIsMadeUpWithoutAStopOfThisSchedule) {
  const std::vector<std::vector<std::string>> journals{
      {journalLine(SchedulingRecord{"2026-12-09 20:00:00", kSchedule, true})},
      {journalLine(SchedulingRecord{"2026-12-09 20:00:00", "/home/ann/other.kiv", true}),
       journalLine(SchedulingRecord{"2026-12-09 22:00:00", "/home/ann/other.kiv", false})},
      {},
  };
  for (const auto& journal : journals) {
    FakePlatform fresh;
    fresh.journalLines = journal;
    fresh.clock = time("2026-12-10 08:00:00");
    TaskTable catching;
    catching[0] = compiledTask(0, "02:00:00");
    catching[0].Options.catchUp = hours{12};
    Scheduler restarted{catching, {fresh, fresh, fresh, fresh, fresh.databaseFiles()}, events};
    restarted.setSchedule(kSchedule);
    restarted.start();
    fresh.advance(seconds{1});
    restarted.tick();
    EXPECT_TRUE(fresh.launches.empty());
  }
}

// The computer slept from 01:00 to 05:00: the launch whose window reaches
// is made up instead of being journalled missed; the other stays missed.
TEST_F(SchedulerOptions, ALaunchMissedWhileAsleepIsMadeUpWithinItsWindow) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].Options.catchUp = hours{4};
  tasks[1] = compiledTask(1, "03:00:00");
  tasks[2] = compiledTask(2, "01:30:00");
  tasks[2].Options.catchUp = hours{1};
  platform.clock = time("2026-12-10 00:59:59");
  scheduler.start();
  tickUntil("2026-12-10 01:00:00");

  platform.clock = time("2026-12-10 05:00:00");
  scheduler.tick();

  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 3U);
  EXPECT_EQ(journalled[0].task, 3);  // its window is an hour: 3.5 h late
  EXPECT_EQ(journalled[0].how, LaunchHow::Missed);
  EXPECT_EQ(journalled[1].task, 2);
  EXPECT_EQ(journalled[1].how, LaunchHow::Missed);
  EXPECT_EQ(journalled[2].task, 1);
  EXPECT_EQ(journalled[2].how, LaunchHow::CaughtUp);
  EXPECT_EQ(journalled[2].dueAt, "2026-12-10 02:00:00");
  EXPECT_EQ(journalled[2].at, "2026-12-10 05:00:00");
  EXPECT_EQ(platform.launches, std::vector<std::string>{testing::commandLineOf(0)});
}

// The journal tells when each schedule was scheduled: from the start, or
// from the moment it was opened, to the moment another was, or the stop.
TEST_F(SchedulerOptions, TheJournalTellsWhenEachScheduleWasScheduled) {
  scheduler.start();
  tickUntil("2026-12-10 02:00:00");
  scheduler.setSchedule("/home/ann/other.kiv");
  tickUntil("2026-12-10 02:00:01");
  scheduler.setSchedule("");
  scheduler.stop();
  scheduler.stop();

  EXPECT_EQ(recordsOf<SchedulingRecord>(platform.journalLines),
            (std::vector<SchedulingRecord>{
                {"2026-12-10 01:59:58", kSchedule, true},
                {"2026-12-10 02:00:00", kSchedule, false},
                {"2026-12-10 02:00:00", "/home/ann/other.kiv", true},
                {"2026-12-10 02:00:01", "/home/ann/other.kiv", false},
            }));
}

// Kiv ends while a launch waits and a program runs: the launch is journalled
// as not started, the program's outcome as unknown, each once.
TEST_F(SchedulerOptions, StoppingJournalsWaitingLaunchesAndRunningProgramsOnce) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[1] = compiledTask(1, "02:00:01");
  tasks[1].DatabaseLocation = tasks[0].DatabaseLocation;
  scheduler.start();
  tickUntil("2026-12-10 02:00:31");

  scheduler.stop();
  scheduler.stop();

  const std::vector<LaunchRecord> journalled = launches();
  ASSERT_EQ(journalled.size(), 2U);
  EXPECT_FALSE(journalled[1].started);
  EXPECT_EQ(journalled[1].reason, "database busy: Kiv ended while the launch waited for it");
  EXPECT_EQ(journalled[1].waited, seconds{30});
  const std::vector<EndedRecord> ended = ends();
  ASSERT_EQ(ended.size(), 1U);
  EXPECT_EQ(ended[0].outcome.kind, ProgramOutcome::Kind::Unknown);
  EXPECT_TRUE(scheduler.runningPrograms().empty());
}

// The window's start of a launch may run a nested event loop in which the
// next tick arrives: each waiting launch still starts once.
class TickingEvents final : public SchedulerEvents {
 public:
  explicit TickingEvents(Scheduler*& scheduler) : scheduler_(scheduler) {}
  void launchStarting(const LaunchNotice&) override {
    if (nested_) return;
    nested_ = true;
    scheduler_->tick();
    nested_ = false;
  }
  void launchStarted(const LaunchNotice&) override {}

 private:
  Scheduler*& scheduler_;
  bool nested_ = false;
};

TEST_F(SchedulerOptions, ATickInsideALaunchStartsEachWaitingLaunchOnce) {
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[1] = compiledTask(1, "02:00:01");
  tasks[2] = compiledTask(2, "02:00:01");
  tasks[1].DatabaseLocation = tasks[0].DatabaseLocation;
  tasks[2].DatabaseLocation = "/srv/other.mdb";
  tasks[3] = compiledTask(3, "02:00:02");
  tasks[3].DatabaseLocation = "/srv/other.mdb";
  Scheduler* self = nullptr;
  TickingEvents ticking(self);
  Scheduler nested{
      tasks, {platform, platform, platform, platform, platform.databaseFiles()}, ticking};
  self = &nested;
  nested.start();
  for (int second = 0; second < 4; ++second) {
    platform.advance(seconds{1});
    nested.tick();
  }
  nested.programEnded(101, {ProgramOutcome::Kind::Exited, 0, seconds{3}});
  nested.programEnded(102, {ProgramOutcome::Kind::Exited, 0, seconds{2}});
  for (int second = 0; second < 3; ++second) {
    platform.advance(seconds{1});
    nested.tick();
  }

  EXPECT_EQ(platform.launches.size(), 4U);
  const std::vector<LaunchRecord> journalled = recordsOf<LaunchRecord>(platform.journalLines);
  ASSERT_EQ(journalled.size(), 4U);
  EXPECT_TRUE(std::ranges::all_of(journalled, [](const LaunchRecord& r) { return r.started; }));
  EXPECT_EQ(nested.runningPrograms().size(), 2U);
}

struct KeyCase {
  const char* first;
  const char* second;
  bool same;
};

TEST(DatabaseKey, NamesOneDatabaseHoweverItsPathIsWritten) {
  const KeyCase cases[] = {
      {R"(C:\Data\Shop.mdb)", "c:/data/shop.MDB", true},
      {R"(C:\Data\Shop.mdb)", R"(C:\Data\Old\..\.\Shop.mdb)", true},
      {R"(\\Server\Share\Shop.mdb)", "//server/share//shop.mdb", true},
      {"/srv/Shop.mdb", "/srv/shop.mdb", false},  // POSIX names differ by case
      {"/srv/a/../Shop.mdb", "/srv//Shop.mdb", true},
      {"Shop.mdb", "./Shop.mdb", true},
      {"../Shop.mdb", "Shop.mdb", false},
      {R"(C:\Data\Shop.mdb)", R"(D:\Data\Shop.mdb)", false},
  };
  for (const KeyCase& c : cases) {
    Task first;
    first.DatabaseLocation = c.first;
    Task second;
    second.DatabaseLocation = c.second;
    EXPECT_EQ(databaseKey(first, 0) == databaseKey(second, 1), c.same)
        << c.first << " / " << c.second;
  }
  EXPECT_NE(databaseKey(Task{}, 0), databaseKey(Task{}, 1));  // no database: keyed by task
  EXPECT_EQ(databaseKey(Task{}, 4), databaseKey(Task{}, 4));
}

}  // namespace
}  // namespace kiv
