#pragma once

#include "windows_api.h"

#include <commdlg.h>

#include <string>

#include "shell/platform.h"

namespace kiv {

// One call of the common dialogs: the dialog record (OPENFILENAMEW in its
// 76-byte form, without the later extension members) filled from the core's
// record, with the wide buffers it points into.
class FileDialogCall {
 public:
  FileDialogCall(HWND mainWindow, const FileDialogRecord& record);
  FileDialogCall(const FileDialogCall&) = delete;
  FileDialogCall& operator=(const FileDialogCall&) = delete;

  const OPENFILENAMEW& dialogRecord() const { return dialog_; }

  // Runs the dialog: 1 when a file was chosen, then the core's record takes
  // the chosen path, name, filter entry and flags; 0 when the user cancelled;
  // -1 with CommDlgExtendedError's code when the dialog failed.
  FileDialogOutcome run(FileDialogRecord& record);

 private:
  std::wstring filter_;
  std::wstring file_;
  std::wstring fileTitle_;
  std::wstring initialDir_;
  std::wstring title_;
  std::wstring defaultExt_;
  OPENFILENAMEW dialog_{};
};

// Where a dialog starts for a starting-folder text: the location boxes hold
// whole file paths, and a dialog starts in the folder of such a file.
std::wstring dialogStartFolder(const std::wstring& text);

}  // namespace kiv
