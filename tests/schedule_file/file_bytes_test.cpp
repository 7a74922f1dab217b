#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "schedule_file/file_bytes.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;
using testing::readAll;
using testing::TempFolder;
using testing::writeAll;
using Bytes = std::vector<std::uint8_t>;

constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// How a saved schedule file's permissions read. Windows keeps who may read a
// file in its access lists, which std::filesystem does not show: there the
// mode bits tell only that the file is not marked read-only.
#ifdef _WIN32
constexpr fs::perms kSavedPermissions = fs::perms::owner_read | fs::perms::owner_write |
                                        fs::perms::group_read | fs::perms::group_write |
                                        fs::perms::others_read | fs::perms::others_write;
// Windows refuses to open a folder as a file as it refuses any other access.
constexpr std::errc kReadingAFolder = std::errc::permission_denied;
#else
constexpr fs::perms kSavedPermissions = kOwnerOnly;
constexpr std::errc kReadingAFolder = std::errc::is_a_directory;
#endif

int errorNumber(std::errc code) {
  return std::make_error_code(code).value();
}

const DurableFlush kFlushed = [](const fs::path&) { return true; };

class SafeWrite : public ::testing::Test {
 protected:
  SafeWrite() { writeAll(target, oldBytes); }

  // The old file is byte for byte what it was and nothing else is in the folder.
  void expectOldFileUntouched() {
    EXPECT_EQ(readAll(target), oldBytes);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"tasks.kiv"});
  }

  TempFolder folder;
  fs::path target = folder.path() / "tasks.kiv";
  Bytes oldBytes{'o', 'l', 'd', 0, 0xFF};
  Bytes newBytes = Bytes(53633, 0x5A);
};

TEST_F(SafeWrite, WritesANewFileReadableByItsOwnerOnly) {
  fs::remove(target);
  ASSERT_EQ(writeFileSafely(target, newBytes, kFlushed), std::nullopt);
  EXPECT_EQ(readAll(target), newBytes);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, kSavedPermissions);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"tasks.kiv"});
}

TEST_F(SafeWrite, ReplacesAnOpenlyReadableFileWithAnOwnerOnlyOne) {
  fs::permissions(target, kOwnerOnly | fs::perms::group_read | fs::perms::others_read);
  ASSERT_EQ(writeFileSafely(target, newBytes, kFlushed), std::nullopt);
  EXPECT_EQ(readAll(target), newBytes);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, kSavedPermissions);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"tasks.kiv"});
}

TEST_F(SafeWrite, FlushesTheWholeNewFileBesideTheTargetBeforeReplacingIt) {
  int flushes = 0;
  const DurableFlush flush = [&](const fs::path& file) {
    ++flushes;
    EXPECT_EQ(file.parent_path(), folder.path());
    EXPECT_NE(file, target);
    EXPECT_EQ(readAll(file), newBytes);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, kSavedPermissions);
    EXPECT_EQ(readAll(target), oldBytes);
    return true;
  };
  ASSERT_EQ(writeFileSafely(target, newBytes, flush), std::nullopt);
  EXPECT_EQ(flushes, 1);
  EXPECT_EQ(readAll(target), newBytes);
}

TEST_F(SafeWrite, KeepsTheOldFileWhenTheFlushFails) {
  const DurableFlush notFlushed = [](const fs::path&) { return false; };
  EXPECT_EQ(writeFileSafely(target, newBytes, notFlushed),
            (FileError{1003, "The schedule file could not be forced to the disk."}));
  expectOldFileUntouched();
}

TEST_F(SafeWrite, RefusesAFileMarkedReadOnly) {
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
  fs::permissions(target, readOnly);
  const std::optional<FileError> failure = writeFileSafely(target, newBytes, kFlushed);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->number, errorNumber(std::errc::permission_denied));
  EXPECT_EQ(failure->description, std::make_error_code(std::errc::permission_denied).message());
  EXPECT_EQ(fs::status(target).permissions() & kAnyWrite, fs::perms::none);
  expectOldFileUntouched();
}

TEST_F(SafeWrite, FailsWhenTheReplaceFailsAndLeavesNoTemporaryFile) {
  // A folder in the target's place cannot be replaced by a file.
  fs::remove(target);
  fs::create_directory(target);
  const std::optional<FileError> failure = writeFileSafely(target, newBytes, kFlushed);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->number, errorNumber(std::errc::is_a_directory));
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(folder.names(), std::vector<std::string>{"tasks.kiv"});
}

TEST_F(SafeWrite, FailsForAFolderThatDoesNotExist) {
  const std::optional<FileError> failure =
      writeFileSafely(folder.path() / "missing" / "tasks.kiv", newBytes, kFlushed);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->number, errorNumber(std::errc::no_such_file_or_directory));
  EXPECT_EQ(failure->description,
            std::make_error_code(std::errc::no_such_file_or_directory).message());
  expectOldFileUntouched();
}

TEST_F(SafeWrite, FailsInAReadOnlyFolderAndLeavesTheOldFileAsItWas) {
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(folder.path() / "probe")) {
    fs::remove(folder.path() / "probe");
    GTEST_SKIP() << "this user may write into read-only folders (an administrator)";
  }
  const std::optional<FileError> failure = writeFileSafely(target, newBytes, kFlushed);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->number, errorNumber(std::errc::permission_denied));
  EXPECT_EQ(failure->description, std::make_error_code(std::errc::permission_denied).message());
  expectOldFileUntouched();
}

TEST_F(SafeWrite, SavesThroughALinkIntoTheFileItNames) {
  const fs::path link = folder.path() / "link.kiv";
  std::error_code linkError;
  fs::create_symlink(target, link, linkError);
  if (linkError) GTEST_SKIP() << "this user may not make symbolic links: " << linkError.message();
  ASSERT_EQ(writeFileSafely(link, newBytes, kFlushed), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readAll(target), newBytes);
}

TEST(ReadFileBytes, ReadsUpToTheLimit) {
  TempFolder folder;
  const fs::path file = folder.path() / "bytes";
  Bytes bytes(20000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  writeAll(file, bytes);

  const FileResult<Bytes> whole = readFileBytes(file, 53634);
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(whole.value(), bytes);
  const FileResult<Bytes> start = readFileBytes(file, 10000);
  ASSERT_TRUE(start.ok());
  EXPECT_EQ(start.value(), Bytes(bytes.begin(), bytes.begin() + 10000));
}

TEST(ReadFileBytes, FailsWithTheSystemsNumberAndText) {
  TempFolder folder;
  const FileResult<Bytes> missing = readFileBytes(folder.path() / "missing.kiv", 100);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().number, errorNumber(std::errc::no_such_file_or_directory));
  EXPECT_EQ(missing.error().description,
            std::make_error_code(std::errc::no_such_file_or_directory).message());

  const FileResult<Bytes> folderRead = readFileBytes(folder.path(), 100);
  ASSERT_FALSE(folderRead.ok());
  EXPECT_EQ(folderRead.error().number, errorNumber(kReadingAFolder));
}

}  // namespace
}  // namespace kiv
