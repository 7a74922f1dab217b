#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/platform.h"

namespace kiv {

// Flag bits of the common file dialogs.
inline constexpr std::int32_t OFN_READONLY = 0x1;
inline constexpr std::int32_t OFN_OVERWRITEPROMPT = 0x2;
inline constexpr std::int32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::int32_t OFN_ENABLEHOOK = 0x20;
inline constexpr std::int32_t OFN_ENABLETEMPLATE = 0x40;
inline constexpr std::int32_t OFN_ALLOWMULTISELECT = 0x200;
inline constexpr std::int32_t OFN_FILEMUSTEXIST = 0x1000;

// Size of the file-name buffers the dialogs fill.
inline constexpr std::size_t kMaxPath = 260;

// Owner values. The core knows one window, so any value but kNoOwner makes
// the main window the dialog's owner.
inline constexpr std::int32_t kNoOwner = -1;
inline constexpr std::int32_t kMainWindowOwner = 0;

// One open or save dialog with named fields. The dialog writes its outputs
// back: after a choice Filename is the chosen path, FileTitle its name,
// Filter the chosen entry (description, NUL, pattern), FilterIndex the entry
// in use and flags the flags as returned; ReadOnly is set when the user asked
// for read-only. Without a choice all outputs are emptied and flags is 0.
struct OpenSaveRequest {
  std::string Filename;
  std::string FileTitle;
  bool FileMustExist = true;    // open only
  bool MultiSelect = false;     // open only
  bool ReadOnly = false;        // open only
  bool HideReadOnly = false;    // open only; a save always hides it
  bool OverWritePrompt = true;  // save only
  std::string Filter;
  std::int32_t FilterIndex = 1;
  std::string InitDir;
  std::string DlgTitle;
  std::string DefaultExt;
  std::int32_t Owner = kNoOwner;
  std::int32_t flags = 0;
};

// One open or save dialog call. Lives for one call.
class cOpenSave {
 public:
  explicit cOpenSave(Platform& platform) : platform_(platform) {}

  // The dialog function's return value of the last call; 1 when a file was chosen.
  std::int32_t APIReturn() const { return apiReturn_; }
  // The extended error code when the last dialog failed, else 0.
  std::int32_t ExtendedError() const { return extendedError_; }

  // True when a file was chosen; the request holds the outputs.
  bool open(OpenSaveRequest& request);
  bool save(OpenSaveRequest& request);

  // The same calls with the request's fields as positional parameters.
  bool VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                         bool MultiSelect, bool& ReadOnly, bool HideReadOnly, std::string& Filter,
                         std::int32_t& FilterIndex, const std::string& InitDir,
                         const std::string& DlgTitle, const std::string& DefaultExt,
                         std::int32_t Owner, std::int32_t& flags);

  bool VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverWritePrompt,
                         std::string& Filter, std::int32_t& FilterIndex, const std::string& InitDir,
                         const std::string& DlgTitle, const std::string& DefaultExt,
                         std::int32_t Owner, std::int32_t& flags);

  // "Schedule files (*.kiv)|*.kiv" → description, NUL, pattern, NUL, NUL: every
  // "|" and ":" becomes a NUL.
  static std::string convertFilter(std::string_view filter);
  // The text up to its first NUL.
  static std::string TrimAtNull(std::string_view text);
  // The n-th (1-based) entry of a converted filter as description, NUL,
  // pattern; empty when there is no such entry.
  static std::string FilterEntry(std::string_view filter, std::int32_t n);

 private:
  bool run(FileDialogKind kind, OpenSaveRequest& request);

  Platform& platform_;
  std::int32_t apiReturn_ = 0;
  std::int32_t extendedError_ = 0;
};

}  // namespace kiv
