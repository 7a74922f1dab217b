#include "posix/process_starter.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "compile/windows_command_line.h"
#include "posix/inherited_descriptors.h"

namespace kiv::posix {
namespace {

// The search path execvp uses when PATH is not set.
constexpr std::string_view kDefaultSearchPath = "/bin:/usr/bin";

// The first descriptor above the standard streams.
constexpr int kFirstInherited = 3;

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

// The errors after which execvp goes on along the search path: the program is
// not in that folder, or cannot be executed from there.
bool searchGoesOn(int error) {
  constexpr std::array kErrors{EACCES, ENOENT, ENOTDIR, ESTALE, ENODEV, ETIMEDOUT};
  return std::ranges::find(kErrors, error) != kErrors.end();
}

// How the child is set up between its creation and the program: a session
// of its own, default signal actions, no signal blocked, /dev/null on the
// standard streams and no other descriptor of ours.
class SpawnSetup {
 public:
  SpawnSetup() {
    ::posix_spawnattr_init(&attributes_);
    ::posix_spawn_file_actions_init(&actions_);
    sigset_t all;
    ::sigfillset(&all);
    sigset_t none;
    ::sigemptyset(&none);
    error_ = firstError({
        ::posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK),
        ::posix_spawnattr_setsigdefault(&attributes_, &all),
        ::posix_spawnattr_setsigmask(&attributes_, &none),
        ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDWR, 0),
        ::posix_spawn_file_actions_adddup2(&actions_, STDIN_FILENO, STDOUT_FILENO),
        ::posix_spawn_file_actions_adddup2(&actions_, STDIN_FILENO, STDERR_FILENO),
        closeTheRest(),
    });
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // Non-zero when the setup could not be built.
  int error() const { return error_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  static int firstError(std::initializer_list<int> results) {
    const auto failed = std::ranges::find_if(results, [](int result) { return result != 0; });
    return failed == results.end() ? 0 : *failed;
  }

  // The child closes them itself where the kernel has close_range. Elsewhere
  // the C library would fall back to listing /proc/self/fd in the child and
  // fail the start where /proc is not mounted, so this process marks them
  // close-on-exec instead, which cannot fail.
  int closeTheRest() {
    if (closeRangeAvailable()) {
      return ::posix_spawn_file_actions_addclosefrom_np(&actions_, kFirstInherited);
    }
    markCloseOnExecFrom(kFirstInherited);
    return 0;
  }

  posix_spawnattr_t attributes_{};
  posix_spawn_file_actions_t actions_{};
  int error_ = 0;
};

// Starts the first candidate that can be executed, as execvp would pick it;
// returns 0 or the errno that stopped the search.
int spawnAlongSearchPath(const std::vector<std::string>& candidates, const std::vector<char*>& argv,
                         const SpawnSetup& setup, pid_t& child) {
  int error = ENOENT;
  bool denied = false;
  for (const std::string& candidate : candidates) {
    error = ::posix_spawn(&child, candidate.c_str(), setup.actions(), setup.attributes(),
                          argv.data(), environ);
    if (error == 0) return 0;
    denied = denied || error == EACCES;
    if (!searchGoesOn(error)) break;
  }
  return denied && searchGoesOn(error) ? EACCES : error;
}

}  // namespace

StartResult start(std::string_view commandLine, ChildWatcher& children) {
  if (holdsNulCharacter(commandLine)) return std::string(kCommandLineHoldsNul);
  WindowsStart what = windowsStartOf(commandLine);
  const std::string& program = what.program;
  if (program.empty()) return std::string("The command line names no program to start.");
  std::vector<std::string>& arguments = what.arguments;
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const SpawnSetup setup;
  const auto started = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int error = setup.error() != 0
                        ? setup.error()
                        : spawnAlongSearchPath(candidatesFor(program), argv, setup, child);
  if (error != 0) {
    return "Cannot start \"" + program + "\": " + std::generic_category().message(error);
  }
  children.watch(child, started);
  return StartedProgram{child};
}

}  // namespace kiv::posix
