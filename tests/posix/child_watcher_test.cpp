#include "posix/child_watcher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "child_process_support.h"
#include "posix/inherited_descriptors.h"
#include "posix/process_starter.h"
#include "stand_in_record.h"

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

bool readable(int fd) {
  pollfd ready{fd, POLLIN, 0};
  return ::poll(&ready, 1, 0) == 1;
}

bool noChildLeft() {
  errno = 0;
  return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

class ChildWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kiv_children_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void start(const std::string& commandLine) {
    const StartResult result = posix::start(commandLine, children);
    ASSERT_TRUE(result) << result.error();
  }

  fs::path file(const std::string& name) const { return folder_ / name; }

  std::vector<posix::ChildEnding> endings;
  posix::ChildWatcher children{
      [this](const posix::ChildEnding& ending) { endings.push_back(ending); }};

 private:
  fs::path folder_;
};

struct EndingCase {
  const char* line;
  bool killed;
  int status;
};

// How each program ended is reported: its exit status, or the signal that
// killed it.
TEST_F(ChildWatcherTest, ReportsTheExitStatusOrTheSignal) {
  const EndingCase cases[] = {
      {"/bin/true", false, 0},
      {R"(/bin/sh -c "exit 7")", false, 7},
      {R"(/bin/sh -c "kill -TERM $$")", true, SIGTERM},
      {R"(/bin/sh -c "kill -KILL $$")", true, SIGKILL},
  };
  for (const EndingCase& c : cases) {
    SCOPED_TRACE(c.line);
    endings.clear();
    start(c.line);
    ASSERT_TRUE(reapAll(children));
    ASSERT_EQ(endings.size(), 1U);
    EXPECT_GT(endings[0].pid, 0);
    EXPECT_EQ(endings[0].killed, c.killed);
    EXPECT_EQ(endings[0].status, c.status);
    EXPECT_FALSE(endings[0].coreDumped);
  }
  EXPECT_TRUE(noChildLeft());
}

TEST_F(ChildWatcherTest, ReportsHowLongTheProgramRan) {
  start("/bin/sleep 0.3");
  ASSERT_TRUE(reapAll(children));
  ASSERT_EQ(endings.size(), 1U);
  EXPECT_GE(endings[0].ran, milliseconds{300});
}

// A program that exits at once, started again and again: every one is
// reaped, none is left a zombie.
TEST_F(ChildWatcherTest, NoZombieRemainsAfterManyLaunches) {
  constexpr int kLaunches = 300;
  for (int launch = 0; launch < kLaunches; ++launch) {
    start("/bin/true");
    // An event loop reaps whenever the descriptor is readable.
    if (readable(children.descriptor())) children.reap();
  }
  ASSERT_TRUE(reapAll(children));
  EXPECT_EQ(endings.size(), static_cast<std::size_t>(kLaunches));
  EXPECT_TRUE(std::ranges::all_of(
      endings, [](const posix::ChildEnding& e) { return !e.killed && e.status == 0; }));
  EXPECT_EQ(children.watching(), 0U);
  EXPECT_TRUE(noChildLeft());
}

// Reads the process id a started script wrote to `file`, waiting for it.
pid_t pidWrittenTo(const fs::path& file) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    std::ifstream in(file);
    pid_t pid = 0;
    if (in >> pid && pid > 0) return pid;
    std::this_thread::sleep_for(milliseconds{50});
  }
  return 0;
}

// Gone, or a zombie that only its new parent has still to reap.
bool processGone(pid_t pid) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t state = line.rfind(')') + 2;
    if (state < line.size() && line[state] == 'Z') return true;
    std::this_thread::sleep_for(milliseconds{50});
  }
  return false;
}

struct EndCase {
  const char* name;
  bool leaderIgnoresTerm;
  std::vector<Ending> endings;
  int signal;  // that ended the program
};

// A program ended with its process group: asked with SIGTERM, made with
// SIGKILL. A child that ignores SIGTERM dies with it either way, also when
// the program itself obeyed SIGTERM and left it behind.
TEST_F(ChildWatcherTest, EndingAProgramEndsItsChildrenToo) {
  const EndCase cases[] = {
      {"leader obeys SIGTERM", false, {Ending::Gracefully}, SIGTERM},
      {"leader ignores SIGTERM", true, {Ending::Gracefully, Ending::Forcibly}, SIGKILL},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    endings.clear();
    const fs::path script = file("program.sh");
    const fs::path childPid = file(std::string("child-") + (c.leaderIgnoresTerm ? "1" : "0"));
    {
      std::ofstream out(script);
      out << "#!/bin/sh\n"
          << (c.leaderIgnoresTerm ? "trap '' TERM\n" : "")
          << "/bin/sh -c 'trap \"\" TERM; echo $$ > \"$0.part\"; mv \"$0.part\" \"$0\"; "
             "exec sleep 300' \"$1\" &\n"
          << "wait\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    const StartResult started =
        posix::start("\"" + script.string() + "\" \"" + childPid.string() + "\"", children);
    ASSERT_TRUE(started) << started.error();
    ASSERT_TRUE(started.value().processId);
    const pid_t child = pidWrittenTo(childPid);
    ASSERT_GT(child, 0);

    for (const Ending how : c.endings) {
      children.end(static_cast<pid_t>(*started.value().processId), how);
    }
    ASSERT_TRUE(reapAll(children));

    ASSERT_EQ(endings.size(), 1U);
    EXPECT_TRUE(endings[0].killed);
    EXPECT_EQ(endings[0].status, c.signal);
    EXPECT_TRUE(processGone(child));
  }
}

// While the program runs, the descriptor stays quiet and reaping finds
// nothing; it becomes readable when the program ends.
TEST_F(ChildWatcherTest, ARunningProgramIsLeftAlone) {
  const fs::path hold = file("hold");
  ASSERT_EQ(::mkfifo(hold.c_str(), 0600), 0);
  ASSERT_EQ(::setenv("KIV_STAND_IN_WAIT", hold.c_str(), 1), 0);
  ASSERT_EQ(::setenv("KIV_STAND_IN_RECORD", file("record").c_str(), 1), 0);
  start("\"" KIV_STAND_IN "\" /compact");
  ::unsetenv("KIV_STAND_IN_WAIT");
  ::unsetenv("KIV_STAND_IN_RECORD");

  EXPECT_FALSE(readable(children.descriptor()));
  children.reap();
  EXPECT_EQ(children.watching(), 1U);
  EXPECT_TRUE(endings.empty());

  const int writer = ::open(hold.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ::close(writer);
  ASSERT_TRUE(reapAll(children));
  ASSERT_EQ(endings.size(), 1U);
  EXPECT_EQ(endings[0].status, 0);
}

// Only the programs the watcher was given are reaped: another child of this
// process stays for its own owner to wait for.
TEST_F(ChildWatcherTest, OtherChildrenAreLeftToTheirOwner) {
  const pid_t own = ::fork();
  ASSERT_GE(own, 0);
  if (own == 0) ::_exit(3);
  start("/bin/true");
  ASSERT_TRUE(reapAll(children));
  // The other child has surely ended by now; it is still there to be reaped.
  int status = 0;
  ASSERT_EQ(::waitpid(own, &status, 0), own);
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

// On a kernel without close_range and process descriptors (before 5.3)
// programs still start, inherit nothing, and are reaped.
TEST_F(ChildWatcherTest, WorksWithoutCloseRangeAndProcessDescriptors) {
  const fs::path record = file("record");
  const std::string answer = inChildProcess([&]() -> std::string {
    if (!refuseSystemCalls({SYS_close_range, SYS_pidfd_open})) {
      return std::string(kSkipped) + "no system call filter here";
    }
    if (posix::closeRangeAvailable()) return "close_range still answers";
    int careless[2];
    if (::pipe(careless) != 0) return "no pipe";
    ::setenv("KIV_STAND_IN_RECORD", record.c_str(), 1);
    std::vector<posix::ChildEnding> seen;
    posix::ChildWatcher watcher([&](const posix::ChildEnding& e) { seen.push_back(e); });
    const StartResult result = posix::start("\"" KIV_STAND_IN "\" /compact", watcher);
    if (!result) return "not started: " + result.error();
    if (!reapAll(watcher)) return "not reaped";
    if (seen.size() != 1 || seen[0].killed || seen[0].status != 0) return "ending not reported";
    if (!noChildLeft()) return "a child is left";
    std::ifstream in(record);
    const auto parsed = parseStandInRecord(std::string{std::istreambuf_iterator<char>(in), {}});
    if (!parsed) return "no record";
    if (parsed->fields.at("fds") != "0 1 2") return "inherited " + parsed->fields.at("fds");
    return "";
  });
  if (answer.starts_with(kSkipped)) GTEST_SKIP() << answer;
  EXPECT_EQ(answer, "");
}

}  // namespace
}  // namespace kiv::testing
