#include "posix/launch_journal_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

using testing::TempFolder;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string readText(const LaunchJournalFile& journal) {
  const auto text = journal.read();
  EXPECT_TRUE(text) << (text ? "" : text.error().reason);
  return text ? text.value() : "";
}

mode_t modeOf(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// "writer 1 line 42 xxxx...": a line a test can check for being whole.
std::string numberedLine(int writer, int number, std::size_t length) {
  std::string line = "{\"writer\":" + std::to_string(writer) +
                     ",\"line\":" + std::to_string(number) + ",\"pad\":\"";
  line.append(length, static_cast<char>('a' + writer));
  return line + "\"}";
}

TEST(LaunchJournalFile, CreatesAPrivateFileInAPrivateFolderAndReadsItBack) {
  TempFolder folder;
  const LaunchJournalFile journal(folder.path() / "state" / "kiv" / "launches.jsonl");
  EXPECT_EQ(readText(journal), "");  // none yet

  EXPECT_EQ(journal.append(R"({"a":1})"), std::nullopt);
  EXPECT_EQ(journal.append(R"({"b":2})"), std::nullopt);

  EXPECT_EQ(readText(journal), "{\"a\":1}\n{\"b\":2}\n");
  EXPECT_EQ(modeOf(journal.file()), 0600U);
  EXPECT_EQ(modeOf(journal.file().parent_path()), 0700U);
}

TEST(LaunchJournalFile, AJournalThatCannotBeWrittenSaysWhy) {
  TempFolder folder;
  testing::writeAll(folder.path() / "kiv", {'x'});  // a file where the folder should be
  const LaunchJournalFile journal(folder.path() / "kiv" / "launches.jsonl");
  const auto failure = journal.append("{}");
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find((folder.path() / "kiv").string()), std::string::npos) << *failure;
  EXPECT_FALSE(journal.read());
}

TEST(LaunchJournalFile, RotatesAtOneMegabyteKeepingOnePreviousFile) {
  TempFolder folder;
  const LaunchJournalFile journal(folder.path() / "launches.jsonl");
  const std::size_t lineLength = numberedLine(0, 0, 1000).size() + 1;
  const int perFile = static_cast<int>(kJournalRotateAt / lineLength);
  const int total = perFile * 5 / 2;  // two rotations and a half
  for (int number = 0; number < total; ++number) {
    ASSERT_EQ(journal.append(numberedLine(0, number, 1000)), std::nullopt) << number;
  }

  EXPECT_LE(std::filesystem::file_size(journal.file()), kJournalRotateAt);
  EXPECT_LE(std::filesystem::file_size(journal.previousFile()), kJournalRotateAt);
  EXPECT_EQ(modeOf(journal.previousFile()), 0600U);
  EXPECT_EQ(folder.names().size(), 2U);
  // The newest lines, every one of them, in order: the two files hold what
  // came after the oldest was dropped.
  const std::vector<std::string> lines = linesOf(readText(journal));
  ASSERT_GE(lines.size(), static_cast<std::size_t>(perFile));
  const int first = total - static_cast<int>(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i], numberedLine(0, first + static_cast<int>(i), 1000)) << i;
  }
}

// Two processes append at once, across rotations: no line is cut or mixed
// with another, and what the two files keep of each writer is an unbroken run
// ending with its last line.
TEST(LaunchJournalFile, TwoWritersNeverInterleaveOrLoseLinesAcrossRotation) {
  TempFolder folder;
  const LaunchJournalFile journal(folder.path() / "launches.jsonl");
  constexpr int kLines = 700;
  constexpr std::size_t kPad = 2000;  // 2 × 700 × 2 KB: rotates once or twice
  std::vector<pid_t> writers;
  for (int writer = 1; writer <= 2; ++writer) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int number = 0; number < kLines; ++number) {
        if (journal.append(numberedLine(writer, number, kPad))) std::_Exit(1);
      }
      std::_Exit(0);
    }
    writers.push_back(pid);
  }
  for (const pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::map<int, std::vector<int>> seen;
  for (const std::string& line : linesOf(readText(journal))) {
    const int writer = line.size() > 10 ? line[10] - '0' : 0;
    ASSERT_TRUE(writer == 1 || writer == 2) << line.substr(0, 40);
    const int number = std::atoi(line.c_str() + line.find("\"line\":") + 7);
    ASSERT_EQ(line, numberedLine(writer, number, kPad)) << line.substr(0, 40);
    seen[writer].push_back(number);
  }
  for (int writer = 1; writer <= 2; ++writer) {
    const std::vector<int>& numbers = seen[writer];
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.back(), kLines - 1) << writer;
    for (std::size_t i = 1; i < numbers.size(); ++i) {
      ASSERT_EQ(numbers[i], numbers[i - 1] + 1) << "writer " << writer;
    }
  }
}

TEST(LaunchJournalFile, APreviousFileCutShortStillEndsItsLine) {
  TempFolder folder;
  const LaunchJournalFile journal(folder.path() / "launches.jsonl");
  testing::writeAll(journal.previousFile(), {'{', '"', 'c', 'u'});
  ASSERT_EQ(journal.append("{}"), std::nullopt);
  EXPECT_EQ(readText(journal), "{\"cu\n{}\n");
}

TEST(LaunchJournalFile, TheUsersJournalFollowsXdgStateHome) {
  const std::string savedState = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  ::setenv("XDG_STATE_HOME", "/srv/state", 1);
  EXPECT_EQ(LaunchJournalFile::forUser().file(), "/srv/state/kiv/launches.jsonl");
  // A relative value does not count.
  ::setenv("XDG_STATE_HOME", "state", 1);
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(LaunchJournalFile::forUser().file(), "/home/someone/.local/state/kiv/launches.jsonl");
  ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace kiv::posix
