#include "posix/user_folders.h"

#include <fcntl.h>
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

std::string ownerRefusal(const struct stat& status, const std::filesystem::path& path) {
  return path.string() + ": belongs to another user (user id " + std::to_string(status.st_uid) +
         ")";
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

Result<PrivateFolder, std::string> openPrivateFolder(const std::filesystem::path& folder,
                                                     MissingFolder missing) {
  if (folder.empty()) return std::string("there is no home folder to keep it in");
  if (missing == MissingFolder::Make) {
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return systemError(errno, folder);
  }
  // The folders above are the user's to arrange (a home on another disk);
  // only Kiv's own folder must not be a link.
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT && missing == MissingFolder::Absent) return PrivateFolder{{}, folder};
    const int error = errno;
    // Systems answer a link with ELOOP or, as O_DIRECTORY asks, ENOTDIR.
    struct stat link {};
    if ((error == ELOOP || error == ENOTDIR) && ::lstat(folder.c_str(), &link) == 0 &&
        S_ISLNK(link.st_mode)) {
      return folder.string() + ": a link, not a folder of this user's own";
    }
    return systemError(error, folder);
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return systemError(errno, folder);
  if (status.st_uid != ::geteuid()) return ownerRefusal(status, folder);
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return folder.string() + ": other users may write into it";
  }
  return PrivateFolder{std::move(fd), folder};
}

Result<PrivateFolder, std::string> openRuntimeFolder(
    const std::function<void(const std::string&)>& refused) {
  const std::filesystem::path runtime = runtimeFolder();
  auto opened = openPrivateFolder(runtime);
  const std::filesystem::path state = stateFolder();
  if (opened || runtime == state) return opened;
  refused(opened.error() + "; using " + state.string() + " instead");
  return openPrivateFolder(state);
}

std::optional<std::string> refusedUnlessOwnFile(int fd, const std::filesystem::path& path) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return systemError(errno, path);
  if (!S_ISREG(status.st_mode)) return path.string() + ": not a regular file";
  if (status.st_uid != ::geteuid()) return ownerRefusal(status, path);
  return std::nullopt;
}

std::string systemError(int error, const std::filesystem::path& path) {
  return std::string(std::strerror(error)) + ": " + path.string();
}

}  // namespace kiv::posix
