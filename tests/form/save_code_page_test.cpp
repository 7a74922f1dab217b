#include <gtest/gtest.h>

#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

// A code page of plain ASCII: what the system hands in decides how schedule
// texts are stored, not the built-in Windows-1252.
class AsciiCodePage final : public CodePage {
 public:
  Result<std::string, EncodeFailure> encode(std::string_view utf8) const override {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      if (static_cast<unsigned char>(utf8[i]) > 0x7F) {
        return EncodeFailure{EncodeFailure::Reason::NoCodePageForm, i + 1, U'?'};
      }
    }
    return std::string(utf8);
  }
  std::string decode(std::string_view bytes) const override {
    std::string utf8;
    for (const char byte : bytes) utf8 += static_cast<unsigned char>(byte) > 0x7F ? '#' : byte;
    return utf8;
  }
  std::string name() const override { return "ASCII"; }
};

class PlatformCodePage : public testing::FormTest {
 protected:
  void SetUp() override {
    platform.codePage = &ascii;
    FormTest::SetUp();
  }
  AsciiCodePage ascii;
  testing::TempFolder folder;
};

TEST_F(PlatformCodePage, SaveUsesThePlatformsCodePage) {
  form.TBox[kTaskNameBox].setText("Caf\xC3\xA9");
  form.ScheduleFileName = (folder.path() / "a.kiv").string();

  form.mnuSave.press();

  ASSERT_FALSE(platform.messages.empty());
  EXPECT_NE(platform.messages.back().text.find("Task 1, TaskName"), std::string::npos);
  EXPECT_NE(platform.messages.back().text.find("has no form in the ASCII code page"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "a.kiv"));
  EXPECT_TRUE(form.mnuSave.enabled());
}

TEST_F(PlatformCodePage, OpenUsesThePlatformsCodePage) {
  TaskTable tasks;
  tasks[0].TaskName = "Caf\xC3\xA9";
  const auto path = folder.path() / "b.kiv";
  ASSERT_TRUE(writeScheduleFile(path, tasks, platform).ok());

  std::string file = path.string();
  form.fctnOpen(file);

  EXPECT_EQ(form.tasks[0].TaskName, "Caf#");
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "Caf#");
}

// The options dialog judges a backup folder by the code page the schedule is
// saved in, and so does the form with the dialog's answer.
TEST_F(PlatformCodePage, OptionsRefuseAFolderThePlatformsCodePageLacks) {
  const std::string folderName = "D:\\Caf\xC3\xA9";
  TaskOptions chosen;
  chosen.backupFolder = folderName;
  platform.optionsAnswers = {chosen};

  form.mnuOptions.press();

  ASSERT_EQ(platform.optionsDialogs.size(), 1U);
  EXPECT_EQ(platform.optionsDialogs[0].folderProblem("D:\\Cafe"), "");
  EXPECT_EQ(platform.optionsDialogs[0].folderProblem(folderName),
            "In the backup folder, the character \"?\" (U+003F) at position 7 has no form in the "
            "ASCII code page.");
  EXPECT_EQ(form.tasks[0].Options, TaskOptions{});
  EXPECT_FALSE(form.mnuSave.enabled());
}

}  // namespace
}  // namespace kiv
