#include <gtest/gtest.h>

#include "shell/open_save.h"
#include "support/form_fixture.h"

namespace kiv {
namespace {

using namespace std::string_literals;
using testing::FormTest;

struct ModeCase {
  int mode;
  int version;
  const char* title;
  std::string filter;
  std::uint32_t filterIndex;
  const char* initialDir;
  FileDialogKind kind;
  std::uint32_t flags;
};

TEST_F(FormTest, EachModeAsksWithItsTitleFilterAndFolder) {
  const std::string access =
      "Access (msaccess.exe)\0msaccess.exe\0Program files (*.exe)\0*.exe\0\0"s;
  const std::string database = "Database files (*.md?)\0*.md?\0All files (*.*)\0*.*\0\0"s;
  const std::string workgroup = "Workgroup files (*.mdw)\0*.mdw\0INI files (*.ini)\0*.ini\0\0"s;
  const std::string schedule = "Schedule files (*.kiv)\0*.kiv\0\0"s;
  const ModeCase cases[] = {
      {0, 4, "Select", access, 1, "/opt/db/access", FileDialogKind::Open, 0x1004},
      {1, 4, "Select", database, 1, "/srv/orders.mdb", FileDialogKind::Open, 0x1004},
      {2, 4, "Select", workgroup, 1, "/srv/secure.mdw", FileDialogKind::Open, 0x1004},
      {2, 0, "Select", workgroup, 2, "/srv/secure.mdw", FileDialogKind::Open, 0x1004},
      {3, 4, "Open", schedule, 1, "/home/u/schedules", FileDialogKind::Open, 0x1004},
      {4, 4, "Save As", schedule, 1, "/home/u/schedules", FileDialogKind::Save, 0x6},
  };
  fillRequiredFields();
  form.TBox[kSecurityFileBox].setText("/srv/secure.mdw");
  platform.folder = "/home/u/schedules";
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.mode);
    form.cmbVer.setListIndex(c.version);
    platform.fileDialogs.clear();
    platform.fileChoices.push_back({{0, 0}, ""});

    form.fctnCommonDialog(c.mode);

    ASSERT_EQ(platform.fileDialogs.size(), 1U);
    const FileDialogRecord& record = platform.fileDialogs[0];
    EXPECT_EQ(record.title, c.title);
    EXPECT_EQ(record.filter, c.filter);
    EXPECT_EQ(record.filterIndex, c.filterIndex);
    EXPECT_EQ(record.initialDir, c.initialDir);
    EXPECT_EQ(record.kind, c.kind);
    EXPECT_EQ(record.flags, c.flags);
    EXPECT_EQ(record.defaultExt, "");
    EXPECT_TRUE(record.ownedByMainWindow);
  }
}

// Where programs have no extension, only the program's dialog adds an entry
// for every file, after its own entries, which stay as they are.
TEST_F(FormTest, ProgramsWithoutExtensionsAddEveryFileToTheProgramDialogOnly) {
  const std::vector<std::pair<int, std::string>> filters{
      {0,
       "Access (msaccess.exe)\0msaccess.exe\0Program files (*.exe)\0*.exe\0All files (*)\0*\0\0"s},
      {1, "Database files (*.md?)\0*.md?\0All files (*.*)\0*.*\0\0"s},
      {2, "Workgroup files (*.mdw)\0*.mdw\0INI files (*.ini)\0*.ini\0\0"s},
      {3, "Schedule files (*.kiv)\0*.kiv\0\0"s},
      {4, "Schedule files (*.kiv)\0*.kiv\0\0"s},
  };
  platform.noProgramExtensions = true;
  for (const auto& [mode, filter] : filters) {
    platform.fileDialogs.clear();
    platform.fileChoices.push_back({{0, 0}, ""});
    form.fctnCommonDialog(mode);
    ASSERT_EQ(platform.fileDialogs.size(), 1U);
    EXPECT_EQ(platform.fileDialogs[0].filter, filter) << mode;
    EXPECT_EQ(platform.fileDialogs[0].filterIndex, 1U) << mode;
  }
}

TEST_F(FormTest, BrowseFillsTheLocationBoxAsAnEdit) {
  platform.fileChoices.push_back({{1, 0}, "/srv/new.mdb"});
  form.fctnChange(false);

  form.Command1[1].press();

  EXPECT_EQ(form.TBox[kDatabaseLocationBox].text(), "/srv/new.mdb");
  EXPECT_EQ(form.tasks[0].DatabaseLocation, "/srv/new.mdb");
  EXPECT_TRUE(form.mnuSave.enabled());
}

TEST_F(FormTest, ScheduleDialogsSetTheDocumentState) {
  platform.fileChoices.push_back({{1, 0}, "/home/u/Nightly.kiv"});
  form.fctnCommonDialog(kOpenScheduleDialog);
  EXPECT_EQ(form.OpenFileName, "/home/u/Nightly.kiv");
  EXPECT_EQ(form.ScheduleFileName, "/home/u/Nightly.kiv");
  EXPECT_FALSE(form.SaveChosen);

  platform.fileChoices.push_back({{1, 0}, "/home/u/Weekly.kiv"});
  form.fctnCommonDialog(kSaveScheduleDialog);
  EXPECT_EQ(form.ScheduleFileName, "/home/u/Weekly.kiv");
  EXPECT_TRUE(form.SaveChosen);
}

TEST_F(FormTest, CancelledOrUnknownDialogChangesNothing) {
  form.ScheduleFileName = "/home/u/a.kiv";
  form.fctnChange(false);
  for (int mode : {0, 1, 2, 3, 4}) {
    platform.fileChoices.push_back({{0, 0}, ""});
    form.fctnCommonDialog(mode);
  }
  form.fctnCommonDialog(kDialogModeCount);
  form.fctnCommonDialog(-1);

  EXPECT_EQ(platform.fileDialogs.size(), 5U);
  EXPECT_EQ(form.ScheduleFileName, "/home/u/a.kiv");
  EXPECT_EQ(form.OpenFileName, "");
  EXPECT_FALSE(form.SaveChosen);
  EXPECT_EQ(form.TBox[kAccessLocationBox].text(), "");
  EXPECT_FALSE(form.mnuSave.enabled());
}

}  // namespace
}  // namespace kiv
