// The guard around a compact, repair or decompile with real files: lock
// files held by another process, copies kept in real folders, a volume too
// small and a read-only one, and a database put back after a run lost it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/scheduler.h"
#include "posix/child_process_support.h"
#include "posix/posix_database_files.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/lock_file_entry.h"
#include "support/scheduler_fixture.h"
#include "support/temp_folder.h"
#include "support/written_launches.h"

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::minutes;
using std::chrono::seconds;

// Another process that holds a record lock on a file, as a database
// program (or the file server for its client) holds its lock file, until
// the holder is destroyed.
class LockHolder {
 public:
  explicit LockHolder(const fs::path& file) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(release_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(file.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      const char answer = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
      static_cast<void>(::write(ready[1], &answer, 1));
      char ignored = 0;
      ::close(release_[1]);
      static_cast<void>(::read(release_[0], &ignored, 1));
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release_[0]);
    char answer = 'n';
    locked_ = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
  }
  ~LockHolder() {
    ::close(release_[1]);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool locked() const { return locked_; }

 private:
  int release_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool locked_ = false;
};

TEST(PosixDatabaseFiles, ALockFileIsHeldWhileAnotherProcessLocksIt) {
  const TempFolder folder;
  posix::PosixDatabaseFiles files;
  const fs::path lockFile = folder.path() / "Orders.ldb";
  EXPECT_EQ(files.lockFile(lockFile.string()).holder, LockFileState::Holder::Nobody);
  EXPECT_FALSE(files.lockFile(lockFile.string()).exists);

  writeAll(lockFile, lockFileEntry("PC-7", "maria"));
  {
    const LockHolder holder(lockFile);
    ASSERT_TRUE(holder.locked());
    const LockFileState held = files.lockFile(lockFile.string());
    EXPECT_EQ(held.holder, LockFileState::Holder::Someone);
    EXPECT_EQ(held.bytes, lockFileEntry("PC-7", "maria"));
  }
  const LockFileState stale = files.lockFile(lockFile.string());
  EXPECT_EQ(stale.holder, LockFileState::Holder::Nobody) << "left behind, held by nobody";
  EXPECT_TRUE(stale.exists);
}

posix::PosixDatabaseFiles realDatabaseFiles;

// The scheduler with the real file checks and copies; its clock, starter and
// journal are the scripted platform's.
class RealDatabase : public ::testing::Test, protected ScheduledTasks {
 protected:
  RealDatabase() : ScheduledTasks(&realDatabaseFiles) {
    tasks[0] = compiledTask(0, "02:00:?1");  // every hour from 02:00
    tasks[0].TaskName = "Nightly";
    tasks[0].DatabaseLocation = database.string();
    writeAll(database, contents('A', 300'000));
    scheduler.start();
  }

  static Bytes contents(char fill, std::size_t size) {
    Bytes bytes(size, static_cast<std::uint8_t>(fill));
    bytes[size / 2] = '!';
    return bytes;
  }

  TempFolder folder;
  fs::path database = folder.path() / "Orders.mdb";
  fs::path backups = folder.path() / "Kiv backups";
};

TEST_F(RealDatabase, ACompactWaitsForTheLockFilesHolderAndIsSkippedPastItsWait) {
  tasks[0].Options.wait = minutes{1};
  const fs::path lockFile = folder.path() / "Orders.ldb";
  Bytes entries = lockFileEntry("PC-ACCOUNTING", "Admin");
  const Bytes second = lockFileEntry("PC-7", "maria");
  entries.insert(entries.end(), second.begin(), second.end());
  writeAll(lockFile, entries);
  const LockHolder holder(lockFile);
  ASSERT_TRUE(holder.locked());

  tickUntil("2026-12-10 02:00:59");
  EXPECT_TRUE(platform.launches.empty());
  EXPECT_TRUE(launches().empty()) << "still waiting";
  tickUntil("2026-12-10 02:01:00");

  EXPECT_TRUE(platform.launches.empty());
  ASSERT_FALSE(launches().empty());
  EXPECT_EQ(launches()[0].reason,
            "in use by PC-ACCOUNTING (Admin), PC-7 (maria) after a wait of 1 min 0 s");
  EXPECT_FALSE(fs::exists(backups)) << "nothing copied for a run that did not start";
}

TEST_F(RealDatabase, AStaleLockFileDoesNotStopTheCompact) {
  writeAll(folder.path() / "Orders.ldb", lockFileEntry("PC-7", "maria"));
  tickUntil("2026-12-10 02:00:00");
  EXPECT_EQ(platform.launches.size(), 1U);
}

// Each run copies the database as it was before the run; with two copies
// kept, the third run's copy takes the place of the first's.
TEST_F(RealDatabase, ThreeCompactsKeepTheTwoNewestCopiesEachAsTheDatabaseWasBeforeItsRun) {
  tasks[0].Options.backups = 2;
  writeAll(backups.parent_path() / "notes.txt", {'n'});
  std::vector<Bytes> before;
  for (const char run : {'A', 'B', 'C'}) {
    writeAll(database, contents(run, 200'000 + static_cast<std::size_t>(run)));
    before.push_back(readAll(database));
    tickUntil("2026-12-10 0" + std::to_string(run - 'A' + 2) + ":00:00");
    ASSERT_EQ(platform.launches.size(), static_cast<std::size_t>(run - 'A' + 1));
    scheduler.programEnded(101 + (run - 'A'), {ProgramOutcome::Kind::Exited, 0, seconds{2}});
  }

  std::vector<std::string> kept;
  for (const auto& entry : fs::directory_iterator(backups)) {
    kept.push_back(entry.path().filename().string());
  }
  std::ranges::sort(kept);
  ASSERT_EQ(kept,
            (std::vector<std::string>{"Orders 2026-12-10 0300.mdb", "Orders 2026-12-10 0400.mdb"}));
  EXPECT_EQ(readAll(backups / kept[0]), before[1]);
  EXPECT_EQ(readAll(backups / kept[1]), before[2]);
  EXPECT_EQ(fs::status(backups).permissions(), fs::perms::owner_all);
  EXPECT_EQ(launches().back().backup, "Orders 2026-12-10 0400.mdb");
}

struct DamageCase {
  const char* name;
  void (*damage)(const fs::path& database);
  int exitStatus;
  const char* found;  // the start of what the ended record says
  bool restored;
};

class DamagedByTheRun : public RealDatabase, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedByTheRun, IsPutBackFromItsCopyByteForByte) {
  const DamageCase& c = GetParam();
  const Bytes original = readAll(database);
  tickUntil("2026-12-10 02:00:00");
  ASSERT_EQ(platform.launches.size(), 1U);
  c.damage(database);
  scheduler.programEnded(101, {ProgramOutcome::Kind::Exited, c.exitStatus, seconds{2}});

  const auto ended = ends();
  ASSERT_EQ(ended.size(), 1U);
  EXPECT_TRUE(ended[0].databaseCheck.starts_with(c.found)) << ended[0].databaseCheck;
  EXPECT_EQ(ended[0].restored, c.restored ? "Orders 2026-12-10 0200.mdb" : "");
  if (c.restored) {
    EXPECT_EQ(readAll(database), original);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DamagedByTheRun,
    ::testing::Values(
        DamageCase{"Deleted", [](const fs::path& db) { fs::remove(db); }, 1,
                   "database missing (No such file or directory); put back from", true},
        DamageCase{"Emptied", [](const fs::path& db) { writeAll(db, {}); }, 1,
                   "database empty; put back from", true},
        DamageCase{"CutByAFailedRun", [](const fs::path& db) { fs::resize_file(db, 1000); }, 2,
                   "database cut to 1000 bytes of 292.9 KB; put back from", true},
        DamageCase{"ShrunkByASuccessfulCompact",
                   [](const fs::path& db) { fs::resize_file(db, 1000); }, 0,
                   "database intact (1000 bytes)", false},
        DamageCase{"LeftWithATemporaryDatabase",
                   [](const fs::path& db) { writeAll(db.parent_path() / "db1.mdb", {'x'}); }, 0,
                   "database intact (292.9 KB); left beside it: db1.mdb", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct UnwritableCase {
  const char* name;
  const char* mountOptions;
  unsigned long flags;
  // How the journal's reason starts, for a backup folder that is the volume.
  std::string (*reason)(const std::string& volume);
  // Why a copy straight onto the volume fails.
  const char* copyFailure;
};

class UnwritableBackupFolder : public RealDatabase,
                               public ::testing::WithParamInterface<UnwritableCase> {};

// A copy that cannot be written stops the run, and leaves no part of itself:
// a volume too small for it is seen before anything is written, and a copy
// that fails as it is written is removed. The volume is a tmpfs in a mount
// namespace of the test's own.
TEST_P(UnwritableBackupFolder, StopsTheRunWithTheReasonAndLeavesNoPartialCopy) {
  const UnwritableCase& c = GetParam();
  const fs::path volume = folder.path() / "volume";
  fs::create_directory(volume);
  tasks[0].Options.backupFolder = volume.string();
  const std::string answer = inChildProcess([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("none", volume.c_str(), "tmpfs", c.flags, c.mountOptions) != 0) {
      return std::string(kSkipped) + "no mount namespace of our own here";
    }
    tickUntil("2026-12-10 02:00:00");
    std::string wrong;
    if (!platform.launches.empty()) wrong += "started; ";
    const auto journalled = launches();
    if (journalled.size() != 1 || !journalled[0].reason.starts_with(c.reason(volume.string()))) {
      wrong += "journalled " + (journalled.empty() ? "nothing" : journalled[0].reason) + "; ";
    }
    const auto copied =
        realDatabaseFiles.copyFile(database.string(), (volume / "Orders.mdb").string());
    if (copied || copied.error() != c.copyFailure) {
      wrong += "a copy straight to the volume: " + (copied ? "made" : copied.error()) + "; ";
    }
    if (!fs::is_empty(volume)) wrong += "something was left on the volume; ";
    return wrong;
  });
  if (answer.starts_with(kSkipped)) GTEST_SKIP() << answer;
  EXPECT_EQ(answer, "");
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, UnwritableBackupFolder,
    ::testing::Values(UnwritableCase{"Full", "size=64k", 0,
                                     [](const std::string& volume) {
                                       return "not enough free space for the copy in " + volume +
                                              ": 292.9 KB needed, ";
                                     },
                                     "No space left on device"},
                      UnwritableCase{
                          "ReadOnly", "", MS_RDONLY,
                          [](const std::string& volume) {
                            return "the copy of the database to " + volume +
                                   "/Orders 2026-12-10 0200.mdb failed: Read-only file system";
                          },
                          "Read-only file system"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealDatabase, ADatabaseThatIsAFolderIsNotStarted) {
  fs::remove(database);
  fs::create_directory(database);
  tickUntil("2026-12-10 02:00:00");
  EXPECT_TRUE(platform.launches.empty());
  ASSERT_EQ(launches().size(), 1U);
  EXPECT_EQ(launches()[0].reason,
            "cannot use the database " + database.string() + ": Is a directory");
}

}  // namespace
}  // namespace kiv::testing
