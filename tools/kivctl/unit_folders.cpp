#include "unit_folders.h"

#include <algorithm>
#include <cstdlib>

namespace kiv::ctl {
namespace {

namespace fs = std::filesystem;

// A base folder of the XDG rules: the variable when it holds an absolute
// path (a relative one is ignored, as systemd ignores it), else `fallback`
// in the home folder; empty when neither is known.
fs::path baseFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && fs::path(value).is_absolute()) return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return {};
  return fs::path(home) / fallback;
}

fs::path spelledOut(const fs::path& folder) {
  std::error_code ignored;  // a folder that cannot be resolved is compared as written
  const fs::path resolved = fs::weakly_canonical(folder, ignored);
  fs::path spelled = (resolved.empty() ? folder : resolved).lexically_normal();
  if (!spelled.has_filename() && spelled.has_relative_path()) spelled = spelled.parent_path();
  return spelled;
}

}  // namespace

std::vector<fs::path> unitSearchFolders(UnitScope scope) {
  if (scope == UnitScope::System) {
    return {"/etc/systemd/system", "/run/systemd/system", "/usr/local/lib/systemd/system",
            "/usr/lib/systemd/system", "/lib/systemd/system"};
  }
  std::vector<fs::path> folders;
  for (const fs::path& base :
       {baseFolder("XDG_CONFIG_HOME", ".config"), baseFolder("XDG_DATA_HOME", ".local/share")}) {
    if (!base.empty()) folders.push_back(base / "systemd" / "user");
  }
  for (const char* folder :
       {"/etc/systemd/user", "/etc/xdg/systemd/user", "/usr/local/share/systemd/user",
        "/usr/share/systemd/user", "/usr/local/lib/systemd/user", "/usr/lib/systemd/user"}) {
    folders.emplace_back(folder);
  }
  return folders;
}

bool isSearchFolder(const fs::path& folder, const std::vector<fs::path>& searchFolders) {
  const fs::path spelled = spelledOut(folder);
  return std::ranges::any_of(searchFolders, [&spelled](const fs::path& searched) {
    return spelledOut(searched) == spelled;
  });
}

}  // namespace kiv::ctl
