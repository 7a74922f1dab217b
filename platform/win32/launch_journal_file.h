#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "shell/journal_files.h"
#include "shell/journal_store.h"

namespace kiv {

// The launch journal on Windows: %LOCALAPPDATA%\Kiv\launches.jsonl, in the
// user's own profile. Every Kiv program of the session takes one named mutex
// around an append, so a rotation never meets another writer; a line is one
// WriteFile to a file opened for appending. It is rotated as journal_files.h
// says.
class Win32JournalFile {
 public:
  explicit Win32JournalFile(std::filesystem::path file) : file_(std::move(file)) {}
  static Win32JournalFile forUser();

  const std::filesystem::path& file() const { return file_; }
  std::filesystem::path previousFile() const { return previousJournalFile(file_); }

  // Appends `line` and a line break; nullopt once written, else why not.
  Result<void, std::string> append(std::string_view line) const;
  // The previous file's text, then the current one's.
  Result<std::string, JournalUnreadable> read() const;

 private:
  std::filesystem::path file_;
};

}  // namespace kiv
