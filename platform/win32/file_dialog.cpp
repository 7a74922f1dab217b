#include "file_dialog.h"

#include <algorithm>
#include <cstddef>

#include "ansi_text.h"
#include "shell/open_save.h"

namespace kiv {
namespace {

// The record without the members Windows 2000 added: up to lpTemplateName.
constexpr DWORD kDialogRecordSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(kDialogRecordSize == 76);

constexpr std::int32_t kDialogFailed = -1;

// A buffer the dialog writes into: the text up to its first NUL, then NUL
// characters up to the size the dialog may fill, at least one of them.
std::string dialogBuffer(const std::string& utf8) {
  std::string buffer = toAnsi(cOpenSave::TrimAtNull(utf8));
  buffer.resize(std::max(buffer.size() + 1, kMaxPath), '\0');
  return buffer;
}

// An empty text asks for the dialog's default.
const char* orDefault(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

std::string dialogStartFolder(const std::string& ansiText) {
  const DWORD attributes = GetFileAttributesA(ansiText.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return ansiText;
  }
  const std::size_t separator = ansiText.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : ansiText.substr(0, separator);
}

FileDialogCall::FileDialogCall(HWND mainWindow, const FileDialogRecord& record)
    : filter_(toAnsi(record.filter)),
      file_(dialogBuffer(record.file)),
      fileTitle_(dialogBuffer(record.fileTitle)),
      initialDir_(dialogStartFolder(toAnsi(record.initialDir))),
      title_(toAnsi(record.title)),
      defaultExt_(toAnsi(record.defaultExt)) {
  dialog_.lStructSize = kDialogRecordSize;
  dialog_.hwndOwner = record.ownedByMainWindow ? mainWindow : nullptr;
  dialog_.lpstrFilter = filter_.c_str();
  dialog_.nFilterIndex = record.filterIndex;
  dialog_.lpstrFile = file_.data();
  dialog_.nMaxFile = static_cast<DWORD>(file_.size());
  dialog_.lpstrFileTitle = fileTitle_.data();
  dialog_.nMaxFileTitle = static_cast<DWORD>(fileTitle_.size());
  dialog_.lpstrInitialDir = orDefault(initialDir_);
  dialog_.lpstrTitle = orDefault(title_);
  dialog_.Flags = record.flags;
  dialog_.lpstrDefExt = orDefault(defaultExt_);
}

FileDialogOutcome FileDialogCall::run(FileDialogRecord& record) {
  const BOOL chosen =
      record.kind == FileDialogKind::Save ? GetSaveFileNameA(&dialog_) : GetOpenFileNameA(&dialog_);
  if (chosen == FALSE) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return {0, 0};
    return {kDialogFailed, static_cast<std::int32_t>(error)};
  }
  record.file = fromAnsi(file_);
  record.fileTitle = fromAnsi(fileTitle_);
  record.filterIndex = dialog_.nFilterIndex;
  record.flags = dialog_.Flags;
  return {1, 0};
}

}  // namespace kiv
