#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"
#include "support/failure_of.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;
using testing::failureOf;
using testing::readAll;
using testing::TempFolder;
using testing::writeAll;
using Bytes = std::vector<std::uint8_t>;

// The storage of the window program as the core sees it; saving through the
// real storages is tested with each of them.
testing::FakeFileStorage storage;

TEST(ScheduleFileIo, SavesAndOpensTheWholeTable) {
  TempFolder folder;
  const fs::path file = folder.path() / "nightly.kiv";
  TaskTable tasks;
  tasks[12].TaskName = "Compact orders";
  tasks[12].Password = "s\u00E9cret";
  tasks[12].Compiled = 1;

  ASSERT_EQ(failureOf(writeScheduleFile(file, tasks, storage)), std::nullopt);
  EXPECT_EQ(fs::file_size(file), 53633u);

  const FileResult<LoadedSchedule> loaded = readScheduleFile(file, storage);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value().layout, ScheduleLayout::Current);
  ASSERT_EQ(loaded.value().tasks.size(), 30u);
  EXPECT_EQ(loaded.value().tasks[12].TaskName, "Compact orders");
  EXPECT_EQ(loaded.value().tasks[12].Password, "s\u00E9cret");
  EXPECT_EQ(loaded.value().tasks[12].Compiled, 1);
  EXPECT_EQ(loaded.value().tasks[13].Username, "Admin");
}

TEST(ScheduleFileIo, ATextTooLongInTheLastTaskLeavesTheOldFileAlone) {
  TempFolder folder;
  const fs::path file = folder.path() / "nightly.kiv";
  const Bytes oldBytes = encodeSchedule(TaskTable{}).value();
  writeAll(file, oldBytes);
  TaskTable tasks;
  tasks[0].TaskName = "changed";
  tasks[29].AccessLocation = std::string(127, 'a');

  const std::optional<FileError> failure = failureOf(writeScheduleFile(file, tasks, storage));

  EXPECT_EQ(failure, (FileError{1022,
                                "Task 30, AccessLocation: the text takes 127 bytes; a field "
                                "holds at most 126."}));
  EXPECT_EQ(readAll(file), oldBytes);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"nightly.kiv"});
}

TEST(ScheduleFileIo, ReadsOnlyTheStartOfAnOversizedFile) {
  TempFolder folder;
  const fs::path file = folder.path() / "big.kiv";
  TaskTable tasks;
  tasks[29].Compiled = 1;
  Bytes bytes = encodeSchedule(tasks).value();
  bytes.resize(1 << 20, 0xEE);
  writeAll(file, bytes);

  const FileResult<LoadedSchedule> loaded = readScheduleFile(file, storage);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value().layout, ScheduleLayout::Current);
  EXPECT_EQ(loaded.value().tasks[29].Compiled, 1);
}

TEST(ScheduleFileIo, OpeningAMissingFileGivesTheSystemsFailure) {
  TempFolder folder;
  const FileResult<LoadedSchedule> loaded = readScheduleFile(folder.path() / "gone.kiv", storage);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error().number,
            std::make_error_code(std::errc::no_such_file_or_directory).value());
}

}  // namespace
}  // namespace kiv
