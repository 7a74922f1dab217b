// The forecast of next launches (kivctl next, kivctl export) against the
// real scheduler ticked through every second of random schedules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/scheduler.h"
#include "scheduler/date_time_text.h"
#include "scheduler/next_launches.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/written_launches.h"

namespace kiv {
namespace {

using testing::compiledTask;
using testing::time;
using testing::written;

// A launch time of any kind the file may hold: fixed, recurring, and texts
// the tick cannot use or uses in its own way.
std::string randomLaunchAt(std::mt19937& random) {
  auto pick = [&random](int size) {
    return std::uniform_int_distribution<int>(0, size - 1)(random);
  };
  auto two = [](int value) { return (value < 10 ? "0" : "") + std::to_string(value); };
  switch (pick(8)) {
    case 0:
    case 1:
    case 2:
      return two(pick(24)) + ":" + two(pick(60)) + ":" + two(pick(60));
    case 3:
    case 4:
    case 5:
      return two(pick(24)) + ":" + two(pick(60)) + ":?" + std::to_string(pick(10));
    case 6:
      return std::to_string(pick(10)) + ":" + two(pick(60)) + ":00";
    default: {
      const std::vector<std::string> odd{"24:00:?1", "12: 5:?2", "12:30:??", "12:3x:?5",
                                         "25:00:00", "",         "ab:cd:?3", "23:59:59"};
      return odd.at(static_cast<std::size_t>(pick(static_cast<int>(odd.size()))));
    }
  }
}

TaskTable randomSchedule(std::mt19937& random, bool mayClose) {
  auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
  TaskTable tasks;
  for (int index = 0; index < kTaskCount; ++index) {
    Task& task = tasks.at(index);
    task = compiledTask(index, randomLaunchAt(random),
                        static_cast<std::uint8_t>(
                            chance(0.1) ? 200 : std::uniform_int_distribution<int>(0, 13)(random)));
    task.Compiled = chance(0.75) ? 1 : 0;
    if (chance(0.1)) task.AccessLocation.clear();
    task.CloseAfterRunning = mayClose && chance(0.05) ? 1 : 0;
  }
  return tasks;
}

// The programs the scheduler started, in order, with whether each closed it.
class StartedLaunches final : public SchedulerEvents {
 public:
  void launchStarting(const LaunchNotice&) override {}
  void launchStarted(const LaunchNotice& notice) override {
    started.push_back({notice.taskIndex, notice.closesScheduler});
  }

  std::vector<std::pair<int, bool>> started;
};

// The scheduler ticked at every second of the range; each started launch
// with the second it was due, as the journal gives it.
std::vector<Launch> launchesOfTheScheduler(const TaskTable& tasks, LocalTime from,
                                           LocalTime until) {
  testing::FakePlatform platform;
  StartedLaunches events;
  Scheduler scheduler(tasks, {platform, platform, platform, platform, platform.databaseFiles()},
                      events);
  for (LocalTime second = from; second <= until && !scheduler.closed();
       second += std::chrono::seconds{1}) {
    platform.clock = second;
    scheduler.tick();
  }
  std::vector<Launch> launches;
  auto notice = events.started.begin();
  for (const std::string& line : platform.journalLines) {
    const auto record = parseJournalLine(line);
    const auto* launch = record ? std::get_if<LaunchRecord>(&*record) : nullptr;
    if (launch == nullptr || !launch->started) continue;
    EXPECT_NE(notice, events.started.end()) << line;
    if (notice == events.started.end()) break;
    EXPECT_EQ(notice->first, launch->task - 1) << line;
    launches.push_back({launch->task - 1, time(launch->at), notice->second});
    ++notice;
  }
  EXPECT_EQ(launches.size(), platform.launches.size());
  return launches;
}

TEST(ForecastLaunches, AgreesWithTheSchedulerTickedAtEverySecond) {
  // Starts around month ends and a leap day, so the month rules come into
  // play, at odd times of day, so the first day is partial.
  const std::vector<std::string> starts{"2026-05-28 13:17:42", "2026-07-31 00:00:00",
                                        "2026-10-29 23:59:59", "2028-02-27 06:00:01",
                                        "2026-12-30 08:30:00", "2027-02-26 17:45:13"};
  std::mt19937 random(20261210);
  for (std::size_t run = 0; run < starts.size(); ++run) {
    const TaskTable tasks = randomSchedule(random, run % 2 == 1);
    const LocalTime from = time(starts[run]);
    const LocalTime until = from + std::chrono::days{3} - std::chrono::seconds{1};

    const std::vector<Launch> expected = launchesOfTheScheduler(tasks, from, until);
    const Forecast forecast = forecastLaunches(tasks, {from, 1'000'000, until});

    EXPECT_FALSE(expected.empty()) << starts[run];
    EXPECT_EQ(written(forecast.launches), written(expected)) << starts[run];
    EXPECT_EQ(forecast.launches, expected) << starts[run];
  }
}

}  // namespace
}  // namespace kiv
