#include "shell/open_save.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace kiv {
namespace {

using namespace std::string_literals;

TEST(OpenSaveFilter, BarsAndColonsBecomeNuls) {
  EXPECT_EQ(cOpenSave::convertFilter("Schedule files (*.kiv)|*.kiv"),
            "Schedule files (*.kiv)\0*.kiv\0\0"s);
  EXPECT_EQ(cOpenSave::convertFilter("A:a|B|b"), "A\0a\0B\0b\0\0"s);
  EXPECT_EQ(cOpenSave::convertFilter(""), "\0\0"s);
}

TEST(OpenSaveFilter, EntriesAreDescriptionNulPattern) {
  const std::string filter =
      cOpenSave::convertFilter("Workgroup files (*.mdw)|*.mdw|INI files (*.ini)|*.ini");
  EXPECT_EQ(cOpenSave::FilterEntry(filter, 1), "Workgroup files (*.mdw)\0*.mdw"s);
  EXPECT_EQ(cOpenSave::FilterEntry(filter, 2), "INI files (*.ini)\0*.ini"s);
  EXPECT_EQ(cOpenSave::FilterEntry(filter, 3), "");
  EXPECT_EQ(cOpenSave::FilterEntry(filter, 0), "");
  EXPECT_EQ(cOpenSave::FilterEntry("", 1), "");
  EXPECT_EQ(cOpenSave::FilterEntry("\0\0"s, 1), "");
}

TEST(OpenSaveFilter, TrimAtNull) {
  EXPECT_EQ(cOpenSave::TrimAtNull("abc\0def"s), "abc");
  EXPECT_EQ(cOpenSave::TrimAtNull("abc"), "abc");
  EXPECT_EQ(cOpenSave::TrimAtNull("\0"s), "");
}

class OpenSaveTest : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  cOpenSave dialog{platform};
  std::string filename = "start.kiv";
  std::string fileTitle;
  std::string filter = "Schedule files (*.kiv)|*.kiv|All (*.*)|*.*";
  std::int32_t filterIndex = 2;
};

TEST_F(OpenSaveTest, OpenRecordCarriesEveryInputAndFlag) {
  platform.fileChoices.push_back({{1, 0}, "/home/u/nightly.kiv"});
  bool readOnly = true;
  std::int32_t flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;

  ASSERT_TRUE(dialog.VBGetOpenFileName(filename, fileTitle, true, true, readOnly, false, filter,
                                       filterIndex, "/home/u", "Open", "kiv", kNoOwner, flags));

  const FileDialogRecord& record = platform.fileDialogs.at(0);
  EXPECT_EQ(record.kind, FileDialogKind::Open);
  EXPECT_EQ(record.flags, static_cast<std::uint32_t>(OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT |
                                                     OFN_READONLY | OFN_HIDEREADONLY));
  EXPECT_EQ(record.filter, "Schedule files (*.kiv)\0*.kiv\0All (*.*)\0*.*\0\0"s);
  EXPECT_EQ(record.filterIndex, 2U);
  EXPECT_EQ(record.file.size(), kMaxPath);
  EXPECT_EQ(cOpenSave::TrimAtNull(record.file), "start.kiv");
  EXPECT_EQ(record.initialDir, "/home/u");
  EXPECT_EQ(record.title, "Open");
  EXPECT_EQ(record.defaultExt, "kiv");
  EXPECT_FALSE(record.ownedByMainWindow);

  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(filename, "/home/u/nightly.kiv");
  EXPECT_EQ(fileTitle, "nightly.kiv");
  EXPECT_EQ(filter, "All (*.*)\0*.*"s);
  EXPECT_TRUE(readOnly);
}

TEST_F(OpenSaveTest, SaveFlagsAlwaysHideReadOnly) {
  platform.fileChoices.push_back({{1, 0}, "/tmp/a.kiv"});
  std::int32_t flags = OFN_ENABLEHOOK;

  ASSERT_TRUE(dialog.VBGetSaveFileName(filename, fileTitle, true, filter, filterIndex, "/tmp",
                                       "Save As", "", kMainWindowOwner, flags));

  const FileDialogRecord& record = platform.fileDialogs.at(0);
  EXPECT_EQ(record.kind, FileDialogKind::Save);
  EXPECT_EQ(record.flags, static_cast<std::uint32_t>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
  EXPECT_TRUE(record.ownedByMainWindow);
  EXPECT_EQ(filename, "/tmp/a.kiv");
}

TEST_F(OpenSaveTest, CancelAndFailureClearTheOutputs) {
  platform.fileChoices.push_back({{0, 0}, ""});
  platform.fileChoices.push_back({{2, 0x3002}, ""});
  for (std::int32_t expectedError : {0, 0x3002}) {
    std::int32_t flags = OFN_HIDEREADONLY;
    fileTitle = "x";
    EXPECT_FALSE(dialog.VBGetSaveFileName(filename, fileTitle, false, filter, filterIndex, "",
                                          "Save As", "", kNoOwner, flags));
    EXPECT_EQ(filename, "");
    EXPECT_EQ(fileTitle, "");
    EXPECT_EQ(filter, "");
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(dialog.ExtendedError(), expectedError);
  }
}

}  // namespace
}  // namespace kiv
