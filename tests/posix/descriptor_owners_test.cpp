// Every descriptor the POSIX layer opens has one owner that closes it: none
// is left open once the owner goes, whichever way it went.
#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "child_process_support.h"
#include "posix/child_watcher.h"
#include "posix/file_lock.h"
#include "posix/real_time_timer.h"
#include "posix/unique_fd.h"
#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

int openDescriptors() {
  int count = 0;
  DIR* listing = ::opendir("/proc/self/fd");
  if (listing == nullptr) return -1;
  while (::readdir(listing) != nullptr) ++count;
  ::closedir(listing);
  return count;
}

bool isOpen(int fd) {
  return ::fcntl(fd, F_GETFD) >= 0;
}

TEST(UniqueFd, ClosesOnceAndHandsOverOnMoveAndRelease) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  {
    UniqueFd first(ends[0]);
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), ends[0]);
    UniqueFd third(ends[1]);
    third = std::move(second);
    EXPECT_EQ(third.get(), ends[0]);
    EXPECT_TRUE(isOpen(ends[0]));
  }
  EXPECT_FALSE(isOpen(ends[0]));
  EXPECT_FALSE(isOpen(ends[1]));

  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  {
    UniqueFd released(ends[0]);
    EXPECT_EQ(released.release(), ends[0]);
    EXPECT_FALSE(released);
    const UniqueFd kept(ends[1]);
  }
  EXPECT_TRUE(isOpen(ends[0]));
  EXPECT_FALSE(isOpen(ends[1]));
  ::close(ends[0]);
}

TEST(DescriptorOwners, LeaveNoDescriptorOpen) {
  testing::TempFolder folder;
  const auto lockFile = folder.path() / "locks" / "schedule.lock";
  const struct {
    const char* owner;
    std::function<void()> use;
  } cases[] = {
      {"a child watcher that reaped a program",
       [] {
         ChildWatcher children;
         const pid_t child = ::fork();
         if (child == 0) ::_exit(0);
         children.watch(child, std::chrono::steady_clock::now());
         EXPECT_TRUE(testing::reapAll(children));
       }},
      {"a child watcher that goes while its program runs",
       [] {
         int ends[2];
         ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
         const pid_t child = ::fork();
         if (child == 0) {
           ::close(ends[1]);
           char byte = 0;
           [[maybe_unused]] const ssize_t got = ::read(ends[0], &byte, 1);
           ::_exit(0);
         }
         ::close(ends[0]);
         {
           ChildWatcher children;
           children.watch(child, std::chrono::steady_clock::now());
         }
         ::close(ends[1]);  // ends the child, now that its watcher is gone
         ::waitpid(child, nullptr, 0);
       }},
      {"a real-time timer",
       [] {
         RealTimeTimer timer;
         timer.arm(RealTimeTimer::Clock::now() + std::chrono::hours{1});
       }},
      {"a held file lock", [&] { EXPECT_TRUE(FileLock(lockFile, "test").held()); }},
      {"a file lock held by another",
       [&] {
         const FileLock held(lockFile, "test");
         EXPECT_EQ(FileLock(lockFile, "test").state(), FileLock::State::HeldByOther);
       }},
      {"a moved file lock",
       [&] {
         FileLock first(lockFile, "test");
         FileLock second = std::move(first);
         first = std::move(second);
         EXPECT_TRUE(first.held());
       }},
  };
  for (const auto& [owner, use] : cases) {
    const int before = openDescriptors();
    use();
    EXPECT_EQ(openDescriptors(), before) << owner;
  }
}

}  // namespace
}  // namespace kiv::posix
