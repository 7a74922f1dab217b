#include "shell/open_save.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr std::int32_t kCallerMayNotSet = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;

std::string nulPadded(const std::string& text) {
  std::string buffer = text;
  if (buffer.size() < kMaxPath) buffer.resize(kMaxPath, '\0');
  return buffer;
}

}  // namespace

std::string cOpenSave::convertFilter(std::string_view filter) {
  std::string converted(filter);
  std::replace_if(
      converted.begin(), converted.end(), [](char c) { return c == '|' || c == ':'; }, '\0');
  return converted + std::string(2, '\0');
}

std::string cOpenSave::TrimAtNull(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

std::string cOpenSave::FilterEntry(std::string_view filter, std::int32_t n) {
  std::size_t position = 0;
  for (std::int32_t entry = 1; position < filter.size(); ++entry) {
    const std::string description = TrimAtNull(filter.substr(position));
    if (description.empty()) break;
    const std::size_t patternStart = position + description.size() + 1;
    if (patternStart > filter.size()) break;
    const std::string pattern = TrimAtNull(filter.substr(patternStart));
    if (entry == n) return description + '\0' + pattern;
    position = patternStart + pattern.size() + 1;
  }
  return "";
}

bool cOpenSave::VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                                  bool MultiSelect, bool& ReadOnly, bool HideReadOnly,
                                  std::string& Filter, std::int32_t& FilterIndex,
                                  const std::string& InitDir, const std::string& DlgTitle,
                                  const std::string& DefaultExt, std::int32_t Owner,
                                  std::int32_t& flags) {
  flags = (FileMustExist ? OFN_FILEMUSTEXIST : 0) | (MultiSelect ? OFN_ALLOWMULTISELECT : 0) |
          (ReadOnly ? OFN_READONLY : 0) | (HideReadOnly ? OFN_HIDEREADONLY : 0) |
          (flags & ~kCallerMayNotSet);
  const bool chosen = run(FileDialogKind::Open, Filename, FileTitle, Filter, FilterIndex, InitDir,
                          DlgTitle, DefaultExt, Owner, flags);
  if (chosen && (flags & OFN_READONLY) != 0) ReadOnly = true;
  return chosen;
}

bool cOpenSave::VBGetSaveFileName(std::string& Filename, std::string& FileTitle,
                                  bool OverWritePrompt, std::string& Filter,
                                  std::int32_t& FilterIndex, const std::string& InitDir,
                                  const std::string& DlgTitle, const std::string& DefaultExt,
                                  std::int32_t Owner, std::int32_t& flags) {
  flags =
      (OverWritePrompt ? OFN_OVERWRITEPROMPT : 0) | OFN_HIDEREADONLY | (flags & ~kCallerMayNotSet);
  return run(FileDialogKind::Save, Filename, FileTitle, Filter, FilterIndex, InitDir, DlgTitle,
             DefaultExt, Owner, flags);
}

bool cOpenSave::run(FileDialogKind kind, std::string& Filename, std::string& FileTitle,
                    std::string& Filter, std::int32_t& FilterIndex, const std::string& InitDir,
                    const std::string& DlgTitle, const std::string& DefaultExt, std::int32_t Owner,
                    std::int32_t& flags) {
  apiReturn_ = 0;
  extendedError_ = 0;

  FileDialogRecord record;
  record.kind = kind;
  record.filter = convertFilter(Filter);
  record.filterIndex = static_cast<std::uint32_t>(FilterIndex);
  record.file = nulPadded(Filename);
  record.fileTitle = nulPadded(FileTitle);
  record.initialDir = InitDir;
  record.title = DlgTitle;
  record.defaultExt = DefaultExt;
  record.flags = static_cast<std::uint32_t>(flags);
  record.ownedByMainWindow = Owner != kNoOwner;

  const FileDialogOutcome outcome = platform_.fileDialog(record);
  apiReturn_ = outcome.apiReturn;
  if (apiReturn_ != 0 && apiReturn_ != 1) extendedError_ = outcome.extendedError;

  if (apiReturn_ != 1) {
    Filename.clear();
    FileTitle.clear();
    Filter.clear();
    flags = 0;
    return false;
  }
  Filename = TrimAtNull(record.file);
  FileTitle = TrimAtNull(record.fileTitle);
  FilterIndex = static_cast<std::int32_t>(record.filterIndex);
  Filter = FilterEntry(record.filter, FilterIndex);
  flags = static_cast<std::int32_t>(record.flags);
  return true;
}

}  // namespace kiv
