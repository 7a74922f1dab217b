#include "child_process_support.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <vector>

namespace kiv::testing {

bool reapAll(posix::ChildWatcher& children, std::chrono::milliseconds patience) {
  const auto until = std::chrono::steady_clock::now() + patience;
  while (children.watching() > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{children.descriptor(), POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    children.reap();
  }
  return true;
}

std::string inChildProcess(const std::function<std::string()>& check) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child < 0) return "no fork";
  if (child == 0) {
    ::close(ends[0]);
    const std::string answer = check();
    std::size_t done = 0;
    while (done < answer.size()) {
      const ssize_t written = ::write(ends[1], answer.data() + done, answer.size() - done);
      if (written <= 0) break;
      done += static_cast<std::size_t>(written);
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  std::string answer;
  char buffer[256];
  ssize_t got = 0;
  while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0) {
    answer.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child process failed";
  return answer;
}

bool refuseSystemCalls(std::initializer_list<long> numbers) {
#if defined(__x86_64__)
  constexpr unsigned kArchitecture = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
  constexpr unsigned kArchitecture = AUDIT_ARCH_AARCH64;
#else
  constexpr unsigned kArchitecture = 0;
#endif
  if (kArchitecture == 0) return false;
  std::vector<sock_filter> filter{
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArchitecture, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
  };
  for (const long number : numbers) {
    filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(number), 0, 1));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS));
  }
  filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}  // namespace kiv::testing
