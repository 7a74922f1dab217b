#include "posix/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kiv::posix {
namespace {

constexpr const char* kFolderName = "kiv";

// The XDG variables count only when they hold an absolute path.
std::optional<std::filesystem::path> absoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::filesystem::path(value);
}

std::filesystem::path accountHomeFolder() {
  std::array<char, 4096> buffer{};
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

std::filesystem::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  return accountHomeFolder();
}

}  // namespace

std::filesystem::path stateFolder() {
  if (const auto state = absoluteFromEnvironment("XDG_STATE_HOME")) return *state / kFolderName;
  const std::filesystem::path home = homeFolder();
  if (home.empty()) return {};
  return home / ".local" / "state" / kFolderName;
}

std::filesystem::path scheduleLockFolder() {
  const std::filesystem::path home = accountHomeFolder();
  if (home.empty()) return {};
  return home / ".local" / "state" / kFolderName / "locks";
}

std::filesystem::path runtimeFolder() {
  if (const auto runtime = absoluteFromEnvironment("XDG_RUNTIME_DIR")) {
    return *runtime / kFolderName;
  }
  return stateFolder();
}

std::optional<std::string> makePrivateFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return "there is no home folder to keep it in";
  std::error_code error;
  std::filesystem::create_directories(folder.parent_path(), error);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return systemError(errno, folder);
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) return systemError(errno, folder);
  if (!S_ISDIR(status.st_mode)) return systemError(ENOTDIR, folder);
  return std::nullopt;
}

std::string systemError(int error, const std::filesystem::path& path) {
  return std::string(std::strerror(error)) + ": " + path.string();
}

}  // namespace kiv::posix
