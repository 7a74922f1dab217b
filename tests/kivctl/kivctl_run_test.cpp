// "kivctl run" as a real process: real clock, real signals, real launches
// of the stand-in program.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "kivctl_process.h"
#include "local_time_text.h"
#include "posix/stand_in_record.h"
#include "schedule_files.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "wall_clock.h"

namespace kiv::testing {
namespace {

constexpr std::string_view kReady = "until SIGINT or SIGTERM.\n";

// "hh:mm:ss" two seconds from now, on the local clock kivctl reads.
std::string twoSecondsAhead() {
  return dateTimeText(ctl::localNow() + std::chrono::seconds{2}).substr(11);
}

class KivctlRun : public ::testing::Test {
 protected:
  // Task 4 launches the stand-in two seconds from now with `database`.
  void scheduleStandIn(bool closeAfterRunning) {
    TaskTable tasks;
    Task& task = tasks[3];
    task = compiledTask(3, twoSecondsAhead());
    task.AccessLocation = KIV_STAND_IN;
    task.DatabaseLocation = database.string();
    task.CloseAfterRunning = closeAfterRunning ? 1 : 0;
    tasks[9] = compiledTask(9, "12:30:?5");  // compiled, but not due now
    writeSchedule(schedule, tasks);
  }

  std::unique_ptr<KivctlProcess> start() {
    return std::make_unique<KivctlProcess>(
        std::vector<std::string>{"run", schedule.string()}, folder.path(),
        std::vector<std::string>{"KIV_STAND_IN_RECORD=" + record.string()});
  }

  // The arguments the stand-in was started with, once it has been.
  std::vector<std::string> launchedArguments() {
    const auto parsed = parseStandInRecord(waitForText(record, "end\n"));
    return parsed ? parsed->arguments : std::vector<std::string>{};
  }

  TempFolder folder;
  std::filesystem::path schedule = folder.path() / "nightly.kiv";
  std::filesystem::path record = folder.path() / "record";
  std::filesystem::path database = folder.path() / "orders.mdb";
};

TEST_F(KivctlRun, ATaskDueTwoSecondsAheadStartsTheProgram) {
  scheduleStandIn(false);
  const auto kivctl = start();

  EXPECT_EQ(launchedArguments(), (std::vector<std::string>{KIV_STAND_IN, database.string(), "/user",
                                                           "Admin", "/compact"}));
  const std::string out = waitForText(kivctl->outFile(), "(scheduled)\n");
  EXPECT_TRUE(out.starts_with("Last launch: task 4 @ ")) << out;
  EXPECT_TRUE(out.ends_with(" (scheduled)\n")) << out;

  kivctl->signal(SIGTERM);
  const Ending ending = kivctl->wait();
  EXPECT_TRUE(ending.exited);
  EXPECT_EQ(ending.status, 0);
  EXPECT_EQ(kivctl->out(), out) << "one launch, one status";
  const std::string err = kivctl->err();
  EXPECT_TRUE(err.ends_with(" Scheduling 2 compiled tasks of " + schedule.string() + " " +
                            std::string(kReady)))
      << err;
}

// The started program is kivctl's child until it ends; then kivctl reaps it,
// so no zombie is left while the scheduler goes on.
TEST_F(KivctlRun, TheStartedProgramIsReapedWhenItEnds) {
  scheduleStandIn(false);
  const auto kivctl = start();
  ASSERT_EQ(launchedArguments().size(), 5U);

  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds{20};
  while (!kivctl->children().empty() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds{20});
  }
  EXPECT_EQ(kivctl->children(), std::vector<pid_t>{});
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);
}

TEST_F(KivctlRun, ATaskThatClosesTheSchedulerEndsItAfterTheLaunch) {
  scheduleStandIn(true);
  const auto kivctl = start();

  const Ending ending = kivctl->wait();

  EXPECT_TRUE(ending.exited);
  EXPECT_EQ(ending.status, 0);
  EXPECT_EQ(launchedArguments().size(), 5U);
  const std::string out = kivctl->out();
  EXPECT_TRUE(out.starts_with("Last launch: task 4 @ ")) << out;
  EXPECT_EQ(std::ranges::count(out, '\n'), 1);
}

TEST_F(KivctlRun, StopSignalsEndItCleanly) {
  writeSchedule(schedule, TaskTable{});
  for (const int stop : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(stop);
    const auto kivctl = start();
    ASSERT_NE(waitForText(kivctl->errFile(), kReady).find(kReady), std::string::npos);

    kivctl->signal(stop);
    const Ending ending = kivctl->wait();

    EXPECT_TRUE(ending.exited) << "ended by signal " << ending.signal;
    EXPECT_EQ(ending.status, 0);
    EXPECT_EQ(kivctl->out(), "");
  }
}

TEST_F(KivctlRun, MessagesOfTheWindowBecomeLogLines) {
  TaskTable tasks;
  // Task 1 is shown on loading; stored as compiled without a database, it
  // fails compilation, which the window would say in a message box.
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation.clear();
  writeAll(schedule, oldLayoutFile(tasks, ScheduleLayout::FormatB));
  const auto kivctl = start();
  const std::string err = waitForText(kivctl->errFile(), kReady);
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  EXPECT_NE(err.find(" This schedule is from an old version of Kiv; conversion will be attempted."),
            std::string::npos)
      << err;
  EXPECT_NE(err.find(" The location of the database is required.\n"), std::string::npos) << err;
  EXPECT_EQ(std::ranges::count(err, '\n'), 3) << err;
}

}  // namespace
}  // namespace kiv::testing
