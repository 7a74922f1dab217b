// Kiv and kivctl hold passwords in memory: neither may leave a core dump, so
// each is started as a user would start it and killed with SIGQUIT, whose
// default action is to dump core.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "posix/core_dumps.h"
#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "support/failure_of.h"
#include "support/temp_folder.h"

extern char** environ;

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;

// The soft core file size limit of a running process, from /proc.
std::optional<std::string> coreLimitOf(pid_t pid) {
  std::ifstream limits("/proc/" + std::to_string(pid) + "/limits");
  for (std::string line; std::getline(limits, line);) {
    if (!line.starts_with("Max core file size")) continue;
    std::istringstream fields(line.substr(std::string("Max core file size").size()));
    std::string soft;
    fields >> soft;
    return soft;
  }
  return std::nullopt;
}

bool leftACoreFile(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with("core")) return true;
  }
  return false;
}

// Starts `arguments` in `folder` with the hard core file size limit as its
// soft one, so that only the program itself can keep a dump from being
// written, and returns once the program runs: the pipe closes on exec.
pid_t startWithCoreDumpsAllowed(std::vector<std::string> arguments, const fs::path& folder,
                                const std::vector<std::string>& environment) {
  int started[2] = {-1, -1};
  if (::pipe2(started, O_CLOEXEC) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid != 0) {
    ::close(started[1]);
    char ignored = 0;
    while (::read(started[0], &ignored, 1) < 0 && errno == EINTR) {
    }
    ::close(started[0]);
    return pid;
  }
  rlimit limit{};
  ::getrlimit(RLIMIT_CORE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_CORE, &limit);
  if (::chdir(folder.c_str()) != 0) ::_exit(127);
  for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  ::execve(argv[0], argv.data(), environ);
  ::_exit(127);
}

struct Death {
  bool bySigquit = false;
  bool dumpedCore = false;
};

Death quit(pid_t pid) {
  ::kill(pid, SIGQUIT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFSIGNALED(status) && WTERMSIG(status) == SIGQUIT, WCOREDUMP(status) != 0};
}

// Whether a process that does nothing against it dumps core here at all:
// the kernel's core pattern or a container may keep every dump from being
// written, and then nothing can be learnt.
bool thisSystemDumpsCore(const fs::path& folder) {
  const pid_t pid = startWithCoreDumpsAllowed({"/bin/sleep", "60"}, folder, {});
  std::this_thread::sleep_for(std::chrono::milliseconds{100});
  const bool dumped = quit(pid).dumpedCore;
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
  return dumped;
}

struct ProgramCase {
  const char* name;
  std::vector<std::string> arguments;  // "@" stands for the schedule file
  std::vector<std::string> environment;
};

void PrintTo(const ProgramCase& c, std::ostream* os) {
  *os << c.name;
}

class NoCoreDump : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(NoCoreDump, EvenWhenTheLimitIsRaisedFromOutside) {
  const ProgramCase& c = GetParam();
  const TempFolder folder;
  const TempFolder work;
  if (!thisSystemDumpsCore(work.path())) GTEST_SKIP() << "this system writes no core dumps";
  const fs::path schedule = folder.path() / "schedule.kiv";
  posix::PosixFileStorage storage;
  ASSERT_EQ(testing::failureOf(writeScheduleFile(schedule, TaskTable{}, storage)), std::nullopt);
  std::vector<std::string> arguments = c.arguments;
  for (std::string& argument : arguments) {
    if (argument == "@") argument = schedule.string();
  }
  std::vector<std::string> environment = c.environment;
  environment.push_back("XDG_CONFIG_HOME=" + folder.path().string());
  // AddressSanitizer's runtime sets the limit to 0 itself before main runs;
  // the wait below would then end before the program made itself
  // undumpable, and the dump that followed would be the test's doing.
  environment.push_back("ASAN_OPTIONS=disable_coredump=0");

  const pid_t pid = startWithCoreDumpsAllowed(arguments, work.path(), environment);
  // The program lowers its own limit first thing; wait for it, within bounds.
  std::optional<std::string> limit = coreLimitOf(pid);
  for (int look = 0; look < 200 && limit != "0"; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
    limit = coreLimitOf(pid);
  }
  EXPECT_EQ(limit, "0");
  // Raised again from outside, the limit alone would not stop a dump: the
  // process must also be marked as one that is never dumped.
  rlimit raised{};
  ASSERT_EQ(::prlimit(pid, RLIMIT_CORE, nullptr, &raised), 0);
  raised.rlim_cur = raised.rlim_max;
  ASSERT_EQ(::prlimit(pid, RLIMIT_CORE, &raised, nullptr), 0);
  const Death death = quit(pid);

  EXPECT_TRUE(death.bySigquit);
  EXPECT_FALSE(death.dumpedCore);
  EXPECT_FALSE(leftACoreFile(work.path()));
}

std::vector<ProgramCase> programs() {
  std::vector<ProgramCase> cases{{"kivctl", {KIVCTL, "run", "@"}, {}}};
#ifdef KIV
  cases.push_back({"kiv", {KIV, "/o", "@"}, {"QT_QPA_PLATFORM=offscreen"}});
#endif
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Programs, NoCoreDump, ::testing::ValuesIn(programs()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ForbidCoreDumps, MarksTheProcessAndLimitsCoreFilesToNothing) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    rlimit limit{};
    const bool forbidden = posix::forbidCoreDumps() && ::prctl(PR_GET_DUMPABLE) == 0 &&
                           ::getrlimit(RLIMIT_CORE, &limit) == 0 && limit.rlim_cur == 0;
    ::_exit(forbidden ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace kiv::testing
