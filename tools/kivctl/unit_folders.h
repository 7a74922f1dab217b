#pragma once

#include <filesystem>
#include <vector>

namespace kiv::ctl {

// Whose service manager runs the units: the user's own, or the system's.
enum class UnitScope { User, System };

// The folders the service manager of `scope` reads the units of users and
// administrators from, the one to put them in first: for the user's manager
// $XDG_CONFIG_HOME/systemd/user (~/.config/systemd/user when that is not set),
// for the system's /etc/systemd/system. Never empty.
std::vector<std::filesystem::path> unitSearchFolders(UnitScope scope);

// Whether `folder` is one of `searchFolders`, however either is spelt.
bool isSearchFolder(const std::filesystem::path& folder,
                    const std::vector<std::filesystem::path>& searchFolders);

}  // namespace kiv::ctl
