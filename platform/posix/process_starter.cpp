#include "posix/process_starter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "compile/windows_command_line.h"

namespace kiv::posix {
namespace {

// The search path execvp uses when PATH is not set.
constexpr std::string_view kDefaultSearchPath = "/bin:/usr/bin";

// A descriptor that closes with its owner.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { close(); }

  bool valid() const { return fd_ >= 0; }
  int get() const { return fd_; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Moves a close-on-exec descriptor above the standard streams, which may be
// free when this process was started with one of them closed: the child puts
// /dev/null on 0 to 2 and must not overwrite what it still needs.
Descriptor aboveStandardStreams(int fd) {
  if (fd < 0) return Descriptor(-1);
  const Descriptor original(fd);
  return Descriptor(::fcntl(fd, F_DUPFD_CLOEXEC, 3));
}

// Blocks every signal in the calling thread while it lives, so that no handler
// of this process runs in a child between fork and exec.
class AllSignalsBlocked {
 public:
  AllSignalsBlocked() {
    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &saved_);
  }
  AllSignalsBlocked(const AllSignalsBlocked&) = delete;
  AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;
  ~AllSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

 private:
  sigset_t saved_;
};

std::vector<std::string> candidatesFor(const std::string& program) {
  if (program.find('/') != std::string::npos) return {program};
  const char* path = std::getenv("PATH");
  const std::string_view searchPath = path != nullptr ? path : kDefaultSearchPath;
  std::vector<std::string> candidates;
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = std::min(searchPath.find(':', begin), searchPath.size());
    // An empty entry means the current folder, as it does for the shell.
    const std::string_view folder =
        end == begin ? std::string_view(".") : searchPath.substr(begin, end - begin);
    candidates.push_back(std::string(folder) + '/' + program);
    if (end == searchPath.size()) return candidates;
    begin = end + 1;
  }
}

// Everything the children need, prepared before the fork: after it they may
// only make async-signal-safe calls, so they must not allocate. It stays where
// it was built, since argv points into the arguments.
struct ExecPlan {
  explicit ExecPlan(std::vector<std::string> programAndArguments)
      : arguments(std::move(programAndArguments)), candidates(candidatesFor(arguments.front())) {
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
  }
  ExecPlan(const ExecPlan&) = delete;
  ExecPlan& operator=(const ExecPlan&) = delete;

  std::vector<std::string> arguments;
  std::vector<std::string> candidates;  // the paths to try, in order
  std::vector<char*> argv;              // into arguments, ending in a null pointer
  char** environment = environ;
};

// The errors after which execvp goes on along the search path: the program is
// not in that folder, or cannot be executed from there.
bool searchGoesOn(int error) {
  constexpr std::array kErrors{EACCES, ENOENT, ENOTDIR, ESTALE, ENODEV, ETIMEDOUT};
  return std::ranges::find(kErrors, error) != kErrors.end();
}

// Sends errno to the waiting parent and ends the child.
[[noreturn]] void failChild(int errorFd) {
  const int error = errno;
  // Four bytes into an empty pipe are written whole; a failure here leaves
  // nothing else to try.
  [[maybe_unused]] const ssize_t written = ::write(errorFd, &error, sizeof error);
  ::_exit(127);
}

void resetSignals() {
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  ::sigemptyset(&byDefault.sa_mask);
  // SIGKILL, SIGSTOP and the C library's own signals refuse a new action; none
  // of them can be ignored, so nothing is lost.
  for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

[[noreturn]] void execProgram(const ExecPlan& plan, int devNull, int errorFd) {
  if (::setsid() < 0) failChild(errorFd);
  for (int stream = 0; stream < 3; ++stream) {
    if (::dup2(devNull, stream) < 0) failChild(errorFd);
  }
  // Marks every other descriptor close-on-exec, also those another thread or
  // library opened without the flag; the error pipe must stay open until exec.
  if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) failChild(errorFd);
  resetSignals();
  int error = ENOENT;
  bool denied = false;
  for (const std::string& candidate : plan.candidates) {
    ::execve(candidate.c_str(), plan.argv.data(), plan.environment);
    error = errno;
    denied = denied || error == EACCES;
    if (!searchGoesOn(error)) break;
  }
  errno = denied && searchGoesOn(error) ? EACCES : error;
  failChild(errorFd);
}

[[noreturn]] void runIntermediate(const ExecPlan& plan, int devNull, int errorFd) {
  const pid_t program = ::fork();
  if (program == 0) execProgram(plan, devNull, errorFd);
  if (program < 0) failChild(errorFd);
  ::_exit(0);
}

// Waits until the program runs or a child reports why not: the pipe closes
// when exec succeeds, and carries errno when a step fails.
int readChildError(int fd) {
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(fd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  if (got == 0) return 0;
  if (got == static_cast<ssize_t>(sizeof error)) return error;
  return got < 0 ? errno : EIO;
}

void reap(pid_t child) {
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// Returns 0 once the program runs, else the errno that stopped it.
int launch(const ExecPlan& plan) {
  const Descriptor devNull = aboveStandardStreams(::open("/dev/null", O_RDWR | O_CLOEXEC));
  if (!devNull.valid()) return errno;
  std::array<int, 2> ends{};
  if (::pipe2(ends.data(), O_CLOEXEC) != 0) return errno;
  const Descriptor readEnd(ends[0]);
  Descriptor writeEnd = aboveStandardStreams(ends[1]);
  if (!writeEnd.valid()) return errno;

  pid_t intermediate = 0;
  int forkError = 0;
  {
    const AllSignalsBlocked blocked;
    intermediate = ::fork();
    if (intermediate == 0) runIntermediate(plan, devNull.get(), writeEnd.get());
    forkError = errno;
  }
  if (intermediate < 0) return forkError;
  writeEnd.close();
  const int error = readChildError(readEnd.get());
  reap(intermediate);
  return error;
}

}  // namespace

StartResult start(std::string_view commandLine) {
  std::vector<std::string> arguments = splitWindowsCommandLine(commandLine);
  if (arguments.empty() || arguments.front().empty()) {
    return {false, "The command line names no program to start."};
  }
  const ExecPlan plan(std::move(arguments));
  const int error = launch(plan);
  if (error == 0) return {true, ""};
  return {false, "Cannot start \"" + plan.arguments.front() +
                     "\": " + std::generic_category().message(error)};
}

}  // namespace kiv::posix
