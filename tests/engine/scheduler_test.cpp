// The scheduler driven alone, as kivctl run drives it, through one day with
// recurring and fixed tasks, the hour the start of daylight saving skips and
// a clock that jumps; and the window driven through the same day, which must
// launch and journal exactly the same.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/scheduler.h"
#include "form/main_form.h"
#include "schedule_file/schedule_file_io.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"
#include "support/zone_rules.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using testing::compiledTask;
using testing::FakePlatform;
using testing::utc;

// 28 March 2027 in Berlin, a Sunday: 02:00 becomes 03:00.
TaskTable dayOfTasks() {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "00:15:?2");  // every other hour; 02:15 never comes
  tasks[1] = compiledTask(1, "02:30:00");  // in the skipped hour: made up at 03:00
  tasks[2] = compiledTask(2, "12:00:00");  // compiling refuses it: journalled, not started
  tasks[2].TaskName = "Invalid";
  tasks[2].DatabaseLocation.clear();
  tasks[3] = compiledTask(3, "18:00:00");  // while the computer slept: missed
  tasks[4] = compiledTask(4, "23:00:00");  // closes the scheduler
  tasks[4].CloseAfterRunning = 1;
  tasks[5] = compiledTask(5, "23:30:00");  // after the close: never
  tasks[6] = compiledTask(6, "09:00:00", static_cast<std::uint8_t>(kWeekdaysOnly));
  tasks[7] = compiledTask(7, "10:00:00");
  tasks[7].Compiled = 0;
  return tasks;
}

// What the day leaves behind, whoever drove the scheduler.
struct DayRecord {
  std::vector<std::string> launches;
  std::vector<std::string> journalLines;
  std::vector<std::pair<std::string, std::string>> notifications;
};

// Ticks once a real second from local midnight to the end of the day, as
// Berlin's clock shows it, except while the computer sleeps from 17:00:00 to
// 19:00:30. The first launch's program (process 101) ends with status 1 at
// 00:20.
DayRecord liveTheDay(FakePlatform& platform, const std::function<void()>& tick,
                     Scheduler& scheduler) {
  platform.zone = &testing::berlin2027();
  platform.startResults.push_back(StartedProgram{101});
  const auto midnight = utc(2027, 3, 27, 23);
  const auto sleeps = utc(2027, 3, 28, 15);  // 17:00:00 CEST
  const auto wakes = utc(2027, 3, 28, 17, 0, 30);
  const auto programEnds = midnight + minutes{20};
  for (auto instant = midnight; instant < utc(2027, 3, 28, 22); instant += seconds{1}) {
    if (instant > sleeps && instant < wakes) continue;
    platform.setUtc(instant);
    tick();
    if (instant == programEnds) {
      scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, 1, minutes{5}});
    }
  }
  return {platform.launches, platform.journalLines, platform.notifications};
}

// The scheduler's events, as kivctl run would print them.
class RecordedEvents final : public SchedulerEvents {
 public:
  void launchStarting(const LaunchNotice& notice) override {
    seen.push_back("starting task " + std::to_string(notice.taskIndex + 1));
  }
  void launchStarted(const LaunchNotice& notice) override {
    seen.push_back(notice.status + (notice.closesScheduler ? " closes" : ""));
  }

  std::vector<std::string> seen;
};

// One journalled launch: task, how, at, dueAt, started, reason.
struct Journalled {
  int task;
  LaunchHow how;
  std::string at;
  std::string dueAt;
  bool started;

  friend bool operator==(const Journalled&, const Journalled&) = default;
};

void PrintTo(const Journalled& j, std::ostream* os) {
  *os << "task " << j.task << " " << launchHowName(j.how) << " at " << j.at << " due '" << j.dueAt
      << "'" << (j.started ? " started" : "");
}

std::vector<Journalled> launchesIn(const std::vector<std::string>& lines) {
  std::vector<Journalled> launches;
  for (const std::string& line : lines) {
    const auto record = parseJournalLine(line);
    EXPECT_TRUE(record) << line;
    if (const auto* launch = record ? std::get_if<LaunchRecord>(&*record) : nullptr) {
      launches.push_back({launch->task, launch->how, launch->at.substr(11),
                          launch->dueAt.empty() ? "" : launch->dueAt.substr(11), launch->started});
    }
  }
  return launches;
}

// The scheduler alone, as kivctl run drives it, on a platform of its own.
class SchedulerDay : public ::testing::Test {
 protected:
  void SetUp() override { scheduler.setSchedule(schedule); }

  DayRecord liveTheDayAlone() {
    return liveTheDay(
        alone, [this] { scheduler.tick(); }, scheduler);
  }

  testing::TempFolder folder;
  std::string schedule = (folder.path() / "day.kiv").string();
  const TaskTable tasks = dayOfTasks();
  FakePlatform alone;
  RecordedEvents events;
  Scheduler scheduler{tasks, {alone, alone, alone, alone, alone.databaseFiles()}, events};
};

TEST_F(SchedulerDay, AloneItLaunchesJournalsAndNotifiesTheWholeDay) {
  const DayRecord day = liveTheDayAlone();

  using enum LaunchHow;
  const std::vector<Journalled> expected{
      {1, Scheduled, "00:15:00", "", true},  {2, AfterSkippedHour, "03:00:00", "02:30:00", true},
      {1, Scheduled, "04:15:00", "", true},  {1, Scheduled, "06:15:00", "", true},
      {1, Scheduled, "08:15:00", "", true},  {1, Scheduled, "10:15:00", "", true},
      {3, Scheduled, "12:00:00", "", false}, {1, Scheduled, "12:15:00", "", true},
      {1, Scheduled, "14:15:00", "", true},  {1, Scheduled, "16:15:00", "", true},
      {4, Missed, "18:00:00", "", false},    {1, Missed, "18:15:00", "", false},
      {1, Scheduled, "20:15:00", "", true},  {1, Scheduled, "22:15:00", "", true},
      {5, Scheduled, "23:00:00", "", true},
  };
  EXPECT_EQ(launchesIn(day.journalLines), expected);
  EXPECT_EQ(day.launches.size(), 12U);
  EXPECT_EQ(day.launches.back(), testing::commandLineOf(4));

  // The ended program, the start compiling refused, and nothing else.
  EXPECT_EQ(day.notifications,
            (std::vector<std::pair<std::string, std::string>>{
                {"Kiv", "Task 1 failed: exit status 1 after 5 min 0 s."},
                {"Kiv",
                 "Task 3 (Invalid) could not be started: The location of the database is "
                 "required."}}));
  for (const std::string& line : day.journalLines) {
    EXPECT_NE(line.find(R"("schedule":")" + schedule + "\""), std::string::npos) << line;
  }
  ASSERT_FALSE(events.seen.empty());
  EXPECT_EQ(events.seen.back(), "Last launch: task 5 @ 28-Mar-2027 23:00:00 (scheduled) closes");
  EXPECT_EQ(events.seen.front(), "starting task 1");
  EXPECT_TRUE(scheduler.closed());
}

TEST_F(SchedulerDay, TheWindowLaunchesAndJournalsTheSameDay) {
  const DayRecord byEngine = liveTheDayAlone();

  FakePlatform platform;
  ASSERT_TRUE(writeScheduleFile(schedule, tasks, platform.fileStorage(), platform.ansiCodePage()));
  platform.arguments = "/o " + schedule;
  MainForm form(platform);
  form.Form_Load();
  // Showing task 1 on loading; nothing else is said.
  ASSERT_TRUE(platform.messages.empty());
  const DayRecord byWindow = liveTheDay(
      platform, [&form] { form.Timer1_Timer(); }, form.scheduler());

  EXPECT_EQ(byWindow.launches, byEngine.launches);
  EXPECT_EQ(byWindow.journalLines, byEngine.journalLines);
  EXPECT_EQ(byWindow.notifications, byEngine.notifications);
  EXPECT_TRUE(platform.ended) << "the task that closes the scheduler ends the window program";
}

}  // namespace
}  // namespace kiv
