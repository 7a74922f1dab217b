#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "shell/journal_files.h"
#include "shell/journal_store.h"

namespace kiv::posix {

// The launch journal on POSIX: a file of JSON lines, created readable by its
// owner only, shared by every Kiv program of the user at once.
//
// - A line is appended with one write() to a file opened O_APPEND, so lines
//   of several writers never interleave.
// - It is rotated as journal_files.h says, by renaming. Writers
//   take flock() on the file before deciding, and one that finds the file
//   renamed under it starts again on the new one, so two writers never rotate
//   twice or write into a file already renamed away.
class LaunchJournalFile {
 public:
  explicit LaunchJournalFile(std::filesystem::path file);
  // The user's journal: launches.jsonl in the state folder.
  static LaunchJournalFile forUser();

  const std::filesystem::path& file() const { return file_; }
  std::filesystem::path previousFile() const { return previousJournalFile(file_); }

  // Appends `line` and a line break; nullopt once written, else why not.
  Result<void, std::string> append(std::string_view line) const;
  // The previous file's text, then the current one's.
  Result<std::string, JournalUnreadable> read() const;

 private:
  std::filesystem::path file_;
};

}  // namespace kiv::posix
