#include "file_dialog.h"

#include <algorithm>
#include <cstddef>

#include "shell/open_save.h"
#include "wide_text.h"

namespace kiv {
namespace {

// The record without the members Windows 2000 added: up to lpTemplateName.
constexpr DWORD kDialogRecordSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
static_assert(kDialogRecordSize == 76);

constexpr std::int32_t kDialogFailed = -1;

// A buffer the dialog writes into: the text up to its first NUL, then NUL
// characters up to the size the dialog may fill, at least one of them.
std::wstring dialogBuffer(const std::string& utf8) {
  std::wstring buffer = toWide(cOpenSave::TrimAtNull(utf8));
  buffer.resize(std::max(buffer.size() + 1, kMaxPath), L'\0');
  return buffer;
}

// An empty text asks for the dialog's default.
const wchar_t* orDefault(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

std::wstring dialogStartFolder(const std::wstring& text) {
  const DWORD attributes = GetFileAttributesW(text.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return text;
  }
  const std::size_t separator = text.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : text.substr(0, separator);
}

FileDialogCall::FileDialogCall(HWND mainWindow, const FileDialogRecord& record)
    : filter_(toWide(record.filter)),
      file_(dialogBuffer(record.file)),
      fileTitle_(dialogBuffer(record.fileTitle)),
      initialDir_(dialogStartFolder(toWide(record.initialDir))),
      title_(toWide(record.title)),
      defaultExt_(toWide(record.defaultExt)) {
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
      record.kind == FileDialogKind::Save ? GetSaveFileNameW(&dialog_) : GetOpenFileNameW(&dialog_);
  if (chosen == FALSE) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return {0, 0};
    return {kDialogFailed, static_cast<std::int32_t>(error)};
  }
  record.file = fromWide(file_);
  record.fileTitle = fromWide(fileTitle_);
  record.filterIndex = dialog_.nFilterIndex;
  record.flags = dialog_.Flags;
  return {1, 0};
}

}  // namespace kiv
