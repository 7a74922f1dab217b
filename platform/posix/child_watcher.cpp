#include "posix/child_watcher.h"

#include <sys/epoll.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <system_error>

namespace kiv::posix {
namespace {

// A descriptor that names the process alone, or -1 where the kernel has none
// (before Linux 5.3, or a sandbox that refuses the call).
int processDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  errno = ENOSYS;
  return -1;
#endif
}

bool addToEpoll(int epoll, int fd) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = fd;
  return ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) == 0;
}

enum class ChildState { Running, Ended, Gone };

// Reaps `pid` if it has ended, filling `ending`; with `options` WNOWAIT it
// is left a zombie. Gone: not a child of ours any more (one that ignores
// SIGCHLD has its children reaped by the system).
ChildState waitWithoutBlocking(pid_t pid, ChildEnding& ending, int options = 0) {
  siginfo_t info{};
  int result = 0;
  do {
    result = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | options);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return ChildState::Gone;
  if (info.si_pid == 0) return ChildState::Running;
  ending.pid = pid;
  ending.killed = info.si_code != CLD_EXITED;
  ending.coreDumped = info.si_code == CLD_DUMPED;
  ending.status = info.si_status;
  return ChildState::Ended;
}

}  // namespace

ProgramOutcome programOutcome(const ChildEnding& ending) {
  return {ending.killed ? ProgramOutcome::Kind::Signalled : ProgramOutcome::Kind::Exited,
          ending.status, std::chrono::duration_cast<std::chrono::milliseconds>(ending.ran)};
}

ChildWatcher::ChildWatcher(Report report)
    : report_(std::move(report)), epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
  if (!epoll_) throw std::system_error(errno, std::generic_category(), "epoll_create1");
}

void ChildWatcher::watch(pid_t pid, std::chrono::steady_clock::time_point started) {
  Child child{pid, UniqueFd(processDescriptor(pid)), started};
  if (child.pidfd && !addToEpoll(epoll_.get(), child.pidfd.get())) child.pidfd = UniqueFd();
  const bool polled = !child.pidfd;
  children_.push_back(std::move(child));
  if (polled) pollOncePerSecond(true);
}

void ChildWatcher::reap() {
  if (sweepTimer_) {
    std::uint64_t expirations = 0;
    [[maybe_unused]] const ssize_t taken =
        ::read(sweepTimer_.get(), &expirations, sizeof expirations);
  }
  std::vector<ChildEnding> endings;
  const auto now = std::chrono::steady_clock::now();
  // A reaped child's pidfd closes as it leaves the list; closing the last
  // descriptor of a file also takes it out of the epoll set.
  std::erase_if(children_, [&](Child& child) {
    ChildEnding ending;
    if (child.ending && waitWithoutBlocking(child.pid, ending, WNOWAIT) == ChildState::Ended) {
      ::kill(-child.pid, SIGKILL);
    }
    const ChildState state = waitWithoutBlocking(child.pid, ending);
    if (state == ChildState::Running) return false;
    if (state == ChildState::Ended) {
      ending.ran = now - child.started;
      endings.push_back(ending);
    }
    return true;
  });
  const bool anyPolled =
      std::ranges::any_of(children_, [](const Child& child) { return !child.pidfd; });
  if (!anyPolled) pollOncePerSecond(false);
  // Reported last: a report may start another program, which changes the list.
  if (report_) {
    for (const ChildEnding& ending : endings) report_(ending);
  }
}

void ChildWatcher::end(pid_t pid, Ending how) {
  const auto child = std::ranges::find(children_, pid, &Child::pid);
  if (child == children_.end()) return;
  child->ending = true;
  // Until it is reaped the program's process id cannot name another
  // process, nor its group another group.
  ::kill(-pid, how == Ending::Gracefully ? SIGTERM : SIGKILL);
}

void ChildWatcher::pollOncePerSecond(bool on) {
  if (!on && !sweepTimer_) return;
  if (!sweepTimer_) {
    // Without it a program without a pidfd is still reaped, at the next
    // reap() another program's ending calls for.
    UniqueFd timer(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
    if (!timer || !addToEpoll(epoll_.get(), timer.get())) return;
    sweepTimer_ = std::move(timer);
  }
  const timespec second{1, 0};
  const itimerspec setting{on ? second : timespec{}, on ? second : timespec{}};
  ::timerfd_settime(sweepTimer_.get(), 0, &setting, nullptr);
}

}  // namespace kiv::posix
