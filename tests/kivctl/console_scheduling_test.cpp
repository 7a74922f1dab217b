#include "console_scheduling.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "kivctl_process.h"
#include "os_services.h"
#include "posix/stand_in_record.h"
#include "support/compiled_task.h"
#include "support/failure_of.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using testing::TempFolder;

class ConsoleSchedulingTest : public ::testing::Test {
 protected:
  std::ostringstream out;
  std::ostringstream err;
  ConsoleScheduling console{out, err};
};

// "2026-12-10 02:00:00 " and the text, once.
void expectTimestampedLine(const std::string& written, const std::string& text) {
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)\n)");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(written, match, line)) << written;
  EXPECT_EQ(match[1], text);
}

TEST_F(ConsoleSchedulingTest, ANoteOfSeveralParagraphsIsStillOneLine) {
  console.note("Kiv - Kivander v7.0.0\r\n\r\nDatabase administration.\nEnd");
  expectTimestampedLine(err.str(), "Kiv - Kivander v7.0.0 Database administration. End");
  EXPECT_EQ(out.str(), "");
}

TEST_F(ConsoleSchedulingTest, ClockTextsAreFixedAndEnglish) {
  EXPECT_EQ(console.generalDateTime(fromCivil({2026, 12, 6, 15, 4, 5})), "2026-12-06 15:04:05");
  const std::vector<std::string> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(console.monthAbbreviation(month), months.at(static_cast<std::size_t>(month - 1)));
  }
}

TEST(ScheduleStorage, SavesOwnerOnlyAndRefusesToReadAPipe) {
  namespace fs = std::filesystem;
  TempFolder folder;
  const fs::path saved = folder.path() / "saved.kiv";
  const std::vector<std::uint8_t> bytes{1, 2, 3};
  ASSERT_EQ(testing::failureOf(scheduleStorage().replaceFile(saved, bytes)), std::nullopt);
  EXPECT_EQ(testing::readAll(saved), bytes);
  EXPECT_EQ(fs::status(saved).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  const fs::path pipe = folder.path() / "pipe.kiv";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const auto read = scheduleStorage().readFile(pipe, 100);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().number, file_error::kNotARegularFile);
}

// A start that fails is told once, by the scheduler's notification naming
// the task; the starter itself says nothing, so the command line (which may
// hold a password) never reaches the log.
TEST_F(ConsoleSchedulingTest, ANotificationIsATimestampedLineAndAFailedStartSaysNothingItself) {
  const StartResult result = console.startProcess(R"("/no/such/program" /pwd Sesame)");
  ASSERT_FALSE(result);
  EXPECT_EQ(err.str(), "");

  console.notify("Kiv", "Task 3 could not be started: " + result.error());
  expectTimestampedLine(err.str(), "Task 3 could not be started: " + result.error());
  EXPECT_EQ(out.str(), "");
}

// Each launch that started is a status line, the one that closes the
// scheduler too; a launch that did not start prints none. The launches go to
// a journal of the test's own.
class ConsoleSchedulerRun : public ConsoleSchedulingTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(::setenv("KIV_STAND_IN_RECORD", record.c_str(), 1), 0);
    ASSERT_EQ(::setenv("XDG_STATE_HOME", (folder.path() / "state").c_str(), 1), 0);
    for (const int index : {0, 1, 2}) {
      tasks[index] = testing::compiledTask(index, "12:00:00");
      tasks[index].AccessLocation = KIV_STAND_IN;
      tasks[index].DatabaseLocation =
          testing::standInDatabase(folder.path() / ("task" + std::to_string(index + 1) + ".mdb"));
    }
    tasks[1].AccessLocation = (folder.path() / "no-such-program").string();
    tasks[2].CloseAfterRunning = 1;
  }
  void TearDown() override {
    ::unsetenv("KIV_STAND_IN_RECORD");
    ::unsetenv("XDG_STATE_HOME");
  }

  TempFolder folder;
  std::filesystem::path record = folder.path() / "record";
  TaskTable tasks;
};

TEST_F(ConsoleSchedulerRun, EachStartedLaunchPrintsItsStatusAndTheClosingOneEndsTheRun) {
  Scheduler scheduler(tasks, console.ports(), console);
  ASSERT_TRUE(scheduler.runNow(0));
  EXPECT_FALSE(scheduler.runNow(1));
  ASSERT_TRUE(scheduler.runNow(2));
  EXPECT_FALSE(scheduler.closed()) << "Run now never closes the scheduler";

  const std::regex status(R"(Last launch: task (\d) @ \d\d-[A-Z][a-z]{2}-\d{4} )"
                          R"(\d\d:\d\d:\d\d \(on demand\)\n)");
  std::vector<std::string> tasksShown;
  const std::string printed = out.str();
  for (auto line = std::sregex_iterator(printed.begin(), printed.end(), status);
       line != std::sregex_iterator(); ++line) {
    tasksShown.push_back((*line)[1]);
  }
  EXPECT_EQ(tasksShown, (std::vector<std::string>{"1", "3"})) << printed;
  EXPECT_EQ(scheduler.runningPrograms().size(), 2U);
  testing::waitForText(record, "end\n");
  scheduler.stop();
  EXPECT_TRUE(scheduler.runningPrograms().empty());
  const auto journal = journalText();
  ASSERT_TRUE(journal);
  EXPECT_EQ(journalledLaunches(journal.value()).size(), 3U) << journal.value();
}

}  // namespace
}  // namespace kiv::ctl
