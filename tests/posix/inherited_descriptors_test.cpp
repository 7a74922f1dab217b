#include "posix/inherited_descriptors.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "child_process_support.h"

namespace kiv::testing {
namespace {

bool closeOnExec(int fd) {
  return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
}

// A pipe opened without close-on-exec, as a careless library might.
struct CarelessPipe {
  CarelessPipe() { ok = ::pipe(ends) == 0; }
  ~CarelessPipe() {
    if (!ok) return;
    ::close(ends[0]);
    ::close(ends[1]);
  }
  CarelessPipe(const CarelessPipe&) = delete;
  CarelessPipe& operator=(const CarelessPipe&) = delete;
  int ends[2] = {-1, -1};
  bool ok = false;
};

TEST(MarkCloseOnExecFrom, MarksTheDescriptorsFromTheFirstOnly) {
  const CarelessPipe pipe;
  ASSERT_TRUE(pipe.ok);
  ASSERT_LT(pipe.ends[0], pipe.ends[1]);

  posix::markCloseOnExecFrom(pipe.ends[1]);

  EXPECT_FALSE(closeOnExec(pipe.ends[0]));
  EXPECT_TRUE(closeOnExec(pipe.ends[1]));
}

// Where /proc is not mounted there is no list of open descriptors; every
// number up to the limit is marked instead.
TEST(MarkCloseOnExecFrom, WithoutProcEveryNumberUpToTheLimitIsMarked) {
  const std::string answer = inChildProcess([]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
      return std::string(kSkipped) + "no mount namespace of our own here";
    }
    if (::access("/proc/self/fd", F_OK) == 0) return "/proc is still there";
    const CarelessPipe pipe;
    if (!pipe.ok) return "no pipe";
    posix::markCloseOnExecFrom(3);
    if (!closeOnExec(pipe.ends[0]) || !closeOnExec(pipe.ends[1])) return "not marked";
    return "";
  });
  if (answer.starts_with(kSkipped)) GTEST_SKIP() << answer;
  EXPECT_EQ(answer, "");
}

}  // namespace
}  // namespace kiv::testing
