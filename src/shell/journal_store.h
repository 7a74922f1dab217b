#pragma once

#include <optional>
#include <string>

#include "base/result.h"

namespace kiv {

// Why the launch journal could not be read.
struct JournalUnreadable {
  std::string reason;
};

// The per-user launch journal.
class JournalStore {
 public:
  virtual ~JournalStore() = default;
  // Writes one line (given without its line break) in a single piece, so
  // lines of several writers never interleave; else says why not.
  virtual Result<void, std::string> appendJournalLine(const std::string& line) = 0;
  // The journal's text, the older lines first, or why it cannot be read; a
  // journal that does not exist yet reads as empty.
  virtual Result<std::string, JournalUnreadable> readJournal() = 0;
};

}  // namespace kiv
