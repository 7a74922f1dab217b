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

// The fields that open and save share, from the positional parameters.
OpenSaveRequest requestOf(const std::string& Filename, const std::string& FileTitle,
                          const std::string& Filter, std::int32_t FilterIndex,
                          const std::string& InitDir, const std::string& DlgTitle,
                          const std::string& DefaultExt, std::int32_t Owner, std::int32_t flags) {
  OpenSaveRequest request;
  request.Filename = Filename;
  request.FileTitle = FileTitle;
  request.Filter = Filter;
  request.FilterIndex = FilterIndex;
  request.InitDir = InitDir;
  request.DlgTitle = DlgTitle;
  request.DefaultExt = DefaultExt;
  request.Owner = Owner;
  request.flags = flags;
  return request;
}

// The outputs that open and save share, into the positional parameters.
void giveBack(OpenSaveRequest& request, std::string& Filename, std::string& FileTitle,
              std::string& Filter, std::int32_t& FilterIndex, std::int32_t& flags) {
  Filename = std::move(request.Filename);
  FileTitle = std::move(request.FileTitle);
  Filter = std::move(request.Filter);
  FilterIndex = request.FilterIndex;
  flags = request.flags;
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

bool cOpenSave::open(OpenSaveRequest& request) {
  request.flags =
      (request.FileMustExist ? OFN_FILEMUSTEXIST : 0) |
      (request.MultiSelect ? OFN_ALLOWMULTISELECT : 0) | (request.ReadOnly ? OFN_READONLY : 0) |
      (request.HideReadOnly ? OFN_HIDEREADONLY : 0) | (request.flags & ~kCallerMayNotSet);
  const bool chosen = run(FileDialogKind::Open, request);
  if (chosen && (request.flags & OFN_READONLY) != 0) request.ReadOnly = true;
  return chosen;
}

bool cOpenSave::save(OpenSaveRequest& request) {
  request.flags = (request.OverWritePrompt ? OFN_OVERWRITEPROMPT : 0) | OFN_HIDEREADONLY |
                  (request.flags & ~kCallerMayNotSet);
  return run(FileDialogKind::Save, request);
}

bool cOpenSave::VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                                  bool MultiSelect, bool& ReadOnly, bool HideReadOnly,
                                  std::string& Filter, std::int32_t& FilterIndex,
                                  const std::string& InitDir, const std::string& DlgTitle,
                                  const std::string& DefaultExt, std::int32_t Owner,
                                  std::int32_t& flags) {
  OpenSaveRequest request = requestOf(Filename, FileTitle, Filter, FilterIndex, InitDir, DlgTitle,
                                      DefaultExt, Owner, flags);
  request.FileMustExist = FileMustExist;
  request.MultiSelect = MultiSelect;
  request.ReadOnly = ReadOnly;
  request.HideReadOnly = HideReadOnly;
  const bool chosen = open(request);
  ReadOnly = request.ReadOnly;
  giveBack(request, Filename, FileTitle, Filter, FilterIndex, flags);
  return chosen;
}

bool cOpenSave::VBGetSaveFileName(std::string& Filename, std::string& FileTitle,
                                  bool OverWritePrompt, std::string& Filter,
                                  std::int32_t& FilterIndex, const std::string& InitDir,
                                  const std::string& DlgTitle, const std::string& DefaultExt,
                                  std::int32_t Owner, std::int32_t& flags) {
  OpenSaveRequest request = requestOf(Filename, FileTitle, Filter, FilterIndex, InitDir, DlgTitle,
                                      DefaultExt, Owner, flags);
  request.OverWritePrompt = OverWritePrompt;
  const bool chosen = save(request);
  giveBack(request, Filename, FileTitle, Filter, FilterIndex, flags);
  return chosen;
}

bool cOpenSave::run(FileDialogKind kind, OpenSaveRequest& request) {
  apiReturn_ = 0;
  extendedError_ = 0;

  FileDialogRecord record;
  record.kind = kind;
  record.filter = convertFilter(request.Filter);
  record.filterIndex = static_cast<std::uint32_t>(request.FilterIndex);
  record.file = nulPadded(request.Filename);
  record.fileTitle = nulPadded(request.FileTitle);
  record.initialDir = request.InitDir;
  record.title = request.DlgTitle;
  record.defaultExt = request.DefaultExt;
  record.flags = static_cast<std::uint32_t>(request.flags);
  record.ownedByMainWindow = request.Owner != kNoOwner;

  const FileDialogOutcome outcome = platform_.fileDialog(record);
  apiReturn_ = outcome.apiReturn;
  if (apiReturn_ != 0 && apiReturn_ != 1) extendedError_ = outcome.extendedError;

  if (apiReturn_ != 1) {
    request.Filename.clear();
    request.FileTitle.clear();
    request.Filter.clear();
    request.flags = 0;
    return false;
  }
  request.Filename = TrimAtNull(record.file);
  request.FileTitle = TrimAtNull(record.fileTitle);
  request.FilterIndex = static_cast<std::int32_t>(record.filterIndex);
  request.Filter = FilterEntry(record.filter, request.FilterIndex);
  request.flags = static_cast<std::int32_t>(record.flags);
  return true;
}

}  // namespace kiv
