#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/result.h"
#include "posix/unique_fd.h"

namespace kiv::posix {

// Kiv's folder for state it keeps between runs (the launch journal):
// $XDG_STATE_HOME/kiv, or ~/.local/state/kiv when that is not set to an
// absolute path. Empty when the user has no home folder.
std::filesystem::path stateFolder();

// Kiv's folder for what lives only while its programs run (locks, the window
// program's socket): $XDG_RUNTIME_DIR/kiv, or the state folder when that is
// not set to an absolute path.
std::filesystem::path runtimeFolder();

// Where every Kiv program of the user keeps its schedule locks, whatever its
// environment (a desktop session, cron, su, a service without
// XDG_RUNTIME_DIR): ~/.local/state/kiv/locks, with the home folder the user
// database gives the user, not $HOME. Empty when it gives none.
std::filesystem::path scheduleLockFolder();

// A folder of Kiv's own, checked and held open. Files are made and opened
// through `fd`, so they land in the folder that was checked whatever is done
// to its path afterwards.
struct PrivateFolder {
  UniqueFd fd;  // none when the folder is not there and was not to be made
  std::filesystem::path path;
};

enum class MissingFolder { Make, Absent };

// Opens `folder` when it is a real folder, not a link, that belongs to this
// user and that no other user may write into, so that nobody else can plant,
// read or replace what Kiv keeps there; else why that place is refused.
// MissingFolder::Make makes it (readable by its owner only) and any missing
// parent; with Absent a folder that is not there is no error.
Result<PrivateFolder, std::string> openPrivateFolder(const std::filesystem::path& folder,
                                                     MissingFolder missing = MissingFolder::Make);

// The runtime folder, opened as openPrivateFolder does. When that place is
// refused, `refused` is told why and the state folder is used instead.
Result<PrivateFolder, std::string> openRuntimeFolder(
    const std::function<void(const std::string&)>& refused);

// nullopt when the open file `fd` (named `path`) is a regular file of this
// user's; else why it is refused.
std::optional<std::string> refusedUnlessOwnFile(int fd, const std::filesystem::path& path);

// "Permission denied: <path>": the system's reason for the last failed call
// on `path`, as the user is told it.
std::string systemError(int error, const std::filesystem::path& path);

}  // namespace kiv::posix
