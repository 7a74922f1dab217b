#include "posix/process_starter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "child_process_support.h"
#include "stand_in_record.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;

// Sets PATH while it lives.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) : saved_(std::getenv("PATH")) {
    ::setenv("PATH", value.c_str(), 1);
  }
  ScopedPath(const ScopedPath&) = delete;
  ScopedPath& operator=(const ScopedPath&) = delete;
  ~ScopedPath() { ::setenv("PATH", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

// Each test gets a folder of its own and a FIFO in it as the stand-in's
// record: reading it waits until the stand-in has written its record, with no
// polling.
class ProcessStarter : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kiv_posix_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    record_ = folder_ / "record";
    ASSERT_EQ(::mkfifo(record_.c_str(), 0600), 0);
    ASSERT_EQ(::setenv("KIV_STAND_IN_RECORD", record_.c_str(), 1), 0);
  }

  void TearDown() override {
    EXPECT_TRUE(kiv::testing::reapAll(children_)) << "a started program is still running";
    ::unsetenv("KIV_STAND_IN_RECORD");
    fs::remove_all(folder_);
  }

  static std::string standInLine(const std::string& arguments) {
    return "\"" KIV_STAND_IN "\" " + arguments;
  }

  StartResult start(const std::string& commandLine) { return posix::start(commandLine, children_); }

  // Starts the line; once the program runs, reads the record it wrote.
  std::optional<StandInRecord> launch(const std::string& commandLine) {
    const StartResult result = start(commandLine);
    if (!result) {
      ADD_FAILURE() << "not started: " << result.error();
      return std::nullopt;
    }
    std::ifstream fifo(record_);
    const std::string text{std::istreambuf_iterator<char>(fifo), {}};
    std::optional<StandInRecord> record = parseStandInRecord(text);
    if (!record) ADD_FAILURE() << "unreadable record:\n" << text;
    return record;
  }

  const fs::path& folder() const { return folder_; }
  const fs::path& record() const { return record_; }
  fs::path file(const std::string& name) const { return folder_ / name; }

  void writeFile(const std::string& name, const std::string& text, fs::perms permissions) const {
    std::ofstream(file(name)) << text;
    fs::permissions(file(name), permissions);
  }

  static std::string cannotStart(const std::string& program, int error) {
    return "Cannot start \"" + program + "\": " + std::generic_category().message(error);
  }

  posix::ChildWatcher& children() { return children_; }

 private:
  fs::path folder_;
  fs::path record_;
  posix::ChildWatcher children_;
};

TEST_F(ProcessStarter, ArgumentsArriveExactly) {
  const auto record = launch(standInLine(
      R"("D:\Data\Orders.mdb" /wrkgrp "D:\Data\Secure.mdw"  /user Admin "" "two  blanks" )"
      "\"line\nbreak\" say\\\"hi\\\" C:\\Dir\\ ends\\\\\"\" "));
  ASSERT_TRUE(record);
  const std::vector<std::string> expected{KIV_STAND_IN,
                                          R"(D:\Data\Orders.mdb)",
                                          "/wrkgrp",
                                          R"(D:\Data\Secure.mdw)",
                                          "/user",
                                          "Admin",
                                          "",
                                          "two  blanks",
                                          "line\nbreak",
                                          R"(say"hi")",
                                          R"(C:\Dir\)",
                                          R"(ends\)"};
  EXPECT_EQ(record->arguments, expected);
}

// Text right after the program's closing quote is no argument of its own: the
// program that CreateProcess picks is started, and it is told a name that
// runs on to the next blank, as its C runtime would read the line.
TEST_F(ProcessStarter, TheProgramIsToldItsNameAsItsCRuntimeReadsIt) {
  const auto record = launch("\"" KIV_STAND_IN "\"x y");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->arguments, (std::vector<std::string>{KIV_STAND_IN "x", "y"}));
}

TEST_F(ProcessStarter, ProgramLeadsASessionOfItsOwn) {
  const auto record = launch(standInLine("/compact"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fields.at("sid"), record->fields.at("pid"));
  EXPECT_NE(record->fields.at("sid"), std::to_string(::getsid(0)));
}

TEST_F(ProcessStarter, StandardStreamsAreDevNull) {
  const auto record = launch(standInLine("/compact"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fields.at("stdin"), "/dev/null");
  EXPECT_EQ(record->fields.at("stdout"), "/dev/null");
  EXPECT_EQ(record->fields.at("stderr"), "/dev/null");
}

// A descriptor opened with close-on-exec, and a pipe opened without it as a
// careless library might: the program inherits neither.
TEST_F(ProcessStarter, NoDescriptorOfOursLeaks) {
  writeFile("open.txt", "x", fs::perms::owner_read | fs::perms::owner_write);
  const int closeOnExec = ::open(file("open.txt").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(closeOnExec, 0);
  int careless[2];
  ASSERT_EQ(::pipe(careless), 0);

  const auto record = launch(standInLine("/compact"));

  ::close(closeOnExec);
  ::close(careless[0]);
  ::close(careless[1]);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fields.at("fds"), "0 1 2");
}

// The program is our child until it ends, and the watcher reaps it then:
// afterwards waitpid finds no child at all, not even a zombie.
TEST_F(ProcessStarter, TheProgramIsOurChildAndIsReaped) {
  const auto record = launch(standInLine("/compact"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fields.at("ppid"), std::to_string(::getpid()));
  ASSERT_TRUE(kiv::testing::reapAll(children()));
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

// The program leads a session of its own and goes on running when the
// process that started it ends without waiting for it.
TEST_F(ProcessStarter, TheProgramOutlivesTheProcessThatStartedIt) {
  const fs::path hold = file("hold");
  ASSERT_EQ(::mkfifo(hold.c_str(), 0600), 0);
  ASSERT_EQ(::setenv("KIV_STAND_IN_WAIT", hold.c_str(), 1), 0);
  const std::string line = standInLine("/compact");
  const pid_t starter = ::fork();
  ASSERT_GE(starter, 0);
  if (starter == 0) {
    posix::ChildWatcher children;
    ::_exit(posix::start(line, children).ok() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(starter, &status, 0), starter);
  ::unsetenv("KIV_STAND_IN_WAIT");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  // The stand-in still runs, waiting; closing the FIFO lets it write.
  const int writer = ::open(hold.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ::close(writer);
  std::ifstream fifo(record());
  const std::optional<StandInRecord> parsed =
      parseStandInRecord(std::string{std::istreambuf_iterator<char>(fifo), {}});
  ASSERT_TRUE(parsed);
  EXPECT_NE(parsed->fields.at("ppid"), std::to_string(starter));
  EXPECT_EQ(parsed->fields.at("sid"), parsed->fields.at("pid"));
}

// A GUI program commonly ignores SIGPIPE, and the calling thread may block
// signals; neither reaches the program it starts.
TEST_F(ProcessStarter, ProgramStartsWithDefaultSignals) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &previous), 0);
  sigset_t usr1;
  sigemptyset(&usr1);
  sigaddset(&usr1, SIGUSR1);
  sigset_t savedMask;
  ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &usr1, &savedMask), 0);

  const auto record = launch(standInLine("/compact"));

  ::pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
  ::sigaction(SIGPIPE, &previous, nullptr);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->fields.at("ignored_signals"), "");
  EXPECT_EQ(record->fields.at("blocked_signals"), "");
}

TEST_F(ProcessStarter, RecordsWhenTheProgramStarted) {
  timespec before{};
  ::clock_gettime(CLOCK_REALTIME, &before);
  const auto record = launch(standInLine("/compact"));
  ASSERT_TRUE(record);
  timespec after{};
  ::clock_gettime(CLOCK_REALTIME, &after);
  const long long startedNs = std::stoll(record->fields.at("started_ns"));
  EXPECT_GE(startedNs, before.tv_sec * 1'000'000'000LL + before.tv_nsec);
  EXPECT_LE(startedNs, after.tv_sec * 1'000'000'000LL + after.tv_nsec);
}

// Shell syntax is plain text to the program: no second command runs and no
// file is created.
TEST_F(ProcessStarter, NoShellInterpretsTheLine) {
  const std::string amp = file("amp").string();
  const std::string dollar = file("dollar").string();
  const std::string tick = file("tick").string();
  const std::string redirect = file("redirect").string();
  const auto record =
      launch(standInLine("a;touch " + amp + " && touch " + amp + " $(touch " + dollar +
                         ") `touch " + tick + "` > " + redirect + " | cat $HOME"));
  ASSERT_TRUE(record);
  const std::vector<std::string> expected{
      KIV_STAND_IN, "a;touch",  amp, "&&",     "touch", amp,   "$(touch", dollar + ")",
      "`touch",     tick + "`", ">", redirect, "|",     "cat", "$HOME"};
  EXPECT_EQ(record->arguments, expected);
  for (const std::string& made : {amp, dollar, tick, redirect}) {
    EXPECT_FALSE(fs::exists(made)) << made;
  }
}

// A name without a slash is looked up along PATH, as execvp does: a folder
// without the program, or with a file of that name that cannot be executed,
// is passed over.
TEST_F(ProcessStarter, FindsProgramAlongPath) {
  const std::string name = fs::path(KIV_STAND_IN).filename().string();
  writeFile(name, "#!/bin/sh\n", fs::perms::owner_read | fs::perms::owner_write);
  const ScopedPath path(file("missing").string() + ":" + folder().string() + ":" +
                        fs::path(KIV_STAND_IN).parent_path().string());

  const auto record = launch(name + " /compact");

  ASSERT_TRUE(record);
  EXPECT_EQ(record->arguments, (std::vector<std::string>{name, "/compact"}));
}

TEST_F(ProcessStarter, ProgramFoundOnlyWithoutExecutePermissionAlongPathIsAnError) {
  writeFile("program", "#!/bin/sh\n", fs::perms::owner_read | fs::perms::owner_write);
  const ScopedPath path(folder().string() + ":" + file("missing").string());
  const StartResult result = start("program /compact");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), cannotStart("program", EACCES));
}

TEST_F(ProcessStarter, MissingProgramIsAnErrorNamingIt) {
  const std::string absent = file("absent").string();
  const StartResult result = start("\"" + absent + "\" /compact");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), cannotStart(absent, ENOENT));
}

TEST_F(ProcessStarter, ProgramMissingFromPathIsAnErrorNamingIt) {
  const StartResult result = start("kiv-no-such-program /compact");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), cannotStart("kiv-no-such-program", ENOENT));
}

TEST_F(ProcessStarter, FileWithoutExecutePermissionIsAnErrorNamingIt) {
  writeFile("plain", "#!/bin/sh\n", fs::perms::owner_read | fs::perms::owner_write);
  const StartResult result = start("\"" + file("plain").string() + "\"");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), cannotStart(file("plain").string(), EACCES));
}

// execvp would hand an executable text without "#!" to /bin/sh; the starter
// reports it instead, so the text never runs.
TEST_F(ProcessStarter, ExecutableTextIsNotRunByAShell) {
  const std::string marker = file("ran").string();
  writeFile("script", "touch " + marker + "\n", fs::perms::owner_all);
  const StartResult result = start("\"" + file("script").string() + "\"");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), cannotStart(file("script").string(), ENOEXEC));
  EXPECT_FALSE(fs::exists(marker));
}

TEST_F(ProcessStarter, LineWithoutProgramIsAnError) {
  for (const char* line : {"", "   \t ", "\"\" /compact"}) {
    const StartResult result = start(line);
    EXPECT_FALSE(result) << '[' << line << ']';
    EXPECT_EQ(result.error(), "The command line names no program to start.") << '[' << line << ']';
  }
}

// Every argument reaches a program as a text that ends at a NUL, so a line
// holding one would start a program other than the one it names, or give it
// another database.
TEST_F(ProcessStarter, LineHoldingANulIsNotStarted) {
  using namespace std::string_literals;
  for (const std::string& line : {standInLine("\"/srv/orders\0-copy.mdb\" /compact"s),
                                  "\"" KIV_STAND_IN "\0/../../../../bin/false\" /compact"s}) {
    const StartResult result = start(line);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error(), "The command line holds a NUL character, which would cut it short.");
  }
}

}  // namespace
}  // namespace kiv
