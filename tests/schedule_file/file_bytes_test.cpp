#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "schedule_file/file_bytes.h"
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

FileError systemError(std::errc code) {
  const std::error_code error = std::make_error_code(code);
  return {error.value(), error.message()};
}

// What the target is when the save starts; names are in the test's folder.
enum class Target {
  Missing,
  RegularFile,
  ReadOnlyFile,
  Folder,
  LinkToFile,
  LinkToLinkToFile,
  DanglingLink,
  LinkToFolder,
  LinkLoop,
  LinkToADevice,
};

struct TargetCase {
  const char* name;
  Target target;
  std::optional<FileError> failure;  // none: the save goes ahead
  std::string written;               // the file the storage is handed, when it goes ahead
};

void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveTarget : public ::testing::TestWithParam<TargetCase> {
 protected:
  // False when this user may not make links (Windows without the privilege).
  bool link(const fs::path& to, const std::string& name) {
    std::error_code error;
    fs::create_symlink(to, folder.path() / name, error);
    return !error;
  }

  bool prepare(Target target) {
    switch (target) {
      case Target::Missing:
        return true;
      case Target::RegularFile:
        writeAll(folder.path() / "tasks.kiv", oldBytes);
        return true;
      case Target::ReadOnlyFile:
        writeAll(folder.path() / "tasks.kiv", oldBytes);
        fs::permissions(folder.path() / "tasks.kiv", fs::perms::owner_read | fs::perms::group_read);
        return true;
      case Target::Folder:
        fs::create_directory(folder.path() / "tasks.kiv");
        return true;
      case Target::LinkToFile:
        writeAll(folder.path() / "real.kiv", oldBytes);
        return link("real.kiv", "tasks.kiv");
      case Target::LinkToLinkToFile:
        fs::create_directory(folder.path() / "sub");
        writeAll(folder.path() / "sub" / "real.kiv", oldBytes);
        return link(fs::path("sub") / "middle.kiv", "tasks.kiv") &&
               link("real.kiv", (fs::path("sub") / "middle.kiv").string());
      case Target::DanglingLink:
        return link("real.kiv", "tasks.kiv");
      case Target::LinkToFolder:
        fs::create_directory(folder.path() / "real.kiv");
        return link("real.kiv", "tasks.kiv");
      case Target::LinkLoop:
        return link("tasks.kiv", "tasks.kiv");
      case Target::LinkToADevice:
        return fs::exists("/dev/null") && link("/dev/null", "tasks.kiv");
    }
    return false;
  }

  TempFolder folder;
  testing::FakeFileStorage storage;
  Bytes oldBytes{'o', 'l', 'd', 0, 0xFF};
  Bytes newBytes = Bytes(53633, 0x5A);
};

// The target is looked at before the storage is handed a byte: a save that
// cannot succeed writes nothing, and a link is followed, never replaced.
TEST_P(SaveTarget, IsCheckedBeforeTheStorageIsHandedAnything) {
  const TargetCase& c = GetParam();
  if (!prepare(c.target)) GTEST_SKIP() << "this user may not make symbolic links here";
  const fs::path target = folder.path() / "tasks.kiv";
  const fs::file_type targetType = fs::symlink_status(target).type();

  const std::optional<FileError> failure = failureOf(writeFileSafely(target, newBytes, storage));

  EXPECT_EQ(failure, c.failure);
  if (c.failure) {
    EXPECT_TRUE(storage.savedFiles.empty());
  } else {
    EXPECT_EQ(storage.savedFiles, std::vector<fs::path>{folder.path() / c.written});
    EXPECT_EQ(readAll(folder.path() / c.written), newBytes);
  }
  EXPECT_EQ(fs::symlink_status(target).type(),
            targetType == fs::file_type::not_found ? fs::file_type::regular : targetType);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTarget,
    ::testing::Values(TargetCase{"NoFileYet", Target::Missing, std::nullopt, "tasks.kiv"},
                      TargetCase{"RegularFile", Target::RegularFile, std::nullopt, "tasks.kiv"},
                      TargetCase{"MarkedReadOnly", Target::ReadOnlyFile,
                                 systemError(std::errc::permission_denied), ""},
                      TargetCase{"Folder", Target::Folder, systemError(std::errc::is_a_directory),
                                 ""},
                      TargetCase{"LinkToAFile", Target::LinkToFile, std::nullopt, "real.kiv"},
                      TargetCase{"RelativeLinksInARow", Target::LinkToLinkToFile, std::nullopt,
                                 (fs::path("sub") / "real.kiv").string()},
                      TargetCase{"DanglingLinkCreatesWhatItNames", Target::DanglingLink,
                                 std::nullopt, "real.kiv"},
                      TargetCase{"LinkToAFolder", Target::LinkToFolder,
                                 systemError(std::errc::is_a_directory), ""},
                      TargetCase{"LinkLoop", Target::LinkLoop,
                                 systemError(std::errc::too_many_symbolic_link_levels), ""},
                      TargetCase{"LinkToADevice", Target::LinkToADevice,
                                 FileError{1004, "The schedule file is not a regular file."}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafeWrite, AStorageFailureIsReportedAsItIs) {
  TempFolder folder;
  const fs::path target = folder.path() / "tasks.kiv";
  writeAll(target, {'o', 'l', 'd'});
  testing::FakeFileStorage storage;
  storage.flushSucceeds = false;

  EXPECT_EQ(failureOf(writeFileSafely(target, Bytes(10, 1), storage)),
            (FileError{1003, "The schedule file could not be forced to the disk."}));
  EXPECT_EQ(readAll(target), (Bytes{'o', 'l', 'd'}));
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
  EXPECT_EQ(missing.error(), systemError(std::errc::no_such_file_or_directory));

  // Windows would refuse to open a folder as any other access: a folder is
  // told as what it is everywhere.
  const FileResult<Bytes> folderRead = readFileBytes(folder.path(), 100);
  ASSERT_FALSE(folderRead.ok());
  EXPECT_EQ(folderRead.error(), systemError(std::errc::is_a_directory));
}

// A device reads as endless or as no bytes at all: neither is a schedule.
TEST(ReadFileBytes, RefusesADevice) {
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    if (!fs::exists(device)) GTEST_SKIP() << "no " << device << " here";
    const FileResult<Bytes> read = readFileBytes(device, 100);
    ASSERT_FALSE(read.ok()) << device;
    EXPECT_EQ(read.error(), (FileError{1004, "The schedule file is not a regular file."}));
  }
}

}  // namespace
}  // namespace kiv
