#include "convert_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "os_services.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_files.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using testing::TempFolder;

TEST(ConvertCommand, WritesEveryLayoutInTheCurrentOne) {
  for (const ScheduleLayout layout : {ScheduleLayout::FormatA, ScheduleLayout::FormatB}) {
    TempFolder folder;
    const auto in = folder.path() / "old.kiv";
    const auto out = folder.path() / "new.kiv";
    const TaskTable tasks = testing::variedTasks();
    testing::writeAll(in, testing::oldLayoutFile(tasks, layout));
    const auto before = readScheduleFile(in, ctl::scheduleStorage());
    ASSERT_TRUE(before);

    std::ostringstream err;
    EXPECT_EQ(convertCommand(in.string(), out.string(), err), 0);
    EXPECT_EQ(err.str(), "");

    // The same as the window writes after opening the old file in a fresh window.
    TaskTable expected;
    applyLoadedTasks(before.value(), expected);
    const TempFolder reference;
    testing::writeSchedule(reference.path() / "saved.kiv", expected);
    EXPECT_EQ(testing::readAll(out), testing::readAll(reference.path() / "saved.kiv"));
    EXPECT_EQ(std::filesystem::file_size(out), kCurrentFileLength);
  }
}

TEST(ConvertCommand, MayReplaceItsOwnInput) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  testing::writeAll(file, testing::oldLayoutFile(testing::variedTasks(), ScheduleLayout::FormatB));

  std::ostringstream err;
  EXPECT_EQ(convertCommand(file.string(), file.string(), err), 0);
  const auto converted = readScheduleFile(file, ctl::scheduleStorage());
  ASSERT_TRUE(converted);
  EXPECT_EQ(converted.value().layout, ScheduleLayout::Current);
  EXPECT_EQ(converted.value().tasks.at(19).TaskName, testing::variedTasks().at(19).TaskName);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"schedule.kiv"});
}

TEST(ConvertCommand, AWriteThatFailsKeepsTheTargetAndSaysWhy) {
  TempFolder folder;
  const auto in = folder.path() / "in.kiv";
  testing::writeSchedule(in, testing::variedTasks());
  const auto out = folder.path() / "no such folder" / "out.kiv";

  std::ostringstream err;
  EXPECT_EQ(convertCommand(in.string(), out.string(), err), 1);
  // One line: the target, then the system's own reason (its words differ
  // between systems).
  const std::string said = err.str();
  const std::string prefix = "kivctl: " + out.string() + ": ";
  EXPECT_TRUE(said.starts_with(prefix)) << said;
  EXPECT_GT(said.size(), prefix.size() + 1) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_TRUE(said.ends_with('\n')) << said;
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ConvertCommand, AnInputThatCannotBeReadWritesNothing) {
  TempFolder folder;
  const auto out = folder.path() / "out.kiv";
  std::ostringstream err;
  EXPECT_EQ(convertCommand((folder.path() / "missing.kiv").string(), out.string(), err), 1);
  EXPECT_EQ(err.str(), "kivctl: " + (folder.path() / "missing.kiv").string() +
                           ": 2: No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace kiv::ctl
