#include "posix/file_lock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
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

// cron, su or a service may run kivctl without the desktop's variables: the
// lock must be the same one wherever a Kiv program of the user takes it, and
// the same for every name of the file, hard links among them.
TEST(ScheduleLocks, OneLockPerFileWhateverItsNameAndTheEnvironment) {
  TempFolder folder;
  const std::filesystem::path first = folder.path() / "first.kiv";
  testing::writeAll(first, {1});
  std::filesystem::create_hard_link(first, folder.path() / "hard.kiv");
  const std::filesystem::path lock = scheduleLockFile(first.string());
  ASSERT_FALSE(lock.empty());

  EXPECT_EQ(scheduleLockFile((folder.path() / "hard.kiv").string()), lock);
  EXPECT_EQ(scheduleLockFile(folder.path().string() + "/./first.kiv"), lock);
  ScheduleLocks mine("kiv");
  ScheduleLocks other("kivctl");
  ASSERT_EQ(mine.claim(first.string()).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(other.claim((folder.path() / "hard.kiv").string()).kind,
            ScheduleClaim::Kind::HeldByOther);

  const std::map<std::string, const char*> variables = {
      {"XDG_RUNTIME_DIR", nullptr}, {"XDG_STATE_HOME", "/srv/state"}, {"HOME", "/elsewhere"}};
  std::map<std::string, std::optional<std::string>> saved;
  for (const auto& [name, value] : variables) {
    const char* old = std::getenv(name.c_str());
    saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    if (value != nullptr) {
      ::setenv(name.c_str(), value, 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  const std::filesystem::path elsewhere = scheduleLockFile(first.string());
  const ScheduleClaim fromCron = other.claim(first.string());
  for (const auto& [name, value] : saved) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  EXPECT_EQ(elsewhere, lock);
  EXPECT_EQ(fromCron.kind, ScheduleClaim::Kind::HeldByOther);
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
