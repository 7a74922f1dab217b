// kivctl history as a user meets it: the real binary, printing into a
// terminal of a known width or into a file, and failing on a journal or a
// schedule it cannot read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "history_command.h"
#include "kivctl_process.h"
#include "posix/unique_fd.h"
#include "schedule_files.h"
#include "support/temp_folder.h"

namespace kiv::testing {
namespace {

const std::string kLaunchLine =
    R"({"record":"launch","at":"2027-03-28 07:00:00","schedule":"/srv/kiv/orders nightly.kiv",)"
    R"("task":12,"taskName":"Überprüfung der Lagerbestände","how":"scheduled",)"
    R"("commandLine":null,"result":"notStarted","reason":"database busy: Task 3 (Nightly )"
    R"(compact of the orders database) is still running on it after a wait of 1 h 0 min"})"
    "\n";

// A user's state folder holding a journal of one launch.
class HistoryConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(journal.parent_path());
    writeAll(journal, std::vector<std::uint8_t>(kLaunchLine.begin(), kLaunchLine.end()));
  }

  // The table kivctl prints of the journal, fitted into `width`.
  static std::string tableOf(std::optional<std::size_t> width) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ctl::historyCommand({}, {false, width}, kLaunchLine, out, err), 0) << err.str();
    return out.str();
  }

  std::vector<std::string> environment() const {
    return {"XDG_STATE_HOME=" + state.path().string()};
  }

  TempFolder state;
  std::filesystem::path journal = state.path() / "kiv" / "launches.jsonl";
};

// A terminal's side, the test's, and the side kivctl writes to, with the
// given number of columns and no translation of line ends.
struct Terminal {
  explicit Terminal(unsigned short columns) {
    ourSide = posix::UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!ourSide || ::grantpt(ourSide.get()) != 0 || ::unlockpt(ourSide.get()) != 0) return;
    name = ::ptsname(ourSide.get());
    // Held open so what kivctl wrote stays readable after it ended.
    theirSide = posix::UniqueFd(::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios settings{};
    ::tcgetattr(theirSide.get(), &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(theirSide.get(), TCSANOW, &settings);
    const winsize size{24, columns, 0, 0};
    ::ioctl(theirSide.get(), TIOCSWINSZ, &size);
  }

  // What arrived, once it is `length` bytes long or nothing more came for a
  // long while (the test then fails on the text).
  std::string received(std::size_t length) const {
    std::string text;
    pollfd readable{ourSide.get(), POLLIN, 0};
    while (text.size() < length && ::poll(&readable, 1, 20'000) > 0) {
      char buffer[4096];
      const ssize_t count = ::read(ourSide.get(), buffer, sizeof buffer);
      if (count <= 0) break;
      text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
  }

  posix::UniqueFd ourSide;
  posix::UniqueFd theirSide;
  std::string name;
};

TEST_F(HistoryConsoleTest, TheTableIsAsWideAsTheTerminalOrEightyColumns) {
  const std::string narrow = tableOf(50);
  ASSERT_NE(narrow, tableOf(80));
  ASSERT_NE(tableOf(80), tableOf(std::nullopt));

  const Terminal terminal(50);
  ASSERT_FALSE(terminal.name.empty());
  const TempFolder logs;
  KivctlProcess process({"history"}, logs.path(), environment(), terminal.name);
  const Ending ending = process.wait();
  EXPECT_EQ(ending.status, 0) << process.err();
  EXPECT_EQ(terminal.received(narrow.size()), narrow);

  struct Case {
    std::vector<std::string> arguments;
    std::optional<std::size_t> width;
  };
  const std::vector<Case> toAFile{
      {{"history"}, 80},
      {{"history", "--wide"}, std::nullopt},
  };
  for (const Case& c : toAFile) {
    const Finished finished = runKivctl(c.arguments, environment());
    EXPECT_EQ(finished.ending.status, 0) << finished.err;
    EXPECT_EQ(finished.out, tableOf(c.width)) << c.arguments.back();
  }
}

// An empty table would look like a schedule that never launched.
TEST_F(HistoryConsoleTest, AJournalOrScheduleThatCannotBeReadFails) {
  const TempFolder other;
  const std::string noState = "XDG_STATE_HOME=" + (other.path() / "none").string();
  const std::string missingSchedule = (other.path() / "missing.kiv").string();
  std::filesystem::create_directories(other.path() / "folder as journal" / "kiv" /
                                      "launches.jsonl");
  const std::string journalAFolder =
      "XDG_STATE_HOME=" + (other.path() / "folder as journal").string();
  std::filesystem::create_directories(other.path() / "nothing yet" / "kiv");
  const std::string nothingYet = "XDG_STATE_HOME=" + (other.path() / "nothing yet").string();
  const std::string noFolder = "kivctl: the launch journal cannot be read: its folder " +
                               (other.path() / "none" / "kiv").string() +
                               " does not exist: no Kiv program has run as this user here\n";
  struct Case {
    std::vector<std::string> arguments;
    std::string environment;
    int status;
    std::string err;  // its beginning
    std::string out;
  };
  const std::vector<Case> cases{
      {{"history"}, noState, 1, noFolder, ""},
      {{"history", "--json"}, noState, 1, noFolder, ""},
      {{"history"}, journalAFolder, 1, "kivctl: the launch journal cannot be read: ", ""},
      {{"history", missingSchedule},
       environment().front(),
       1,
       "kivctl: " + missingSchedule + ": 2: No such file or directory\n",
       ""},
      {{"history"}, nothingYet, 0, "", "at  task  name  how  result  outcome  schedule\n"},
      {{"history", "--json"}, nothingYet, 0, "", "[]\n"},
  };
  for (const Case& c : cases) {
    const Finished finished = runKivctl(c.arguments, {c.environment});
    EXPECT_TRUE(finished.ending.exited);
    EXPECT_EQ(finished.ending.status, c.status) << c.environment << ": " << finished.err;
    EXPECT_TRUE(finished.err.starts_with(c.err)) << c.environment << ": " << finished.err;
    EXPECT_EQ(std::ranges::count(finished.err, '\n'), c.err.empty() ? 0 : 1) << finished.err;
    EXPECT_EQ(finished.out, c.out) << c.environment;
  }
}

}  // namespace
}  // namespace kiv::testing
