#include "scheduler/next_launches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scheduler/date_time_text.h"
#include "support/compiled_task.h"
#include "support/written_launches.h"
#include "support/zone_rules.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using testing::compiledTask;
using testing::time;
using testing::Written;
using testing::written;

struct ScheduledTask {
  int number;
  std::string launchAt;
  std::uint8_t days = kEveryDay;
};

struct Case {
  std::string name;
  std::vector<ScheduledTask> tasks;
  std::string from;
  std::size_t count;
  std::vector<Written> expected;
};

TEST(ForecastLaunches, FollowsTheRecurringAndDayRuleExamples) {
  const std::vector<Case> cases{
      {"every fourth hour from 08:30",
       {{1, "08:30:?4"}},
       "2026-12-10 00:00:00",
       5,
       {{1, "2026-12-10 08:30:00"},
        {1, "2026-12-10 12:30:00"},
        {1, "2026-12-10 16:30:00"},
        {1, "2026-12-10 20:30:00"},
        {1, "2026-12-11 08:30:00"}}},
      {"every sixth hour from midnight",
       {{2, "00:15:?6"}},
       "2026-12-10 06:15:01",
       3,
       {{2, "2026-12-10 12:15:00"}, {2, "2026-12-10 18:15:00"}, {2, "2026-12-11 00:15:00"}}},
      {"every hour",
       {{3, "00:00:?1"}},
       "2026-12-31 22:00:00",
       3,
       {{3, "2026-12-31 22:00:00"}, {3, "2026-12-31 23:00:00"}, {3, "2027-01-01 00:00:00"}}},
      {"once a day at 23:59",
       {{4, "23:59:?1"}},
       "2026-12-10 23:59:01",
       2,
       {{4, "2026-12-11 23:59:00"}, {4, "2026-12-12 23:59:00"}}},
      {"the start moment counts",
       {{5, "14:30:15"}},
       "2026-12-10 14:30:15",
       2,
       {{5, "2026-12-10 14:30:15"}, {5, "2026-12-11 14:30:15"}}},
      {"a refused but usable time",
       {{6, "7:30:00"}},
       "2026-12-10 08:00:00",
       1,
       {{6, "2026-12-11 07:30:00"}}},
      {"last day of month",
       {{7, "02:00:00", kLastDayOfMonth}},
       "2027-02-01 00:00:00",
       3,
       {{7, "2027-02-28 02:00:00"}, {7, "2027-03-31 02:00:00"}, {7, "2027-04-30 02:00:00"}}},
      {"last day of a leap February",
       {{7, "02:00:00", kLastDayOfMonth}},
       "2028-02-01 00:00:00",
       1,
       {{7, "2028-02-29 02:00:00"}}},
      {"first weekday after a month that begins on a weekend",
       {{8, "02:00:00", kFirstWeekdayOfMonth}},
       "2026-07-31 00:00:00",
       5,
       {{8, "2026-08-03 02:00:00"},
        {8, "2026-09-01 02:00:00"},
        {8, "2026-10-01 02:00:00"},
        {8, "2026-11-02 02:00:00"},
        {8, "2026-12-01 02:00:00"}}},
      {"last weekday before a month that ends on a weekend",
       {{9, "02:00:00", kLastWeekdayOfMonth}},
       "2026-05-01 00:00:00",
       6,
       {{9, "2026-05-29 02:00:00"},
        {9, "2026-06-30 02:00:00"},
        {9, "2026-07-31 02:00:00"},
        {9, "2026-08-31 02:00:00"},
        {9, "2026-09-30 02:00:00"},
        {9, "2026-10-30 02:00:00"}}},
      {"weekdays only, from a Saturday",
       {{10, "02:00:00", kWeekdaysOnly}},
       "2026-12-05 00:00:00",
       2,
       {{10, "2026-12-07 02:00:00"}, {10, "2026-12-08 02:00:00"}}},
      {"a recurring time on Sundays only",
       {{11, "22:10:?1", kSundayOnly}},
       "2026-12-07 00:00:00",
       3,
       {{11, "2026-12-13 22:10:00"}, {11, "2026-12-13 23:10:00"}, {11, "2026-12-20 22:10:00"}}},
      {"tasks due together in task order, then in time order",
       {{5, "02:00:00"}, {3, "02:00:00"}, {30, "01:59:59"}},
       "2026-12-10 00:00:00",
       4,
       {{30, "2026-12-10 01:59:59"},
        {3, "2026-12-10 02:00:00"},
        {5, "2026-12-10 02:00:00"},
        {30, "2026-12-11 01:59:59"}}},
  };
  for (const Case& c : cases) {
    TaskTable tasks;
    for (const ScheduledTask& task : c.tasks) {
      tasks.at(task.number - 1) = compiledTask(task.number - 1, task.launchAt, task.days);
    }
    const Forecast forecast = forecastLaunches(tasks, {time(c.from), c.count, std::nullopt});
    EXPECT_EQ(written(forecast.launches), c.expected) << c.name;
    EXPECT_TRUE(forecast.silentTasks.empty()) << c.name;
  }
}

TEST(ForecastLaunches, StopsAfterTheLastLaunchAtOrBeforeUntil) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "00:00:?6");
  const Forecast forecast =
      forecastLaunches(tasks, {time("2026-12-10 00:00:00"), 100, time("2026-12-10 12:00:00")});
  EXPECT_EQ(written(forecast.launches), (std::vector<Written>{{1, "2026-12-10 00:00:00"},
                                                              {1, "2026-12-10 06:00:00"},
                                                              {1, "2026-12-10 12:00:00"}}));

  EXPECT_TRUE(
      forecastLaunches(tasks, {time("2026-12-10 00:00:01"), 100, time("2026-12-10 05:59:59")})
          .launches.empty());
}

TEST(ForecastLaunches, ATaskThatClosesTheSchedulerIsTheLastLaunch) {
  TaskTable tasks;
  tasks[1] = compiledTask(1, "02:00:00");
  tasks[1].CloseAfterRunning = 1;
  tasks[4] = compiledTask(4, "02:00:00");
  tasks[0] = compiledTask(0, "01:00:00");
  // The grey state of the box does not close the scheduler.
  tasks[0].CloseAfterRunning = 2;

  const Forecast forecast =
      forecastLaunches(tasks, {time("2026-12-10 00:00:00"), 10, std::nullopt});

  EXPECT_EQ(forecast.launches, (std::vector<Launch>{{0, time("2026-12-10 01:00:00"), false},
                                                    {1, time("2026-12-10 02:00:00"), true}}));
}

TEST(ForecastLaunches, NamesCompiledTasksThatNeverLaunchAndIgnoresOthers) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "12:30:?0");
  tasks[1] = compiledTask(1, "02:00:00");
  tasks[1].Action = 1;  // a macro without its name fails compilation when shown
  tasks[2] = compiledTask(2, "12:30:??");
  tasks[3] = compiledTask(3, "garbage");
  tasks[3].Compiled = 0;  // not scheduled, so not looked at
  tasks[4] = compiledTask(4, "03:00:00");

  const Forecast forecast = forecastLaunches(tasks, {time("2026-12-10 00:00:00"), 1, std::nullopt});

  EXPECT_EQ(written(forecast.launches), (std::vector<Written>{{5, "2026-12-10 03:00:00"}}));
  ASSERT_EQ(forecast.silentTasks.size(), 3U);
  EXPECT_EQ(forecast.silentTasks[0].taskIndex, 0);
  EXPECT_EQ(forecast.silentTasks[0].reason, "its interval is 0 hours");
  EXPECT_EQ(forecast.silentTasks[1].taskIndex, 1);
  EXPECT_EQ(forecast.silentTasks[1].reason,
            "showing it fails compilation: A macro name is required.");
  EXPECT_EQ(forecast.silentTasks[2].taskIndex, 2);
  EXPECT_EQ(forecast.silentTasks[2].reason, "its interval \"?\" is not a digit");
}

TEST(ForecastLaunches, NothingCompiledMeansNoLaunch) {
  const Forecast forecast =
      forecastLaunches(TaskTable{}, {time("2026-12-10 00:00:00"), 10, std::nullopt});
  EXPECT_TRUE(forecast.launches.empty());
  EXPECT_TRUE(forecast.silentTasks.empty());
}

// With the zone's rules, launches fall where the tick makes them around the
// changes of daylight saving.
TEST(ForecastLaunches, PutsALaunchOfTheSkippedHourWhereItWillHappen) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:30:00");
  tasks[1] = compiledTask(1, "00:30:?1");
  tasks[2] = compiledTask(2, "03:00:00");
  const LocalTime from = time("2027-03-28 01:00:00");
  const LocalTime until = time("2027-03-28 03:30:00");

  const Forecast forecast = forecastLaunches(tasks, {from, 100, until, &testing::berlin2027()});

  EXPECT_EQ(written(forecast.launches), (std::vector<Written>{{2, "2027-03-28 01:30:00"},
                                                              {1, "2027-03-28 03:00:00"},
                                                              {3, "2027-03-28 03:00:00"},
                                                              {2, "2027-03-28 03:30:00"}}));
  EXPECT_EQ(forecast.launches[1].skippedDueAt, time("2027-03-28 02:30:00"));
  EXPECT_FALSE(forecast.launches[2].skippedDueAt);

  // Without the rules, local time runs evenly.
  EXPECT_EQ(written(forecastLaunches(tasks, {from, 100, until}).launches),
            (std::vector<Written>{{2, "2027-03-28 01:30:00"},
                                  {1, "2027-03-28 02:30:00"},
                                  {2, "2027-03-28 02:30:00"},
                                  {3, "2027-03-28 03:00:00"},
                                  {2, "2027-03-28 03:30:00"}}));
}

TEST(ForecastLaunches, TheRepeatedHourAndOtherDaysAreUntouched) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "01:30:00");
  tasks[1] = compiledTask(1, "00:30:?1");
  const Forecast forecast = forecastLaunches(
      tasks, {time("2027-11-07 00:00:00"), 4, std::nullopt, &testing::newYork2027()});
  EXPECT_EQ(written(forecast.launches), (std::vector<Written>{{2, "2027-11-07 00:30:00"},
                                                              {1, "2027-11-07 01:30:00"},
                                                              {2, "2027-11-07 01:30:00"},
                                                              {2, "2027-11-07 02:30:00"}}));
}

TEST(NextLaunches, CountingGoesOnPastALaunchThatClosesTheScheduler) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].CloseAfterRunning = 1;
  NextLaunches next(tasks, time("2026-12-10 00:00:00"), nullptr, AfterClosing::GoOn);
  EXPECT_TRUE(next.next()->endsScheduler);
  ASSERT_TRUE(next.next());
  EXPECT_EQ(next.next()->at, time("2026-12-12 02:00:00"));
}

}  // namespace
}  // namespace kiv
