#include "console_platform.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "kivctl_process.h"
#include "posix/stand_in_record.h"
#include "shell/tray_tip.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using testing::TempFolder;

class ConsolePlatformTest : public ::testing::Test {
 protected:
  std::ostringstream out;
  std::ostringstream err;
  ConsolePlatform platform{"/srv/nightly.kiv", out, err};
};

// "2026-12-10 02:00:00 " and the text, once.
void expectTimestampedLine(const std::string& written, const std::string& text) {
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)\n)");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(written, match, line)) << written;
  EXPECT_EQ(match[1], text);
}

TEST_F(ConsolePlatformTest, AMessageIsATimestampedLineAndAQuestionTakesItsSafeAnswer) {
  const std::vector<std::pair<MessageButtons, MessageAnswer>> cases{
      {MessageButtons::Ok, MessageAnswer::Ok},
      {MessageButtons::YesNo, MessageAnswer::No},
      {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
  };
  for (const auto& [buttons, answer] : cases) {
    err.str("");
    MessageBoxRequest request;
    request.text = "Save this schedule?";
    request.buttons = buttons;
    request.defaultButton = 0;  // even where the window would preselect Yes
    EXPECT_EQ(platform.messageBox(request), answer);
    expectTimestampedLine(err.str(), "Save this schedule?");
  }
  EXPECT_EQ(out.str(), "");
}

TEST_F(ConsolePlatformTest, AMessageOfSeveralParagraphsIsStillOneLine) {
  platform.messageBox({"Kiv - Kivander v7.0.0\r\n\r\nDatabase administration.\nEnd",
                       MessageButtons::Ok, MessageIcon::None, 0, "Kiv"});
  expectTimestampedLine(err.str(), "Kiv - Kivander v7.0.0 Database administration. End");
}

TEST_F(ConsolePlatformTest, OnlyAModifiedTipIsPrinted) {
  NotifyIconData data;
  setTrayTip(data, "Last launch: task 3 @ 10-Dec-2026 02:00:00 (scheduled)");
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Add, data));
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Delete, data));
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Modify, data));
  EXPECT_EQ(out.str(), "Last launch: task 3 @ 10-Dec-2026 02:00:00 (scheduled)\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(ConsolePlatformTest, NobodyAnswersDialogsAndNothingIsStored) {
  EXPECT_EQ(platform.inputBox("Enter a path", "Kiv"), "");
  FileDialogRecord record;
  const FileDialogOutcome outcome = platform.fileDialog(record);
  EXPECT_EQ(outcome.apiReturn, 0);
  EXPECT_EQ(outcome.extendedError, 0);
  platform.writeSetting("Kiv", "FileLoc", "4", "/opt/db/access");
  EXPECT_EQ(platform.readSetting("Kiv", "FileLoc", "4"), "");
  EXPECT_EQ(platform.commandArguments(), "/o /srv/nightly.kiv");
  EXPECT_EQ(out.str() + err.str(), "");
}

TEST_F(ConsolePlatformTest, ClockTextsAreFixedAndEnglish) {
  EXPECT_EQ(platform.generalDateTime(fromCivil({2026, 12, 6, 15, 4, 5})), "2026-12-06 15:04:05");
  const std::vector<std::string> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(platform.monthAbbreviation(month), months.at(static_cast<std::size_t>(month - 1)));
  }
}

TEST_F(ConsolePlatformTest, SavesOwnerOnlyAndRefusesToReadAPipe) {
  namespace fs = std::filesystem;
  TempFolder folder;
  const fs::path saved = folder.path() / "saved.kiv";
  const std::vector<std::uint8_t> bytes{1, 2, 3};
  ASSERT_EQ(platform.fileStorage().replaceFile(saved, bytes), std::nullopt);
  EXPECT_EQ(testing::readAll(saved), bytes);
  EXPECT_EQ(fs::status(saved).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  const fs::path pipe = folder.path() / "pipe.kiv";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const auto read = platform.fileStorage().readFile(pipe, 100);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().number, file_error::kNotARegularFile);
}

// A start that fails is told once, by the core's notification naming the
// task; the platform itself says nothing, so the command line (which may
// hold a password) never reaches the log.
TEST_F(ConsolePlatformTest, ANotificationIsATimestampedLineAndAFailedStartSaysNothingItself) {
  const StartResult result = platform.startProcess(R"("/no/such/program" /pwd Sesame)");
  EXPECT_FALSE(result.started);
  EXPECT_EQ(err.str(), "");

  platform.notify("Kiv", "Task 3 could not be started: " + result.error);
  expectTimestampedLine(err.str(), "Task 3 could not be started: " + result.error);
  EXPECT_EQ(out.str(), "");
}

// The status of a launch that ends the program never reaches the icon, so it
// is printed as the program ends.
TEST_F(ConsolePlatformTest, ALaunchThatEndsTheProgramStillPrintsItsStatus) {
  TempFolder folder;
  const auto record = folder.path() / "record";
  ASSERT_EQ(::setenv("KIV_STAND_IN_RECORD", record.c_str(), 1), 0);
  NotifyIconData tray;
  platform.watchTray(tray);

  setTrayTip(tray, "Last launch: task 1 @ 10-Dec-2026 02:00:00 (scheduled)");
  ASSERT_TRUE(platform.startProcess(std::string("\"") + KIV_STAND_IN + "\" one").started);
  platform.notifyIcon(TrayOperation::Modify, tray);
  setTrayTip(tray, "Last launch: task 2 @ 10-Dec-2026 02:00:00 (scheduled)");
  ASSERT_TRUE(platform.startProcess(std::string("\"") + KIV_STAND_IN + "\" two").started);
  EXPECT_FALSE(platform.ended());
  platform.endProcess();

  EXPECT_TRUE(platform.ended());
  EXPECT_EQ(out.str(),
            "Last launch: task 1 @ 10-Dec-2026 02:00:00 (scheduled)\n"
            "Last launch: task 2 @ 10-Dec-2026 02:00:00 (scheduled)\n");
  // Both programs really started.
  testing::waitForText(record, "arg 3 one\nend\n");
  const std::string records = testing::waitForText(record, "arg 3 two\nend\n");
  EXPECT_NE(records.find("arg 3 one\nend\n"), std::string::npos) << records;
  EXPECT_NE(records.find("arg 3 two\nend\n"), std::string::npos) << records;
  ::unsetenv("KIV_STAND_IN_RECORD");
}

}  // namespace
}  // namespace kiv::ctl
