#include <gtest/gtest.h>

#include "ansi_text.h"
#include "process_start.h"
#include "stand_in_record.h"

namespace kiv {
namespace {

using testing::StandInRecord;

TEST(ProcessStart, StartsTheCommandLineAsItStands) {
  const StandInRecord record;
  // A Windows command line as compilation composes it: the program quoted,
  // switches, doubled blanks and quotation marks inside.
  const std::string commandLine =
      "\"" + fromAnsi(StandInRecord::program()) +
      R"(" "C:\Data\orders.mdb" /wrkgrp "C:\Data\secure.mdw"  /user Admin /x "Nightly run")";
  const StartResult result = startMinimised(commandLine);
  ASSERT_TRUE(result.started) << result.error;
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(record.commandLine(), commandLine);
}

TEST(ProcessStart, PassesTheCommandLineInTheCodePage) {
  const StandInRecord record;
  const std::string commandLine = "\"" + fromAnsi(StandInRecord::program()) +
                                  "\" \"C:\\Donn\xC3\xA9"
                                  "es\\caf\xC3\xA9.mdb\" /compact";
  ASSERT_TRUE(startMinimised(commandLine).started);
  EXPECT_EQ(record.commandLine(), toAnsi(commandLine));
}

TEST(ProcessStart, ReportsAProgramThatIsNotThereWithTheSystemsText) {
  const StartResult result =
      startMinimised(R"("C:\Nowhere\msaccess.exe" "C:\Data\orders.mdb" /compact)");
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(result.error.find_first_of("\r\n"), std::string::npos);
}

TEST(ProcessStart, RefusesACommandLineTheCodePageCannotCarry) {
  const StandInRecord record;
  const StartResult result =
      startMinimised("\"" + fromAnsi(StandInRecord::program()) + "\" \"C:\\\xD0\x96.mdb\"");
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error,
            "The command line holds a character that the system's code page cannot pass on.");
}

}  // namespace
}  // namespace kiv
