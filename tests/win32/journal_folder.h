#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kiv::testing {

// A launch journal of the test's own: while this lives, LOCALAPPDATA names a
// fresh temporary folder, for this process and the programs it starts, so
// the user's own journal is neither read nor written. The former value
// comes back after.
class JournalFolder {
 public:
  JournalFolder();
  ~JournalFolder();
  JournalFolder(const JournalFolder&) = delete;
  JournalFolder& operator=(const JournalFolder&) = delete;

  // The journal the Kiv programs write in the folder.
  std::filesystem::path journal() const { return folder_.path() / "Kiv" / "launches.jsonl"; }
  // Its lines, without their line breaks.
  std::vector<std::string> lines() const;

 private:
  TempFolder folder_;
  std::wstring former_;
  bool hadFormer_ = false;
};

}  // namespace kiv::testing
