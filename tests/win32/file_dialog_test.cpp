#include <gtest/gtest.h>

#include "windows_api.h"

#include <dlgs.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialog_answerer.h"
#include "file_dialog.h"
#include "shell/open_save.h"
#include "wide_text.h"
#include "win32_platform.h"

namespace kiv {
namespace {

using testing::DialogAnswerer;

const std::string kScheduleFilter = cOpenSave::convertFilter("Schedule files (*.kiv)|*.kiv");

FileDialogRecord openRecord(const std::string& initialDir) {
  FileDialogRecord record;
  record.kind = FileDialogKind::Open;
  record.filter = kScheduleFilter;
  record.filterIndex = 1;
  record.file = std::string(kMaxPath, '\0');
  record.fileTitle = std::string(kMaxPath, '\0');
  record.initialDir = initialDir;
  record.title = "Open";
  record.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  record.ownedByMainWindow = true;
  return record;
}

// A folder of its own under the temporary folder, with one schedule file. Its
// name holds characters beyond the ANSI code page.
class DialogFolder : public ::testing::Test {
 protected:
  DialogFolder() {
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    folder = fromWide(temporary) + "kiv-dialog-\xCE\x94\xCE\xB2-" +
             std::to_string(GetCurrentProcessId());
    CreateDirectoryW(toWide(folder).c_str(), nullptr);
    schedule = folder + "\\nightly.kiv";
    std::ofstream(std::filesystem::path(toWide(schedule))) << "schedule";
  }
  ~DialogFolder() override {
    DeleteFileW(toWide(schedule).c_str());
    DeleteFileW(toWide(folder + "\\weekly.kiv").c_str());
    RemoveDirectoryW(toWide(folder).c_str());
  }

  std::string folder;
  std::string schedule;
};

using FileDialogRecordMapping = DialogFolder;

TEST_F(FileDialogRecordMapping, FillsThe76ByteDialogRecord) {
  HWND mainWindow = reinterpret_cast<HWND>(0x1234);
  const FileDialogCall call(mainWindow, openRecord(folder));
  const OPENFILENAMEW& dialog = call.dialogRecord();
  EXPECT_EQ(dialog.lStructSize, 76U);
  EXPECT_EQ(dialog.hwndOwner, mainWindow);
  EXPECT_EQ(std::wstring(dialog.lpstrFilter, kScheduleFilter.size()),
            std::wstring(L"Schedule files (*.kiv)\0*.kiv\0\0", 30));
  EXPECT_EQ(dialog.nFilterIndex, 1U);
  EXPECT_EQ(dialog.nMaxFile, 260U);
  EXPECT_STREQ(dialog.lpstrFile, L"");
  EXPECT_EQ(dialog.nMaxFileTitle, 260U);
  EXPECT_STREQ(dialog.lpstrFileTitle, L"");
  EXPECT_STREQ(dialog.lpstrInitialDir, toWide(folder).c_str());
  EXPECT_STREQ(dialog.lpstrTitle, L"Open");
  EXPECT_EQ(dialog.Flags, static_cast<DWORD>(0x1004));
  EXPECT_EQ(dialog.lpstrDefExt, nullptr);
  EXPECT_EQ(dialog.hInstance, nullptr);
  EXPECT_EQ(dialog.lpfnHook, nullptr);
  EXPECT_EQ(dialog.lpTemplateName, nullptr);
  EXPECT_EQ(dialog.lCustData, 0);
}

TEST_F(FileDialogRecordMapping, LeavesTheOwnerOutWhenTheCallerNamesNone) {
  FileDialogRecord record = openRecord(folder);
  record.ownedByMainWindow = false;
  const FileDialogCall call(reinterpret_cast<HWND>(0x1234), record);
  EXPECT_EQ(call.dialogRecord().hwndOwner, nullptr);
}

TEST_F(FileDialogRecordMapping, StartsInTheFolderOfAFileNamedAsTheStartingFolder) {
  EXPECT_EQ(dialogStartFolder(toWide(schedule)), toWide(folder));
  EXPECT_EQ(dialogStartFolder(toWide(folder)), toWide(folder));
  EXPECT_EQ(dialogStartFolder(LR"(C:\Nowhere\msaccess.exe)"), LR"(C:\Nowhere\msaccess.exe)");
  EXPECT_EQ(dialogStartFolder(L""), L"");
  const FileDialogCall call(nullptr, openRecord(schedule));
  EXPECT_STREQ(call.dialogRecord().lpstrInitialDir, toWide(folder).c_str());
  const FileDialogCall withoutFolder(nullptr, openRecord(""));
  EXPECT_EQ(withoutFolder.dialogRecord().lpstrInitialDir, nullptr);
}

// The dialog layer of the core (cOpenSave) over the real common dialogs: the
// user types a name into the dialog's file name field and presses OK.
class CommonDialogs : public DialogFolder {
 protected:
  static void typeFileNameAndOpen(HWND dialog, const std::string& name) {
    // The explorer-style dialog's file name field is a combo box or an edit.
    HWND field = GetDlgItem(dialog, cmb13);
    if (field == nullptr) field = GetDlgItem(dialog, edt1);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWide(name).c_str()));
    testing::pressButton(dialog, IDOK);
  }

  Win32Platform platform{GetModuleHandleA(nullptr)};
  cOpenSave dialog{platform};
  std::string filename;
  std::string fileTitle;
  std::string filter = "Schedule files (*.kiv)|*.kiv";
  std::int32_t filterIndex = 1;
  std::int32_t flags = OFN_HIDEREADONLY;
};

TEST_F(CommonDialogs, OpenReturnsTheChosenFile) {
  bool readOnly = false;
  DialogAnswerer user("#32770", "Open", [&](HWND box) { typeFileNameAndOpen(box, schedule); });
  const bool chosen =
      dialog.VBGetOpenFileName(filename, fileTitle, true, false, readOnly, false, filter,
                               filterIndex, folder, "Open", "", kNoOwner, flags);
  ASSERT_TRUE(user.answered());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(filename, schedule);
  EXPECT_EQ(fileTitle, "nightly.kiv");
  EXPECT_EQ(filter, std::string("Schedule files (*.kiv)\0*.kiv", 28));
  EXPECT_EQ(filterIndex, 1);
  EXPECT_NE(flags & OFN_FILEMUSTEXIST, 0);
  EXPECT_FALSE(readOnly);
}

TEST_F(CommonDialogs, SaveReturnsTheNameTyped) {
  DialogAnswerer user("#32770", "Save As",
                      [&](HWND box) { typeFileNameAndOpen(box, folder + "\\weekly.kiv"); });
  const bool chosen = dialog.VBGetSaveFileName(filename, fileTitle, true, filter, filterIndex,
                                               folder, "Save As", "", kNoOwner, flags);
  ASSERT_TRUE(user.answered());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(filename, folder + "\\weekly.kiv");
  EXPECT_EQ(fileTitle, "weekly.kiv");
  EXPECT_NE(flags & OFN_OVERWRITEPROMPT, 0);
}

TEST_F(CommonDialogs, CancelChoosesNothing) {
  bool readOnly = false;
  DialogAnswerer user("#32770", "Open", [](HWND box) { testing::pressButton(box, IDCANCEL); });
  const bool chosen =
      dialog.VBGetOpenFileName(filename, fileTitle, true, false, readOnly, false, filter,
                               filterIndex, folder, "Open", "", kNoOwner, flags);
  ASSERT_TRUE(user.answered());
  EXPECT_FALSE(chosen);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(filename, "");
  EXPECT_EQ(flags, 0);
}

}  // namespace
}  // namespace kiv
