#include "posix/file_lock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "posix/schedule_locks.h"
#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

using testing::TempFolder;

std::string processText(pid_t pid, const char* program) {
  return "process " + std::to_string(pid) + " (" + program + ")";
}

// A lock taken by another process names that process, and comes free when
// the process is killed: the system releases it, however the holder ends.
TEST(FileLock, AKilledHoldersLockIsFreeAgain) {
  TempFolder folder;
  const auto file = folder.path() / "locks" / "schedule.lock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const FileLock lock(file, "kivctl");
    const char state = lock.held() ? 'y' : 'n';
    [[maybe_unused]] const ssize_t told = ::write(ready[1], &state, 1);
    ::pause();
    std::_Exit(0);
  }
  ::close(ready[1]);
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(state, 'y');

  const FileLock refused(file, "kiv");
  EXPECT_EQ(refused.state(), FileLock::State::HeldByOther);
  EXPECT_EQ(refused.detail(), processText(holder, "kivctl"));

  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  const FileLock taken(file, "kiv");
  EXPECT_TRUE(taken.held()) << taken.detail();
}

TEST(FileLock, IsHeldUntilItGoes) {
  TempFolder folder;
  const auto file = folder.path() / "kiv.lock";
  {
    FileLock first(file, "kiv");
    ASSERT_TRUE(first.held());
    const FileLock second(file, "kiv");
    EXPECT_EQ(second.state(), FileLock::State::HeldByOther);
    EXPECT_EQ(second.detail(), processText(::getpid(), "kiv"));
    FileLock moved = std::move(first);
    EXPECT_TRUE(moved.held());
    EXPECT_FALSE(FileLock(file, "kiv").held());
  }
  EXPECT_TRUE(FileLock(file, "kiv").held());
}

TEST(FileLock, ALockThatCannotBeTakenSaysWhy) {
  TempFolder folder;
  testing::writeAll(folder.path() / "runtime", {'x'});
  const FileLock lock(folder.path() / "runtime" / "kiv.lock", "kiv");
  EXPECT_EQ(lock.state(), FileLock::State::Failed);
  EXPECT_NE(lock.detail().find("runtime"), std::string::npos) << lock.detail();
}

TEST(ScheduleLocks, HoldOneScheduleAtATimeUnderAnyOfItsNames) {
  TempFolder folder;
  const std::string first = (folder.path() / "first.kiv").string();
  const std::string second = (folder.path() / "second.kiv").string();
  testing::writeAll(first, {1});
  testing::writeAll(second, {2});
  std::filesystem::create_symlink(first, folder.path() / "link.kiv");
  ScheduleLocks mine("kiv");
  ScheduleLocks other("kivctl");

  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::Claimed);  // again: still its own
  const ScheduleClaim refused = other.claim((folder.path() / "link.kiv").string());
  EXPECT_EQ(refused.kind, ScheduleClaim::Kind::HeldByOther);
  EXPECT_EQ(refused.detail, processText(::getpid(), "kiv"));
  EXPECT_EQ(other.claim(folder.path().string() + "/./first.kiv").kind,
            ScheduleClaim::Kind::HeldByOther);

  // Moving to another schedule frees the first; a refused claim keeps what
  // was held.
  EXPECT_EQ(mine.claim(second).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(other.claim(first).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::HeldByOther);
  EXPECT_EQ(other.claim(second).kind, ScheduleClaim::Kind::HeldByOther);

  // Claiming nothing lets go.
  EXPECT_EQ(mine.claim("").kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(other.claim(second).kind, ScheduleClaim::Kind::Claimed);
}

}  // namespace
}  // namespace kiv::posix
