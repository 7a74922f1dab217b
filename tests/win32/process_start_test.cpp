#include <gtest/gtest.h>

#include "process_start.h"
#include "stand_in_record.h"
#include "unique_handle.h"
#include "windows_api.h"

namespace kiv {
namespace {

using testing::StandInRecord;

std::string standInLine(const std::string& arguments) {
  return "\"" + StandInRecord::program() + "\" " + arguments;
}

// Starts `commandLine`, closing the program's handle at once (it goes with
// the result): its id or why it did not start.
Result<DWORD, std::string> started(const std::string& commandLine) {
  const Result<StartedProcess, std::string> result = startMinimised(commandLine);
  if (!result) return result.error();
  return result.value().id;
}

TEST(ProcessStart, StartsTheCommandLineExactlyAsItStands) {
  // Command lines as compilation composes them: the program quoted, switches,
  // doubled blanks and quotation marks inside, and characters of every kind,
  // those the ANSI code page lacks among them.
  for (
      const std::string& arguments : {
          std::string(
              R"("C:\Data\orders.mdb" /wrkgrp "C:\Data\secure.mdw"  /user Admin /x "Nightly run")"),
          std::string("\"C:\\Donn\xC3\xA9"
                      "es\\caf\xC3\xA9.mdb\" /compact"),
          std::string("\"C:\\w32\\\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1-\xCE\x94.mdb\" /user "
                      "\xCE\xB1\xCE\xB2\xCE\xB3 /pwd \xF0\x9F\x98\x80 /compact"),
      }) {
    const StandInRecord record;
    const std::string commandLine = standInLine(arguments);
    const Result<DWORD, std::string> result = started(commandLine);
    ASSERT_TRUE(result) << result.error();
    EXPECT_NE(result.value(), 0U);
    EXPECT_EQ(record.commandLine(), commandLine);
  }
}

TEST(ProcessStart, ReportsAFailureWithTheSystemsTextNamingTheProgram) {
  char temporary[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporary);
  const std::string notAProgram = std::string(temporary) + "kiv-not-a-program.txt";
  {
    const UniqueHandle file(CreateFileA(notAProgram.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), "notes", 5, &written, nullptr);
  }

  for (const std::string& program : {std::string(R"(C:\Nowhere\msaccess.exe)"), notAProgram}) {
    const Result<DWORD, std::string> result =
        started("\"" + program + R"(" "C:\Data\orders.mdb" /pwd secret /compact)");
    ASSERT_FALSE(result) << program;
    EXPECT_FALSE(result.error().empty()) << program;
    EXPECT_EQ(result.error().find_first_of("\r\n%"), std::string::npos) << result.error();
    EXPECT_EQ(result.error().find("secret"), std::string::npos) << result.error();
  }
  // A file that is no program: the system's text names it.
  const Result<DWORD, std::string> result = started("\"" + notAProgram + "\" /compact");
  ASSERT_FALSE(result);
  EXPECT_NE(result.error().find(notAProgram), std::string::npos) << result.error();
  DeleteFileA(notAProgram.c_str());
}

// CreateProcess reads a command line up to its first NUL: the program would
// get another database, or another program would start, than the line shows.
TEST(ProcessStart, RefusesALineHoldingANul) {
  using namespace std::string_literals;
  for (const std::string& commandLine :
       {standInLine("\"C:\\Data\\orders\0-copy.mdb\" /compact"s),
        "\""s + StandInRecord::program() + "\" /compact\0 /excl"s}) {
    const Result<DWORD, std::string> result = started(commandLine);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), "The command line holds a NUL character, which would cut it short.");
  }
}

}  // namespace
}  // namespace kiv
