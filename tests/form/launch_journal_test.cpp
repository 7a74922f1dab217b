#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schedule_file/schedule_file_io.h"
#include "shell/launch_journal.h"
#include "support/compiled_task.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using std::chrono::milliseconds;
using testing::compiledTask;
using testing::FormTest;
using Kind = ProgramOutcome::Kind;

class LaunchJournalTest : public FormTest {
 protected:
  testing::TempFolder folder;

  // The schedule is opened as "/o nightly.kiv" names it, from its folder.
  void SetUp() override {
    Task task = compiledTask(2, "02:00:00");
    task.TaskName = "Nightly";
    task.Password = "Sesame";
    TaskTable tasks;
    tasks[2] = task;
    ASSERT_TRUE(writeScheduleFile(folder.path() / "nightly.kiv", tasks, platform.fileStorage(),
                                  platform.ansiCodePage()));
    platform.folder = (folder.path() / "schedules" / "..").string();
    platform.arguments = "/o nightly.kiv";
    FormTest::SetUp();
    ASSERT_EQ(form.tasks[2].TaskName, "Nightly");
    // Accepted file dialogs change the current folder: the name stays.
    platform.folder = "/";
  }

  // Ticks once at 02:00:00 on a day of December 2026, the 7th a Monday, when
  // task 3 is due.
  void tickAtTwo(int day = 7) {
    platform.clock = fromCivil({2026, 12, day, 2, 0, 0});
    form.Timer1_Timer();
  }

  std::vector<JournalRecord> journal() const {
    std::vector<JournalRecord> records;
    for (const std::string& line : platform.journalLines) {
      EXPECT_EQ(line.find("Sesame"), std::string::npos) << line;
      const auto record = parseJournalLine(line);
      EXPECT_TRUE(record) << line;
      if (record) records.push_back(*record);
    }
    return records;
  }

  LaunchRecord onlyLaunch() const {
    const auto records = journal();
    EXPECT_EQ(records.size(), 1U);
    return records.empty() ? LaunchRecord{} : std::get<LaunchRecord>(records.front());
  }

  static StartResult startedAs(ProcessId pid) { return StartedProgram{pid}; }

  // The schedule as the journal names it: the folder it was opened from and
  // its name, joined as the system joins paths.
  std::string journalledSchedule() const { return (folder.path() / "nightly.kiv").string(); }

  static constexpr const char* kMaskedLine =
      R"("/opt/db/access" "/srv/task3.mdb" /user Admin /pwd ******** /compact)";
};

TEST_F(LaunchJournalTest, AScheduledLaunchIsOneLineWithThePasswordMasked) {
  platform.startResults.push_back(startedAs(4242));
  tickAtTwo();

  LaunchRecord expected;
  expected.at = "2026-12-07 02:00:00";
  expected.schedule = journalledSchedule();
  expected.task = 3;
  expected.taskName = "Nightly";
  expected.how = LaunchHow::Scheduled;
  expected.commandLine = kMaskedLine;
  expected.started = true;
  expected.pid = 4242;
  expected.backup = "task3 2026-12-07 0200.mdb";  // a compact keeps a copy of the database
  EXPECT_EQ(onlyLaunch(), expected);
  EXPECT_NE(platform.launches.at(0).find("/pwd Sesame"), std::string::npos);
  EXPECT_TRUE(platform.notifications.empty());
}

// A failed scheduled start is journalled and shown as a notification naming
// the task: no question stops the tick, the tip keeps its text, and the tick
// goes on with the next task.
TEST_F(LaunchJournalTest, AFailedScheduledStartIsJournalledAndNotified) {
  form.tasks[7] = compiledTask(7, "02:00:00");
  platform.startResults.push_back(std::string("Cannot start \"/opt/db/access\": gone"));
  tickAtTwo();

  ASSERT_EQ(platform.launches.size(), 2U);
  const auto records = journal();
  ASSERT_EQ(records.size(), 2U);
  const auto& failed = std::get<LaunchRecord>(records[0]);
  EXPECT_FALSE(failed.started);
  EXPECT_EQ(failed.reason, "Cannot start \"/opt/db/access\": gone");
  EXPECT_EQ(failed.commandLine, kMaskedLine);
  EXPECT_TRUE(std::get<LaunchRecord>(records[1]).started);
  EXPECT_EQ(platform.notifications,
            (std::vector<std::pair<std::string, std::string>>{
                {"Kiv",
                 "Task 3 (Nightly) could not be started: Cannot start \"/opt/db/access\": "
                 "gone"}}));
  EXPECT_TRUE(platform.messages.empty());
}

struct UncomposableCase {
  const char* name;
  std::string Task::*field;
  std::string value;
  std::string reason;
};

class UncomposableTaskTest : public LaunchJournalTest,
                             public ::testing::WithParamInterface<UncomposableCase> {};

// The reason journalled is the one compiling gave when the tick showed the
// task, and no program starts: not even one a NUL would cut the line down to.
TEST_P(UncomposableTaskTest, ATaskWhoseCommandLineCannotBeComposedIsAFailedStart) {
  form.tasks[2].*GetParam().field = GetParam().value;
  tickAtTwo();

  EXPECT_TRUE(platform.launches.empty());
  const LaunchRecord record = onlyLaunch();
  EXPECT_FALSE(record.started);
  EXPECT_EQ(record.reason, GetParam().reason);
  EXPECT_EQ(record.commandLine, std::nullopt);
  ASSERT_EQ(platform.notifications.size(), 1U);
  EXPECT_EQ(platform.notifications[0].second,
            "Task 3 (Nightly) could not be started: " + GetParam().reason);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Fields, UncomposableTaskTest,
    ::testing::Values(
        UncomposableCase{"MissingDatabase", &Task::DatabaseLocation, "",
                         "The location of the database is required."},
        UncomposableCase{"NulInTheDatabase", &Task::DatabaseLocation, "/srv/orders\0-copy.mdb"s,
                         "The location of the database holds a NUL character, which cannot be "
                         "passed to a program."},
        UncomposableCase{"NulInTheProgram", &Task::AccessLocation,
                         "/opt/recargs\0/../../../../bin/false"s,
                         "The location of Access holds a NUL character, which cannot be passed "
                         "to a program."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LaunchJournalTest, RunNowIsJournalledOnDemandAndAFailureIsAMessageOnly) {
  form.cmbTask.setListIndex(2);
  platform.clock = fromCivil({2026, 12, 6, 15, 4, 5});
  form.cmdRun.press();
  platform.startResults.push_back(std::string("gone"));
  form.cmdRun.press();

  const auto records = journal();
  ASSERT_EQ(records.size(), 2U);
  for (const JournalRecord& record : records) {
    const auto& launch = std::get<LaunchRecord>(record);
    EXPECT_EQ(launch.how, LaunchHow::OnDemand);
    EXPECT_EQ(launch.at, "2026-12-06 15:04:05");
    EXPECT_EQ(launch.task, 3);
  }
  EXPECT_TRUE(std::get<LaunchRecord>(records[0]).started);
  EXPECT_FALSE(std::get<LaunchRecord>(records[1]).started);
  EXPECT_EQ(platform.messages.size(), 1U);
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(LaunchJournalTest, AProgramsEndIsJournalledAndAFailureNotified) {
  struct Case {
    ProgramOutcome outcome;
    const char* notification;  // none for a success
  };
  const Case cases[] = {
      {{Kind::Exited, 0, milliseconds{1500}}, nullptr},
      {{Kind::Exited, 2, milliseconds{1500}},
       "Task 3 (Nightly) failed: exit status 2 after 1.5 s."},
      {{Kind::Signalled, 9, milliseconds{75'000}},
       "Task 3 (Nightly) failed: ended by signal 9 after 1 min 15 s."},
  };
  ProcessId pid = 100;
  int day = 7;
  for (const Case& c : cases) {
    platform.journalLines.clear();
    platform.notifications.clear();
    platform.startResults.push_back(startedAs(++pid));
    tickAtTwo(++day);
    form.scheduler().programEnded(pid, c.outcome);

    const auto records = journal();
    ASSERT_EQ(records.size(), 2U);
    const std::string at = dateTimeText(fromCivil({2026, 12, day, 2, 0, 0}));
    EXPECT_EQ(
        std::get<EndedRecord>(records[1]),
        (EndedRecord{at, journalledSchedule(), 3, pid, c.outcome, "database intact (4.0 KB)", {}}));
    if (c.notification == nullptr) {
      EXPECT_TRUE(platform.notifications.empty());
    } else {
      EXPECT_EQ(platform.notifications,
                (std::vector<std::pair<std::string, std::string>>{{"Kiv", c.notification}}));
    }
    // Joined, the journal says how the launch went.
    std::string text;
    for (const std::string& line : platform.journalLines) text += line + "\n";
    const auto launches = journalledLaunches(text);
    ASSERT_EQ(launches.size(), 1U);
    EXPECT_EQ(launches[0].outcome, c.outcome);
  }
}

TEST_F(LaunchJournalTest, TheEndOfAProgramKivDidNotStartIsIgnored) {
  form.scheduler().programEnded(77, {Kind::Exited, 1, milliseconds{5}});
  platform.startResults.push_back(startedAs(78));
  tickAtTwo();
  form.scheduler().programEnded(78, {Kind::Exited, 0, milliseconds{5}});
  form.scheduler().programEnded(78, {Kind::Exited, 1, milliseconds{5}});  // told twice: once counts

  EXPECT_EQ(journal().size(), 2U);
  EXPECT_TRUE(platform.notifications.empty());
}

// A launch that closes the scheduler ends Kiv before its program: its outcome
// and that of any program still running is unknown.
TEST_F(LaunchJournalTest, WhenKivEndsFirstTheOutcomeIsUnknown) {
  form.tasks[1] = compiledTask(1, "01:00:00");
  form.tasks[2].CloseAfterRunning = 1;
  platform.startResults.push_back(startedAs(11));
  platform.startResults.push_back(startedAs(12));
  platform.clock = fromCivil({2026, 12, 7, 1, 0, 0});
  form.Timer1_Timer();
  tickAtTwo();
  ASSERT_TRUE(platform.ended);

  const auto records = journal();
  ASSERT_EQ(records.size(), 4U);
  std::vector<std::pair<ProcessId, std::string>> unknown;
  for (std::size_t i = 2; i < records.size(); ++i) {
    const auto& ended = std::get<EndedRecord>(records[i]);
    EXPECT_EQ(ended.outcome, ProgramOutcome{});
    unknown.emplace_back(ended.pid, ended.at);
  }
  EXPECT_EQ(unknown, (std::vector<std::pair<ProcessId, std::string>>{{11, "2026-12-07 01:00:00"},
                                                                     {12, "2026-12-07 02:00:00"}}));
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(LaunchJournalTest, AJournalThatCannotBeWrittenIsToldOnceAndStopsNoLaunch) {
  platform.journalFailure = "Permission denied: /home/me/.local/state/kiv/launches.jsonl";
  tickAtTwo();
  form.cmbTask.setListIndex(2);
  form.cmdRun.press();

  EXPECT_EQ(platform.launches.size(), 2U);
  const std::string told =
      "The launch journal could not be written: Permission denied: "
      "/home/me/.local/state/kiv/launches.jsonl. Launches go on without it.";
  EXPECT_EQ(platform.notifications,
            (std::vector<std::pair<std::string, std::string>>{{"Kiv", told}}));

  // Written again in between, a new failure is told again.
  platform.journalFailure.reset();
  form.cmdRun.press();
  platform.journalFailure = "No space left on device";
  form.cmdRun.press();
  EXPECT_EQ(platform.notifications.size(), 2U);
  EXPECT_EQ(platform.launches.size(), 4U);
}

TEST_F(LaunchJournalTest, AnUntitledScheduleIsJournalledWithoutAName) {
  form.mnuNew.press();
  form.tasks[2] = compiledTask(2, "02:00:00");
  tickAtTwo();
  EXPECT_EQ(onlyLaunch().schedule, "");
}

}  // namespace
}  // namespace kiv
