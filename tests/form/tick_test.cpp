#include <gtest/gtest.h>

#include "support/compiled_task.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using testing::commandLineOf;
using testing::compiledTask;
using testing::FakePlatform;
using testing::FormTest;

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
  return fromCivil({year, month, day, hour, minute, second});
}

std::string trimmedTip(const NotifyIconData& data) {
  return data.szTip.substr(0, data.szTip.find_last_not_of(' ') + 1);
}

class TickTest : public FormTest {
 protected:
  // Ticks once a second from `from` up to and including `to`.
  void tickThrough(LocalTime from, LocalTime to) {
    for (platform.clock = from; platform.clock <= to; platform.advance(std::chrono::seconds{1})) {
      form.Timer1_Timer();
      if (platform.ended) return;
    }
  }

  std::vector<std::pair<TrayOperation, std::string>> trayCalls() const {
    std::vector<std::pair<TrayOperation, std::string>> calls;
    for (const auto& [operation, data] : platform.trayCalls)
      calls.emplace_back(operation, trimmedTip(data));
    return calls;
  }
};

// A scheduler started 0.05 s into a due second first ticks at the next one:
// it examines the second it started in too. A launch of that second that a
// scheduler of the same schedule, ended just before, journalled is not made
// again; one of another schedule, another task or another second is no such.
TEST_F(TickTest, AStartWithinADueSecondLaunchesWhatWasNotLaunchedYet) {
  const auto journalled = [](int task, const char* at, const char* schedule, LaunchHow how) {
    LaunchRecord record;
    record.at = at;
    record.schedule = schedule;
    record.task = task;
    record.how = how;
    record.started = how != LaunchHow::Missed;
    return journalLine(record);
  };
  struct Case {
    const char* name;
    std::vector<std::string> journal;
    std::vector<std::string> launched;
  };
  const Case cases[] = {
      {"NothingJournalled", {}, {commandLineOf(2), commandLineOf(4)}},
      {"Task3LaunchedJustBefore",
       {journalled(3, "2026-12-07 02:00:00", "", LaunchHow::Scheduled)},
       {commandLineOf(4)}},
      {"BothLaunchedJustBefore",
       {journalled(3, "2026-12-07 02:00:00", "", LaunchHow::Scheduled),
        journalled(5, "2026-12-07 02:00:00", "", LaunchHow::Scheduled)},
       {}},
      {"OthersLaunched",
       {journalled(3, "2026-12-07 02:00:00", "/srv/other.kiv", LaunchHow::Scheduled),
        journalled(4, "2026-12-07 02:00:00", "", LaunchHow::Scheduled),
        journalled(3, "2026-12-06 02:00:00", "", LaunchHow::Scheduled),
        journalled(5, "2026-12-07 02:00:00", "", LaunchHow::Missed)},
       {commandLineOf(2), commandLineOf(4)}},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    MainForm form{platform};
    platform.journalLines = c.journal;
    platform.clock = at(2026, 12, 7, 2, 0, 0);
    form.Main();
    form.tasks[2] = compiledTask(2, "02:00:00");
    form.tasks[4] = compiledTask(4, "02:00:00");

    platform.clock = at(2026, 12, 7, 2, 0, 1);
    form.Timer1_Timer();
    EXPECT_EQ(platform.launches, c.launched) << c.name;

    // Later seconds are launched as ever.
    platform.launches.clear();
    form.tasks[2].LaunchAt = "02:00:02";
    platform.clock = at(2026, 12, 7, 2, 0, 2);
    form.Timer1_Timer();
    EXPECT_EQ(platform.launches, std::vector<std::string>{commandLineOf(2)}) << c.name;
  }
}

TEST_F(TickTest, CaptionShowsTitleAndTheUsersDateAndTime) {
  platform.clock = at(2026, 12, 7, 2, 0, 0);
  form.Timer1_Timer();
  EXPECT_EQ(form.KIV.caption(), "Kiv - 2026-12-07 02:00:00");
}

TEST_F(TickTest, TasksDueTogetherLaunchInIndexOrder) {
  form.tasks[4] = compiledTask(4, "02:00:00");
  form.tasks[2] = compiledTask(2, "02:00:00");
  form.fctnChange(false);

  tickThrough(at(2026, 12, 7, 1, 59, 58), at(2026, 12, 7, 2, 0, 2));

  EXPECT_EQ(platform.launches, (std::vector<std::string>{commandLineOf(2), commandLineOf(4)}));
  EXPECT_EQ(form.cmbTask.listIndex(), 4);
  EXPECT_EQ(
      trayCalls(),
      (std::vector<std::pair<TrayOperation, std::string>>{
          {TrayOperation::Modify, "Last launch: task 3 @ 07-Dec-2026 02:00:00 (scheduled)"},
          {TrayOperation::Modify, "Last launch: task 5 @ 07-Dec-2026 02:00:00 (scheduled)"}}));
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_FALSE(platform.ended);
}

TEST_F(TickTest, CloseAfterRunningEndsBeforeLaterTasks) {
  Task closing = compiledTask(1, "02:00:00");
  closing.CloseAfterRunning = 1;
  form.tasks[1] = closing;
  form.tasks[4] = compiledTask(4, "02:00:00");
  form.hook.HookWindow();

  tickThrough(at(2026, 12, 7, 2, 0, 0), at(2026, 12, 7, 2, 0, 0));

  EXPECT_EQ(platform.launches, std::vector<std::string>{commandLineOf(1)});
  EXPECT_TRUE(platform.ended);
  ASSERT_EQ(platform.trayCalls.size(), 1U);
  EXPECT_EQ(platform.trayCalls[0].first, TrayOperation::Delete);
  EXPECT_EQ(platform.windowHooks, (std::vector<bool>{true, false}));
}

TEST_F(TickTest, FailedStartStoresTheStatusButLeavesTheTipAndKeepsRunning) {
  Task closing = compiledTask(0, "02:00:00");
  closing.CloseAfterRunning = 1;
  form.tasks[0] = closing;
  platform.startResults.push_back(std::string("gone"));

  tickThrough(at(2026, 12, 7, 2, 0, 0), at(2026, 12, 7, 2, 0, 0));

  EXPECT_EQ(platform.launches.size(), 1U);
  EXPECT_EQ(trimmedTip(form.tray.TrayData),
            "Last launch: task 1 @ 07-Dec-2026 02:00:00 (scheduled)");
  EXPECT_TRUE(platform.trayCalls.empty());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(platform.ended);
}

TEST_F(TickTest, CompiledTaskWithAMissingFieldWarnsAndIsNotStarted) {
  Task broken = compiledTask(3, "02:00:00");
  broken.DatabaseLocation.clear();
  form.tasks[3] = broken;

  tickThrough(at(2026, 12, 7, 2, 0, 0), at(2026, 12, 7, 2, 0, 0));

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text, "The location of the database is required.");
  EXPECT_TRUE(platform.launches.empty());
  EXPECT_EQ(form.cmbTask.listIndex(), 3);
}

TEST_F(TickTest, UncompiledAndUnusableTasksNeverStart) {
  Task uncompiled = compiledTask(0, "02:00:00");
  uncompiled.Compiled = 0;
  form.tasks[0] = uncompiled;
  form.tasks[1] = compiledTask(1, "02:00:?0");
  form.tasks[2] = compiledTask(2, "ab:cd:ef");
  Task odd = compiledTask(3, "02:00:00");
  odd.Compiled = 2;
  form.tasks[3] = odd;

  tickThrough(at(2026, 12, 7, 0, 0, 0), at(2026, 12, 7, 3, 0, 0));

  EXPECT_TRUE(platform.launches.empty());
  EXPECT_EQ(form.cmbTask.listIndex(), 0);
}

TEST_F(TickTest, DayPatternDecidesTheDay) {
  form.tasks[0] = compiledTask(0, "02:00:00", 1);                   // weekdays only
  tickThrough(at(2026, 12, 5, 2, 0, 0), at(2026, 12, 5, 2, 0, 0));  // a Saturday
  EXPECT_TRUE(platform.launches.empty());
  tickThrough(at(2026, 12, 7, 2, 0, 0), at(2026, 12, 7, 2, 0, 0));  // a Monday
  EXPECT_EQ(platform.launches.size(), 1U);
}

TEST_F(TickTest, ChangingTheLaunchTimeOfACompiledTaskMovesItsNextLaunch) {
  form.tasks[0] = compiledTask(0, "02:00:00");
  form.cmbTask.setListIndex(0);
  form.TBox[kLaunchAtBox].setText("02:00:05");

  tickThrough(at(2026, 12, 7, 1, 59, 59), at(2026, 12, 7, 2, 0, 10));

  EXPECT_EQ(platform.launches.size(), 1U);
  EXPECT_EQ(trimmedTip(form.tray.TrayData),
            "Last launch: task 1 @ 07-Dec-2026 02:00:05 (scheduled)");
}

TEST_F(TickTest, LateTickExaminesTheSecondItSkippedAndARepeatedSecondIsNotExaminedAgain) {
  form.tasks[0] = compiledTask(0, "02:00:00");
  platform.clock = at(2026, 12, 7, 1, 59, 59);
  form.Timer1_Timer();
  platform.clock = at(2026, 12, 7, 2, 0, 1);  // 02:00:00 was never read
  form.Timer1_Timer();
  EXPECT_EQ(platform.launches.size(), 1U);

  platform.clock = at(2026, 12, 7, 2, 0, 0);  // the clock steps back
  form.Timer1_Timer();
  EXPECT_EQ(platform.launches.size(), 1U);
}

// Setting the clock wakes a tick at once, between the ticks of the seconds:
// one that reads a second examined already examines nothing, one that reads
// a new second examines it, and after a step back nothing is examined again.
TEST_F(TickTest, TicksWokenBySettingTheClockExamineEachSecondOnce) {
  form.tasks[0] = compiledTask(0, "02:00:00");
  form.tasks[1] = compiledTask(1, "02:00:01");
  form.tasks[2] = compiledTask(2, "03:00:00");
  const auto tickAt = [&](LocalTime reading) {
    platform.clock = reading;
    form.Timer1_Timer();
  };

  tickAt(at(2026, 12, 7, 2, 0, 0));
  tickAt(at(2026, 12, 7, 2, 0, 0));  // stepped back a few milliseconds: woken at once
  tickAt(at(2026, 12, 7, 2, 0, 1));
  tickAt(at(2026, 12, 7, 3, 0, 0));  // set an hour forward: woken at once
  tickAt(at(2026, 12, 7, 3, 0, 1));
  tickAt(at(2026, 12, 7, 2, 0, 1));  // set an hour back: woken at once
  tickThrough(at(2026, 12, 7, 2, 0, 2), at(2026, 12, 7, 2, 0, 5));

  EXPECT_EQ(platform.launches,
            (std::vector<std::string>{commandLineOf(0), commandLineOf(1), commandLineOf(2)}));
}

TEST_F(TickTest, ATickArrivingWhileAQuestionIsOpenLaunchesOnce) {
  form.tasks[5] = compiledTask(5, "02:00:00");
  platform.clock = at(2026, 12, 7, 2, 0, 0);
  platform.answers = {MessageAnswer::No};
  platform.duringNextQuestion = [&] {
    form.Timer1_Timer();
    form.Timer1_Timer();  // the same second read twice
  };

  form.mnuErase.press();

  EXPECT_EQ(platform.launches, std::vector<std::string>{commandLineOf(5)});
  EXPECT_EQ(form.cmbTask.listIndex(), 5);
}

// The window started with `value` stored under Kiv's settings at `section`
// and `key`, ticked once as tasks 1 and 2 fall due at 02:00.
void tickTwoTasksStoring(FakePlatform& platform, MainForm& form, const std::string& section,
                         const std::string& key, const std::string& value) {
  platform.settings[{"Kiv", section, key}] = value;
  platform.clock = at(2026, 12, 7, 1, 59, 59);
  form.Main();
  form.tasks[0] = compiledTask(0, "02:00:00");
  form.tasks[1] = compiledTask(1, "02:00:00");
  platform.advance(std::chrono::seconds{1});
  form.Timer1_Timer();
}

// The window writes failures to the system's log, and launches that went well
// only when its stored setting asks for them.
TEST(WindowSystemLog, SuccessesReachTheSystemLogOnlyWhenTheStoredSettingSaysSo) {
  struct Case {
    const char* stored;
    std::vector<SystemLogKind> expected;
  };
  const Case cases[] = {
      {"", {SystemLogKind::NotStarted}},
      {"0", {SystemLogKind::NotStarted}},
      {"1", {SystemLogKind::Started, SystemLogKind::NotStarted}},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    MainForm form{platform};
    platform.startResults = {StartedProgram{101}, std::string("No such file or directory")};
    tickTwoTasksStoring(platform, form, "SystemLog", "LogSuccesses", c.stored);

    std::vector<SystemLogKind> kinds;
    for (const SystemLogEntry& entry : platform.systemLogged) kinds.push_back(entry.kind);
    EXPECT_EQ(kinds, c.expected) << "stored \"" << c.stored << "\"";
  }
}

// The window rewrites the metrics file its stored setting names after each
// launch; one it cannot write is told once, and launches go on.
TEST(WindowMetrics, TheStoredSettingNamesTheMetricsFile) {
  const testing::TempFolder folder;
  struct Case {
    std::string file;
    bool written;
    std::size_t notifications;
  };
  const Case cases[] = {
      {(folder.path() / "kiv.prom").string(), true, 0},
      {(folder.path() / "no-such-folder" / "kiv.prom").string(), false, 1},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    MainForm form{platform};
    tickTwoTasksStoring(platform, form, "Metrics", "File", c.file);

    EXPECT_EQ(platform.launches.size(), 2U) << c.file;
    const std::string text = testing::fileText(c.file);
    EXPECT_EQ(text.find(R"(kiv_launches_started_total{schedule="",task="2",name=""} 1)") !=
                  std::string::npos,
              c.written)
        << text;
    EXPECT_EQ(platform.notifications.size(), c.notifications) << c.file;
  }
}

}  // namespace
}  // namespace kiv
