// The Windows file checks around a compact, repair or decompile, with a
// stand-in for the database program holding the lock file open.
#include "win32_database_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "program_watcher.h"
#include "stand_in_record.h"
#include "support/compiled_task.h"
#include "support/lock_file_entry.h"
#include "support/scheduler_fixture.h"
#include "support/temp_folder.h"
#include "waiting.h"
#include "wide_text.h"

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::minutes;

std::string utf8(const fs::path& path) {
  return fromWide(path.wstring());
}

Bytes twoUsers() {
  Bytes entries = lockFileEntry("PC-ACCOUNTING", "Admin");
  const Bytes second = lockFileEntry("PC-7", "maria");
  entries.insert(entries.end(), second.begin(), second.end());
  return entries;
}

// The stand-in started with `lockFile` open, once it has it open; it stays
// until it is ended or `stay` has passed.
class LockFileHolder {
 public:
  LockFileHolder(const fs::path& lockFile, std::chrono::milliseconds stay) {
    record_.holdOpen(lockFile);
    record_.stayFor(stay);
    const StartResult started = watcher_.start("\"" + StandInRecord::program() + "\"");
    if (started && started.value().processId) pid_ = *started.value().processId;
    holding_ = started && record_.commandLine().has_value();
  }
  ~LockFileHolder() { end(); }
  LockFileHolder(const LockFileHolder&) = delete;
  LockFileHolder& operator=(const LockFileHolder&) = delete;

  bool holding() const { return holding_; }

  // Ends the stand-in and waits until it has gone, and its hold with it.
  void end() {
    if (pid_ == 0) return;
    watcher_.end(pid_, Ending::Forcibly);
    waitUntil([this] { return !watcher_.collectEnded().empty(); });
    pid_ = 0;
  }

 private:
  StandInRecord record_;
  ProgramWatcher watcher_;
  ProcessId pid_ = 0;
  bool holding_ = false;
};

TEST(Win32DatabaseFiles, ALockFileIsHeldWhileTheDatabaseProgramHasItOpen) {
  const TempFolder folder;
  Win32DatabaseFiles files;
  const fs::path lockFile = folder.path() / "Orders.ldb";
  EXPECT_FALSE(files.lockFile(utf8(lockFile)).exists);

  writeAll(lockFile, twoUsers());
  LockFileHolder holder(lockFile, minutes{5});
  ASSERT_TRUE(holder.holding());
  const LockFileState held = files.lockFile(utf8(lockFile));
  EXPECT_EQ(held.holder, LockFileState::Holder::Someone);
  EXPECT_EQ(held.bytes, twoUsers()) << "read while the holder shares it";

  holder.end();
  const LockFileState stale = files.lockFile(utf8(lockFile));
  EXPECT_EQ(stale.holder, LockFileState::Holder::Nobody) << "left behind, held by nobody";
  EXPECT_TRUE(stale.exists);
}

Win32DatabaseFiles realDatabaseFiles;

// The scheduler with the real file checks; its clock, starter and journal
// are the scripted platform's.
class HeldDatabase : public ::testing::Test, protected ScheduledTasks {
 protected:
  HeldDatabase() : ScheduledTasks(&realDatabaseFiles) {
    tasks[0] = compiledTask(0, "02:00:00");
    standInDatabase(database);
    tasks[0].DatabaseLocation = utf8(database);
    tasks[0].Options.wait = minutes{1};
    scheduler.start();
  }

  TempFolder folder;
  fs::path database = folder.path() / "Orders.mdb";
  fs::path lockFile = folder.path() / "Orders.ldb";
};

TEST_F(HeldDatabase, ACompactWaitsWhileTheLockFileIsHeldAndIsSkippedPastItsWait) {
  writeAll(lockFile, twoUsers());
  const LockFileHolder holder(lockFile, minutes{5});
  ASSERT_TRUE(holder.holding());

  tickUntil("2026-12-10 02:00:59");
  EXPECT_TRUE(launches().empty()) << "still waiting";
  tickUntil("2026-12-10 02:01:00");

  EXPECT_TRUE(platform.launches.empty());
  ASSERT_EQ(launches().size(), 1U);
  EXPECT_EQ(launches()[0].reason,
            "in use by PC-ACCOUNTING (Admin), PC-7 (maria) after a wait of 1 min 0 s");
}

TEST_F(HeldDatabase, AStaleLockFileDoesNotStopTheCompact) {
  writeAll(lockFile, twoUsers());
  tickUntil("2026-12-10 02:00:00");
  EXPECT_EQ(platform.launches.size(), 1U);
}

}  // namespace
}  // namespace kiv::testing
