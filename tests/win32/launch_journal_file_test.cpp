#include "launch_journal_file.h"

#include <gtest/gtest.h>

#include "windows_api.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "support/failure_of.h"

namespace kiv {
namespace {

using testing::failureOf;

class Win32Journal : public ::testing::Test {
 protected:
  Win32Journal() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::filesystem::path(temp) / (L"kiv-journal-" + std::to_wstring(GetTickCount()));
    std::filesystem::remove_all(folder_);
  }
  ~Win32Journal() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

TEST_F(Win32Journal, AppendsLinesAndReadsThemBack) {
  const Win32JournalFile journal(folder_ / L"Kiv" / L"launches.jsonl");
  const auto empty = journal.read();
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty.value(), "");

  EXPECT_EQ(failureOf(journal.append(R"({"a":1})")), std::nullopt);
  EXPECT_EQ(failureOf(journal.append(R"({"b":"\u00e9"})")), std::nullopt);
  const auto text = journal.read();
  ASSERT_TRUE(text);
  EXPECT_EQ(text.value(), "{\"a\":1}\n{\"b\":\"\\u00e9\"}\n");
}

TEST_F(Win32Journal, RotatesAtOneMegabyteKeepingOnePreviousFile) {
  const Win32JournalFile journal(folder_ / L"launches.jsonl");
  const std::string line(999, 'x');
  const int perFile = static_cast<int>(kJournalRotateAt / (line.size() + 1));
  for (int number = 0; number < perFile * 5 / 2; ++number) {
    ASSERT_EQ(failureOf(journal.append(line)), std::nullopt) << number;
  }
  EXPECT_LE(std::filesystem::file_size(journal.file()), kJournalRotateAt);
  EXPECT_LE(std::filesystem::file_size(journal.previousFile()), kJournalRotateAt);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2);
}

TEST_F(Win32Journal, AJournalThatCannotBeWrittenSaysWhy) {
  std::filesystem::create_directories(folder_);
  std::ofstream(folder_ / L"Kiv") << "a file where the folder should be";
  const Win32JournalFile journal(folder_ / L"Kiv" / L"launches.jsonl");
  const auto failure = failureOf(journal.append("{}"));
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("launches.jsonl"), std::string::npos) << *failure;
}

TEST_F(Win32Journal, TheUsersJournalIsInLocalAppData) {
  wchar_t saved[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH);
  SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\me\\AppData\\Local");
  EXPECT_EQ(Win32JournalFile::forUser().file(),
            std::filesystem::path(L"C:\\Users\\me\\AppData\\Local\\Kiv\\launches.jsonl"));
  SetEnvironmentVariableW(L"LOCALAPPDATA", saved);
}

}  // namespace
}  // namespace kiv
