// The scheduler tells the world outside the journal wherever it journals: the
// system's log of each launch not started or missed and each failed program
// (with successes asked for, each start and each status 0 too), and the
// metrics file of every launch and end.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/scheduler.h"
#include "support/compiled_task.h"
#include "support/scheduler_fixture.h"

namespace kiv {
namespace {

using testing::compiledTask;
using testing::time;

struct Night : testing::ScheduledTasks {
  // Tasks 1 to 3 due at 02:00: task 1's program ends with status 3, task 2's
  // cannot be started, task 3's ends with status 0; task 4, due at 03:00, is
  // missed while the clock jumps to 04:00. Then Kiv ends.
  void liveTheNight(SystemLog* log, SuccessLogging successes) {
    for (int index = 0; index < 3; ++index) tasks[index] = compiledTask(index, "02:00:00");
    tasks[0].TaskName = "Compact orders";
    tasks[3] = compiledTask(3, "03:00:00");
    platform.startResults = {StartedProgram{101}, std::string("No such file or directory"),
                             StartedProgram{102}};
    scheduler.setSystemLog(log, successes);
    scheduler.setMetricsFile(&platform);
    scheduler.start();
    tickUntil("2026-12-10 02:00:01");
    scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 3, std::nullopt});
    scheduler.programEnded(102, {ProgramOutcome::Kind::Exited, 0, std::nullopt});
    platform.clock = time("2026-12-10 04:00:00");
    scheduler.tick();
    scheduler.stop();
  }

  // Each entry's kind and the start of its message, up to the schedule.
  std::vector<std::pair<SystemLogKind, std::string>> logged() const {
    std::vector<std::pair<SystemLogKind, std::string>> entries;
    for (const SystemLogEntry& entry : platform.systemLogged) {
      entries.emplace_back(entry.kind, entry.message.substr(0, entry.message.find(" of ")));
    }
    return entries;
  }
};

TEST(SchedulerSystemLog, FailuresAlwaysAndSuccessesWhenAskedReachTheSystemLog) {
  using Kind = SystemLogKind;
  struct Case {
    SuccessLogging successes;
    std::vector<std::pair<SystemLogKind, std::string>> expected;
  };
  const Case cases[] = {
      {SuccessLogging::Off,
       {{Kind::NotStarted, "Task 2"},
        {Kind::Failed, "Task 1 (Compact orders)"},
        {Kind::Missed, "Task 4"}}},
      {SuccessLogging::On,
       {{Kind::Started, "Task 1 (Compact orders)"},
        {Kind::NotStarted, "Task 2"},
        {Kind::Started, "Task 3"},
        {Kind::Failed, "Task 1 (Compact orders)"},
        {Kind::Succeeded, "Task 3"},
        {Kind::Missed, "Task 4"}}},
  };
  for (const Case& c : cases) {
    Night night;
    night.liveTheNight(&night.platform, c.successes);
    EXPECT_EQ(night.logged(), c.expected);
  }
}

TEST(SchedulerSystemLog, WithoutASystemLogOnlyTheJournalHearsOfFailures) {
  Night night;
  night.liveTheNight(nullptr, SuccessLogging::On);
  EXPECT_TRUE(night.platform.systemLogged.empty());
  EXPECT_EQ(night.launches().size(), 4U);
}

// Rewritten after each launch and end, and once for the launches a clock jump
// missed; the last text has every task's figures.
TEST(SchedulerMetrics, TheMetricsFileIsRewrittenAfterEachLaunchAndEnd) {
  Night night;
  night.liveTheNight(nullptr, SuccessLogging::Off);
  ASSERT_EQ(night.platform.metricsWritten.size(), 6U);
  const std::string& last = night.platform.metricsWritten.back();
  const std::string schedule = std::string("{schedule=\"") + testing::kScheduledFile + "\",";
  for (const std::string& line : {
           "kiv_launches_started_total" + schedule + "task=\"1\",name=\"Compact orders\"} 1",
           "kiv_launches_failed_total" + schedule + "task=\"1\",name=\"Compact orders\"} 1",
           "kiv_last_exit_status" + schedule + "task=\"1\",name=\"Compact orders\"} 3",
           "kiv_launches_failed_total" + schedule + "task=\"2\",name=\"\"} 1",
           "kiv_last_exit_status" + schedule + "task=\"3\",name=\"\"} 0",
           "kiv_launches_missed_total" + schedule + "task=\"4\",name=\"\"} 1",
           "kiv_metrics_written_timestamp_seconds " +
               std::to_string(testing::time("2026-12-10 04:00:00").time_since_epoch().count()),
       }) {
    EXPECT_NE(last.find(line + "\n"), std::string::npos) << line << "\n" << last;
  }
}

}  // namespace
}  // namespace kiv
