#pragma once

#include <filesystem>
#include <optional>
#include <string>

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

// Makes `folder` and any missing parent, the folder itself readable by its
// owner only; nullopt when it is there, else why it is not.
std::optional<std::string> makePrivateFolder(const std::filesystem::path& folder);

// "Permission denied: <path>": the system's reason for the last failed call
// on `path`, as the user is told it.
std::string systemError(int error, const std::filesystem::path& path);

}  // namespace kiv::posix
