#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace kiv {

// Where the launch journal's lines are kept, on every system: a file named
// kJournalFileName in a folder of the user's own. The journal stays bounded:
// a line that would take the file past kJournalRotateAt bytes begins a new
// file, and the full one becomes the previous file (previousJournalFile),
// replacing an older one, so the journal is at most two files.
inline constexpr std::string_view kJournalFileName = "launches.jsonl";
inline constexpr std::uintmax_t kJournalRotateAt = std::uintmax_t{1024} * 1024;

// No file of the journal grows past kJournalRotateAt by more than one line,
// so a reader refuses one larger than this rather than reading it whole.
inline constexpr std::uintmax_t kJournalReadLimit = 4 * kJournalRotateAt;

// Whether a line of `adding` bytes begins a new file after one of `size`.
constexpr bool journalRotatesBefore(std::uintmax_t size, std::uintmax_t adding) {
  return size > 0 && size + adding > kJournalRotateAt;
}

// The previous file of the journal `file`: the same name with ".1" after it.
inline std::filesystem::path previousJournalFile(const std::filesystem::path& file) {
  std::filesystem::path previous = file;
  return previous += ".1";
}

}  // namespace kiv
