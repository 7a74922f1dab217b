#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "schedule_file/file_storage.h"
#include "support/failure_of.h"
#include "support/temp_folder.h"

namespace kiv::testing {

// What every system's FileStorage does, with real files: a typed suite that
// the tests of each system instantiate with their storage.
template <typename Storage>
class FileStorageContract : public ::testing::Test {
 protected:
  using Bytes = std::vector<std::uint8_t>;

  FileStorageContract() { writeAll(target, oldBytes); }

  // The old file is byte for byte what it was and nothing else is in the folder.
  void expectOldFileUntouched() {
    EXPECT_EQ(readAll(target), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"tasks.kiv"});
  }

  Storage storage;
  TempFolder folder;
  std::filesystem::path target = folder.path() / "tasks.kiv";
  Bytes oldBytes{'o', 'l', 'd', 0, 0xFF};
  Bytes newBytes = Bytes(53633, 0x5A);
};

TYPED_TEST_SUITE_P(FileStorageContract);

TYPED_TEST_P(FileStorageContract, WritesANewFileAndNothingElse) {
  std::filesystem::remove(this->target);
  ASSERT_EQ(failureOf(this->storage.replaceFile(this->target, this->newBytes)), std::nullopt);
  EXPECT_EQ(readAll(this->target), this->newBytes);
  EXPECT_EQ(this->folder.names(), std::vector<std::string>{"tasks.kiv"});
}

TYPED_TEST_P(FileStorageContract, ReplacesTheOldFileWhole) {
  const std::vector<std::uint8_t> shorter(100, 0x11);
  ASSERT_EQ(failureOf(this->storage.replaceFile(this->target, this->newBytes)), std::nullopt);
  ASSERT_EQ(failureOf(this->storage.replaceFile(this->target, shorter)), std::nullopt);
  EXPECT_EQ(readAll(this->target), shorter);
  EXPECT_EQ(this->folder.names(), std::vector<std::string>{"tasks.kiv"});
}

TYPED_TEST_P(FileStorageContract, FailsForAFolderThatDoesNotExist) {
  const std::optional<FileError> failure = failureOf(
      this->storage.replaceFile(this->folder.path() / "missing" / "tasks.kiv", this->newBytes));
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->number, 0);
  EXPECT_FALSE(failure->description.empty());
  this->expectOldFileUntouched();
}

TYPED_TEST_P(FileStorageContract, FailsInAReadOnlyFolderAndLeavesTheOldFileAsItWas) {
  namespace fs = std::filesystem;
  fs::permissions(this->folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(this->folder.path() / "probe")) {
    fs::remove(this->folder.path() / "probe");
    GTEST_SKIP() << "this user may write into read-only folders (an administrator)";
  }
  const std::optional<FileError> failure =
      failureOf(this->storage.replaceFile(this->target, this->newBytes));
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->description.empty());
  this->expectOldFileUntouched();
}

TYPED_TEST_P(FileStorageContract, ReadsUpToTheLimit) {
  std::vector<std::uint8_t> bytes(20000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  writeAll(this->target, bytes);

  const auto whole = this->storage.readFile(this->target, 53634);
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(whole.value(), bytes);
  const auto start = this->storage.readFile(this->target, 10000);
  ASSERT_TRUE(start.ok());
  EXPECT_EQ(start.value(), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 10000));
}

TYPED_TEST_P(FileStorageContract, ReadingAMissingFileOrAFolderFails) {
  for (const std::filesystem::path& path :
       {this->folder.path() / "missing.kiv", this->folder.path()}) {
    const auto read = this->storage.readFile(path, 100);
    ASSERT_FALSE(read.ok()) << path;
    EXPECT_NE(read.error().number, 0);
    EXPECT_FALSE(read.error().description.empty());
  }
}

REGISTER_TYPED_TEST_SUITE_P(FileStorageContract, WritesANewFileAndNothingElse,
                            ReplacesTheOldFileWhole, FailsForAFolderThatDoesNotExist,
                            FailsInAReadOnlyFolderAndLeavesTheOldFileAsItWas, ReadsUpToTheLimit,
                            ReadingAMissingFileOrAFolderFails);

}  // namespace kiv::testing
