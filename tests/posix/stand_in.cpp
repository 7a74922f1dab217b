// kiv_stand_in takes the place of the database program in tests: it records
// how it was started and exits.
//
// The record goes to the file named by the environment variable
// KIV_STAND_IN_RECORD (a task's command line gives its arguments to the
// database program, so none of them can name the record). Each start appends
// one record (O_APPEND), so a file collects every launch in order and a
// FIFO hands one record to a waiting reader. Without the variable, or when the
// record cannot be written, the stand-in exits with status 1.
//
// When KIV_STAND_IN_WAIT names a FIFO, the stand-in reads it to its end
// before it writes the record: a test holds the stand-in running until it
// closes the FIFO's writing end.
//
// A record is a run of lines "key value", from "launch" to "end":
//   launch
//   pid 4242
//   sid 4242
//   ppid 1
//   started_ns 1765432101234567890    CLOCK_REALTIME at start, in nanoseconds
//   fds 0 1 2                         the descriptors open at start, ascending
//   stdin /dev/null                   what descriptors 0 to 2 lead to, or "-"
//   stdout /dev/null
//   stderr /dev/null
//   ignored_signals                   numbers of signals set to be ignored
//   blocked_signals                   numbers of signals in the signal mask
//   argc 3
//   arg 21 /path/to/kiv_stand_in      byte length, a blank, the bytes
//   arg 18 D:\Data\Orders.mdb
//   arg 8 /compact
//   end
// The length lets a reader take arguments holding newlines; a shell script
// reads plain ones with: sed -n 's/^arg [0-9]* //p'

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::int64_t realTimeNanoseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<int> openDescriptors() {
  std::vector<int> fds;
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return fds;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const int fd = std::stoi(name);
    if (fd != ::dirfd(dir)) fds.push_back(fd);
  }
  ::closedir(dir);
  std::ranges::sort(fds);
  return fds;
}

std::string target(int fd) {
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  std::string buffer(4096, '\0');
  const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
  return length < 0 ? "-" : buffer.substr(0, static_cast<std::size_t>(length));
}

template <typename Predicate>
std::string signalsWhere(Predicate holds) {
  std::string numbers;
  for (int signal = 1; signal < NSIG; ++signal) {
    if (holds(signal)) numbers += ' ' + std::to_string(signal);
  }
  return numbers;
}

bool ignored(int signal) {
  struct sigaction action {};
  return ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

bool blocked(int signal) {
  sigset_t mask;
  ::sigprocmask(SIG_BLOCK, nullptr, &mask);
  return ::sigismember(&mask, signal) == 1;
}

std::string record(int argc, char** argv, std::int64_t started, const std::vector<int>& fds) {
  std::string text = "launch\n";
  text += "pid " + std::to_string(::getpid()) + '\n';
  text += "sid " + std::to_string(::getsid(0)) + '\n';
  text += "ppid " + std::to_string(::getppid()) + '\n';
  text += "started_ns " + std::to_string(started) + '\n';
  text += "fds";
  for (const int fd : fds) text += ' ' + std::to_string(fd);
  text += '\n';
  text += "stdin " + target(0) + '\n';
  text += "stdout " + target(1) + '\n';
  text += "stderr " + target(2) + '\n';
  text += "ignored_signals" + signalsWhere(ignored) + '\n';
  text += "blocked_signals" + signalsWhere(blocked) + '\n';
  text += "argc " + std::to_string(argc) + '\n';
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    text += "arg " + std::to_string(argument.size()) + ' ' + argument + '\n';
  }
  text += "end\n";
  return text;
}

void waitForEnd(const char* fifo) {
  const int fd = ::open(fifo, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  char buffer[64];
  while (::read(fd, buffer, sizeof buffer) > 0) {
  }
  ::close(fd);
}

bool append(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  return ::close(fd) == 0 && done == text.size();
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t started = realTimeNanoseconds();
  // Taken before the record is opened, so the list shows only what the
  // stand-in was given.
  const std::vector<int> fds = openDescriptors();
  const char* path = std::getenv("KIV_STAND_IN_RECORD");
  if (path == nullptr) return EXIT_FAILURE;
  if (const char* fifo = std::getenv("KIV_STAND_IN_WAIT")) waitForEnd(fifo);
  return append(path, record(argc, argv, started, fds)) ? EXIT_SUCCESS : EXIT_FAILURE;
}
