#include "check_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "schedule_files.h"
#include "schedule_source.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using testing::compiledTask;
using testing::TempFolder;

TEST(ScheduleProblems, CompiledTasksAreCheckedAsCompilingAndTheLaunchTimeCheckWould) {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");  // sound
  tasks[1] = compiledTask(1, "7:30:00");
  tasks[2] = compiledTask(2, "12:30:?0");
  tasks[3] = compiledTask(3, "12:30:??");
  tasks[4] = compiledTask(4, "02:00:00");
  tasks[4].Username.clear();
  tasks[4].Password = "secret";
  tasks[5] = compiledTask(5, "25:00:00");
  tasks[5].Action = 1;
  tasks[5].AccessLocation.clear();
  tasks[6] = compiledTask(6, "garbage");
  tasks[6].Compiled = 0;  // only compiled tasks are scheduled, so only they are checked

  EXPECT_EQ(scheduleProblems(tasks),
            (std::vector<std::string>{
                "task 2: launch time \"7:30:00\": Enter the time in hh:mm:ss format.",
                "task 3: launch time \"12:30:?0\": The final digit of the time cannot be 0 for "
                "recurring tasks.",
                "task 4: launch time \"12:30:??\" is never due: its interval \"?\" is not a digit",
                "task 5: A username is required.",
                "task 6: A macro name is required.",
                "task 6: launch time \"25:00:00\": Enter the time in hh:mm:ss format.",
            }));
}

TEST(CheckCommand, PrintsEachProblemAfterTheFileAndFailsWhenThereIsOne) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation = testing::standInDatabase(folder.path() / "orders.mdb");
  testing::writeSchedule(file, tasks);

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(checkCommand(file.string(), out, err), 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");

  tasks[7] = compiledTask(7, "12:30:?0");
  tasks[7].DatabaseLocation = tasks[0].DatabaseLocation;
  testing::writeSchedule(file, tasks);
  EXPECT_EQ(checkCommand(file.string(), out, err), 1);
  EXPECT_EQ(out.str(), file.string() +
                           ": task 8: launch time \"12:30:?0\": The final digit of the time "
                           "cannot be 0 for recurring tasks.\n");
  EXPECT_EQ(err.str(), "");
}

// A compact, repair or decompile that could not start now is told as a
// warning; the schedule itself is sound, so the status stays a success.
TEST(CheckCommand, WarnsOfADatabaseACompactCouldNotRewriteNow) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation = (folder.path() / "gone.mdb").string();
  tasks[1] = compiledTask(1, "02:00:00");
  tasks[1].DatabaseLocation = folder.path().string();
  tasks[2] = compiledTask(2, "02:00:00");
  tasks[2].DatabaseLocation = tasks[0].DatabaseLocation;
  tasks[2].Action = kMacro;  // a macro rewrites nothing
  tasks[2].Macro = "Export";
  testing::writeSchedule(file, tasks);

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(checkCommand(file.string(), out, err), 0);
  EXPECT_EQ(out.str(), file.string() + ": task 1: warning: cannot use the database " +
                           tasks[0].DatabaseLocation + ": No such file or directory\n" +
                           file.string() + ": task 2: warning: cannot use the database " +
                           tasks[1].DatabaseLocation + ": Is a directory\n");
  EXPECT_EQ(std::filesystem::exists(folder.path() / "Kiv backups"), false)
      << "looking makes nothing";
}

// A schedule file is binary: a text read from it may hold a NUL, which the
// program would never receive.
TEST(CheckCommand, ACompiledTaskWhoseTextHoldsANulFails) {
  using namespace std::string_literals;
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation = "/srv/orders\0-copy.mdb"s;
  testing::writeSchedule(file, tasks);

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(checkCommand(file.string(), out, err), 1);
  EXPECT_EQ(out.str(), file.string() +
                           ": task 1: The location of the database holds a NUL character, which "
                           "cannot be passed to a program.\n");
}

// The window reads a short file as a schedule with the rest empty; kivctl
// tells that it is none, for it is likely a damaged or truncated copy.
TEST(CheckCommand, AFileOfNoLayoutsLengthIsNoCompleteSchedule) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  const std::size_t lengths[] = {0, 100, 53634, 1234567};
  const char* const shown[] = {"0", "100", "53,634", "1,234,567"};
  for (std::size_t i = 0; i < std::size(lengths); ++i) {
    testing::writeAll(file, std::vector<std::uint8_t>(lengths[i], 0));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(checkCommand(file.string(), out, err), 1) << lengths[i];
    EXPECT_EQ(out.str(), file.string() + ": not a complete schedule: " + shown[i] +
                             " bytes; a schedule is 53,633 bytes, or 33,153 / 35,713 for the "
                             "older layouts\n");
    EXPECT_EQ(err.str(), "");
  }
  // Every layout's length is complete: the new one, and the two older ones.
  for (const std::size_t length : {53633U, 33153U, 35713U}) {
    testing::writeAll(file, std::vector<std::uint8_t>(length, 0));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(checkCommand(file.string(), out, err), 0) << length;
    EXPECT_EQ(out.str(), "") << length;
  }
}

// list, next, run, export and convert go on with what the file holds, and
// say what it is.
TEST(ScheduleSource, AFileOfNoLayoutsLengthIsLoadedWithAWarning) {
  TempFolder folder;
  const auto file = folder.path() / "short.kiv";
  testing::writeAll(file, std::vector<std::uint8_t>(100, 0));
  std::ostringstream err;
  const std::optional<Schedule> schedule = loadScheduleWarning(file.string(), err);
  ASSERT_TRUE(schedule.has_value());
  EXPECT_EQ(err.str(), "kivctl: " + file.string() +
                           ": not a complete schedule: 100 bytes; a schedule is 53,633 bytes, or "
                           "33,153 / 35,713 for the older layouts\n");
}

TEST(CheckCommand, AFileThatCannotBeReadIsOneLineAndAFailure) {
  TempFolder folder;
  const auto file = folder.path() / "bad.kiv";
  // A text slot whose length says more than a slot holds.
  testing::writeAll(file, {0xFF, 0x00});

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(checkCommand(file.string(), out, err), 1);
  EXPECT_EQ(out.str(), "");
  const std::string line = err.str();
  EXPECT_TRUE(line.starts_with("kivctl: " + file.string() + ": 1010: ")) << line;
  EXPECT_EQ(std::ranges::count(line, '\n'), 1);
}

}  // namespace
}  // namespace kiv::ctl
