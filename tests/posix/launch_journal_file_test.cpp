#include "posix/launch_journal_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/failure_of.h"
#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

using testing::failureOf;
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

  EXPECT_EQ(failureOf(journal.append(R"({"a":1})")), std::nullopt);
  EXPECT_EQ(failureOf(journal.append(R"({"b":2})")), std::nullopt);

  EXPECT_EQ(readText(journal), "{\"a\":1}\n{\"b\":2}\n");
  EXPECT_EQ(modeOf(journal.file()), 0600U);
  EXPECT_EQ(modeOf(journal.file().parent_path()), 0700U);
}

TEST(LaunchJournalFile, AJournalThatCannotBeWrittenSaysWhy) {
  TempFolder folder;
  testing::writeAll(folder.path() / "kiv", {'x'});  // a file where the folder should be
  const LaunchJournalFile journal(folder.path() / "kiv" / "launches.jsonl");
  const auto failure = failureOf(journal.append("{}"));
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
    ASSERT_EQ(failureOf(journal.append(numberedLine(0, number, 1000))), std::nullopt) << number;
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
        if (!journal.append(numberedLine(writer, number, kPad))) std::_Exit(1);
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
  ASSERT_EQ(failureOf(journal.append("{}")), std::nullopt);
  EXPECT_EQ(readText(journal), "{\"cu\n{}\n");
}

// A pipe or a device planted at a journal's name would block an open or a
// read for good, and so every launch after it; a link would lead out of the
// user's folder. Each is refused at once, with its name.
TEST(LaunchJournalFile, AnythingButARegularFileIsRefusedAtOnce) {
  struct Case {
    const char* name;
    bool atCurrent;  // else at the previous file
    std::function<void(const std::filesystem::path&)> plant;
  };
  const Case cases[] = {
      {"PipeAsTheJournal", true, [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"PipeAsThePreviousFile", false,
       [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"EndlessDeviceAsThePreviousFile", false,
       [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); }},
      {"LinkAsTheJournal", true,
       [](const auto& p) {
         testing::writeAll(p.parent_path() / "elsewhere", {'{', '}', '\n'});
         std::filesystem::create_symlink(p.parent_path() / "elsewhere", p);
       }},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const LaunchJournalFile journal(folder.path() / "launches.jsonl");
    const std::filesystem::path planted = c.atCurrent ? journal.file() : journal.previousFile();
    c.plant(planted);

    const auto read = journal.read();
    ASSERT_FALSE(read) << c.name;
    EXPECT_EQ(read.error().reason, planted.string() + ": not a regular file") << c.name;
    if (c.atCurrent) {
      EXPECT_EQ(failureOf(journal.append("{}")), planted.string() + ": not a regular file")
          << c.name;
    } else {
      EXPECT_EQ(failureOf(journal.append("{}")), std::nullopt) << c.name;
    }
  }
}

TEST(LaunchJournalFile, AFileLargerThanAJournalGrowsIsNotReadWhole) {
  TempFolder folder;
  const LaunchJournalFile journal(folder.path() / "launches.jsonl");
  testing::writeAll(journal.previousFile(),
                    std::vector<std::uint8_t>(kJournalReadLimit + 1, std::uint8_t{'\n'}));
  const auto read = journal.read();
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().reason,
            journal.previousFile().string() + ": larger than a journal file grows (4194304 bytes)");
}

// A folder on a file system of 8 kB, for as long as it lives; mounting needs
// root.
class SmallFileSystem {
 public:
  SmallFileSystem() {
    const std::string command =
        "mount -t tmpfs -o size=8k,mode=0700 tmpfs '" + folder_.path().string() + "' 2>/dev/null";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) std::system(("umount '" + folder_.path().string() + "'").c_str());
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TempFolder folder_;
  bool mounted_ = false;
};

// A full disk cuts a line short; the next line, once there is room again,
// must not begin after the fragment, where no reader would find it.
TEST(LaunchJournalFile, ALineCutShortByAFullDiskIsTakenAway) {
  const SmallFileSystem disk;
  if (!disk.mounted()) GTEST_SKIP() << "a small file system needs root to mount";
  const std::filesystem::path filler = disk.path() / "filler";
  testing::writeAll(filler, std::vector<std::uint8_t>(4096, std::uint8_t{'x'}));
  const LaunchJournalFile journal(disk.path() / "launches.jsonl");

  std::vector<std::string> written;
  for (int number = 0;; ++number) {
    ASSERT_LT(number, 100) << "the file system never filled up";
    const std::string line = numberedLine(1, number, 1000);
    if (!journal.append(line)) break;
    written.push_back(line);
  }
  std::filesystem::remove(filler);
  const std::string last = numberedLine(2, 0, 10);
  ASSERT_EQ(failureOf(journal.append(last)), std::nullopt);

  written.push_back(last);
  EXPECT_EQ(linesOf(readText(journal)), written);
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
