#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "posix/unique_fd.h"
#include "schedule_file/file_error.h"

namespace kiv::posix {

// A save's new file in its target's folder, created readable and writable by
// its owner only and locked for as long as it is open, so that no other save
// takes it for an orphan. Where the file system allows it has no name at all
// (O_TMPFILE) until it is complete: a save killed before then leaves nothing.
struct PrivateFile {
  UniqueFd fd;
  std::string name;  // its temporary name in the folder; empty while it has none
};

// A new private file in the open folder `folder` for a save of `target`.
FileResult<PrivateFile> createPrivateFile(int folder, std::string_view target);

// The same with a temporary name from the start, where the file system
// offers no unnamed files: created with O_EXCL and O_NOFOLLOW, so a file or
// link someone put at the name is never written through.
FileResult<PrivateFile> createNamedPrivateFile(int folder, std::string_view target);

// Gives the written and flushed file the name `target`, replacing whatever
// file has it in one step; a file without a name gets a temporary one first.
Result<void, FileError> moveIntoPlace(PrivateFile& file, int folder, std::string_view target);

// Removes the temporary name of a file that did not reach its place.
void discard(const PrivateFile& file, int folder);

}  // namespace kiv::posix
