#include "posix/posix_file_storage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "posix/orphan_sweep.h"
#include "posix/private_file.h"
#include "posix/random_name.h"
#include "posix/temporary_name.h"
#include "posix/unique_fd.h"
#include "support/failure_of.h"
#include "support/file_storage_contract.h"
#include "support/temp_folder.h"

namespace kiv::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileStorageContract, posix::PosixFileStorage);

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

FileError systemError(int number) {
  return {number, std::error_code(number, std::generic_category()).message()};
}

const FileError kNotARegularFile{1004, "The schedule file is not a regular file."};

posix::UniqueFd openFolder(const fs::path& folder) {
  return posix::UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::set<std::string> namesIn(const TempFolder& folder) {
  const std::vector<std::string> names = folder.names();
  return {names.begin(), names.end()};
}

// Each failure is the system's own number and text, or the schedule file's
// number for what is no regular file; a pipe without a writer never waits.
TEST(PosixFileStorage, FailsWithTheSystemsNumberAndText) {
  TempFolder folder;
  const fs::path pipe = folder.path() / "pipe.kiv";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  posix::PosixFileStorage storage;
  const Bytes bytes(10, 1);

  struct Case {
    const char* name;
    std::function<std::optional<FileError>()> act;
    FileError expected;
  };
  const auto reading = [&](const fs::path& path) {
    return [&storage, path]() -> std::optional<FileError> {
      const auto read = storage.readFile(path, 100);
      return read.ok() ? std::nullopt : std::optional<FileError>(read.error());
    };
  };
  const auto saving = [&](const fs::path& path) {
    return
        [&storage, &bytes, path] { return testing::failureOf(storage.replaceFile(path, bytes)); };
  };
  const std::vector<Case> cases{
      {"read a missing file", reading(folder.path() / "missing.kiv"), systemError(ENOENT)},
      {"read a folder", reading(folder.path()), systemError(EISDIR)},
      {"read a pipe", reading(pipe), kNotARegularFile},
      {"read a device", reading("/dev/zero"), kNotARegularFile},
      {"save into a missing folder", saving(folder.path() / "missing" / "a.kiv"),
       systemError(ENOENT)},
      {"save over a folder", saving(folder.path()), systemError(EISDIR)},
      {"save to a name ending in a slash", saving(folder.path() / "a.kiv" / ""),
       systemError(EISDIR)},
      {"save over a pipe", saving(pipe), kNotARegularFile},
  };
  for (const Case& c : cases) EXPECT_EQ(c.act(), c.expected) << c.name;
  EXPECT_EQ(namesIn(folder), std::set<std::string>{"pipe.kiv"});
}

TEST(TemporaryName, IsTheTargetsNameSixteenLowercaseHexDigitsAndTmp) {
  EXPECT_EQ(posix::temporaryNameFor("a.kiv", "0123456789abcdef"), "a.kiv.0123456789abcdef.tmp");
  const std::vector<std::pair<std::string, bool>> candidates{
      {"a.kiv.0123456789abcdef.tmp", true},
      {"a.kiv.ffffffffffffffff.tmp", true},
      {"a.kiv.0123456789ABCDEF.tmp", false},
      {"a.kiv.0123456789abcde.tmp", false},
      {"a.kiv.0123456789abcdef0.tmp", false},
      {"b.kiv.0123456789abcdef.tmp", false},
      {"xa.kiv.0123456789abcdef.tmp", false},
      {"a.kiv.0123456789abcdefxtmp", false},
      {"a.kiv_0123456789abcdef.tmp", false},
      {"a.kiv.0123456789abcdeg.tmp", false},
      {"a.kiv", false},
  };
  for (const auto& [candidate, expected] : candidates) {
    EXPECT_EQ(posix::isTemporaryNameOf(candidate, "a.kiv"), expected) << candidate;
  }
}

TEST(RandomName, DrawsDistinctHexDigits) {
  std::set<std::string> drawn;
  for (int draw = 0; draw < 1000; ++draw) {
    const FileResult<std::string> digits = posix::randomHex(8);
    ASSERT_TRUE(digits.ok());
    ASSERT_EQ(digits.value().size(), 16U);
    EXPECT_TRUE(std::ranges::all_of(
        digits.value(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }));
    drawn.insert(digits.value());
  }
  EXPECT_EQ(drawn.size(), 1000U);
}

// Where the file system has no unnamed files the new file has a name from
// its creation on: readable by its owner only, whatever the mask, and locked,
// so a sweep of another save leaves it alone.
TEST(NamedPrivateFile, IsOwnerOnlyLockedAndReplacesTheTarget) {
  TempFolder folder;
  writeAll(folder.path() / "a.kiv", {'o', 'l', 'd'});
  const posix::UniqueFd dir = openFolder(folder.path());
  const mode_t previousMask = ::umask(0);

  FileResult<posix::PrivateFile> created = posix::createNamedPrivateFile(dir.get(), "a.kiv");
  ::umask(previousMask);

  ASSERT_TRUE(created.ok()) << created.error().description;
  posix::PrivateFile file = std::move(created).value();
  EXPECT_TRUE(posix::isTemporaryNameOf(file.name, "a.kiv")) << file.name;
  struct stat status {};
  ASSERT_EQ(::fstat(file.fd.get(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600U);
  posix::removeOrphanedTemporaries(dir.get(), "a.kiv");
  EXPECT_EQ(namesIn(folder), (std::set<std::string>{"a.kiv", file.name}));

  ASSERT_EQ(::write(file.fd.get(), "new", 3), 3);
  ASSERT_EQ(testing::failureOf(posix::moveIntoPlace(file, dir.get(), "a.kiv")), std::nullopt);
  EXPECT_EQ(namesIn(folder), std::set<std::string>{"a.kiv"});
  EXPECT_EQ(readAll(folder.path() / "a.kiv"), (Bytes{'n', 'e', 'w'}));
}

// A sweep removes exactly the files a killed save of the same target left.
TEST(OrphanSweep, RemovesOnlyUnlockedTemporaryFilesOfItsTarget) {
  TempFolder folder;
  const std::string orphan = "a.kiv.00000000000000aa.tmp";
  const std::string inUse = "a.kiv.00000000000000bb.tmp";
  const std::string linkToOrphan = "a.kiv.00000000000000cc.tmp";
  const std::string folderLikeOne = "a.kiv.00000000000000dd.tmp";
  const std::vector<std::string> unrelated{"a.kiv", "b.kiv.00000000000000aa.tmp",
                                           "a.kiv.00000000000000AA.tmp", "a.kiv.tmp",
                                           "a.kiv.0000000000000aa.tmp"};
  for (const std::string& name : unrelated) writeAll(folder.path() / name, {1});
  writeAll(folder.path() / orphan, {1});
  writeAll(folder.path() / inUse, {1});
  const posix::UniqueFd held(::open((folder.path() / inUse).c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);
  fs::create_symlink(folder.path() / "a.kiv", folder.path() / linkToOrphan);
  fs::create_directory(folder.path() / folderLikeOne);

  const posix::UniqueFd dir = openFolder(folder.path());
  posix::removeOrphanedTemporaries(dir.get(), "a.kiv");

  std::set<std::string> expected(unrelated.begin(), unrelated.end());
  expected.insert({inUse, linkToOrphan, folderLikeOne});
  EXPECT_EQ(namesIn(folder), expected);
  EXPECT_EQ(readAll(folder.path() / "a.kiv"), Bytes{1});
}

}  // namespace
}  // namespace kiv::testing
