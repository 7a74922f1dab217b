#include "posix/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "posix/orphan_sweep.h"
#include "posix/private_file.h"
#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
constexpr mode_t kPermissionBits = 0777;

FileError systemFailure() {
  return writeFailure({errno, std::generic_category()});
}

FileError failure(std::errc cause) {
  return writeFailure(std::make_error_code(cause));
}

// The file the save replaces, or nullopt when there is none yet. The core
// has refused anything but a regular file already; this holds for a target
// swapped meanwhile too.
FileResult<std::optional<struct stat>> currentTarget(int folder, const std::string& name) {
  struct stat status {};
  if (::fstatat(folder, name.c_str(), &status, 0) != 0) {
    if (errno == ENOENT) return std::optional<struct stat>{};
    return systemFailure();
  }
  if (S_ISDIR(status.st_mode)) return failure(std::errc::is_a_directory);
  if (!S_ISREG(status.st_mode)) return notARegularFile();
  return std::optional<struct stat>{status};
}

// Whether the new file now has the old one's group (and its owner, where
// this user may give a file away, as root may).
bool takeOverOwners(int fd, const struct stat& old, const struct stat& created) {
  if (old.st_uid == created.st_uid && old.st_gid == created.st_gid) return true;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return true;
  return old.st_gid == created.st_gid || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// Whoever could open the old file may open the new one, and nobody else: a
// group the file cannot keep does not receive the old group's permissions.
Result<void, FileError> takeOverPermissions(int fd, const std::optional<struct stat>& old) {
  mode_t mode = kOwnerOnly;
  if (old) {
    mode = old->st_mode & kPermissionBits;
    struct stat created {};
    if (::fstat(fd, &created) != 0) return systemFailure();
    if (!takeOverOwners(fd, *old, created)) mode &= ~static_cast<mode_t>(S_IRWXG);
  }
  if (::fchmod(fd, mode) != 0) return systemFailure();
  return {};
}

// A file system that cannot force a folder to the disk says EINVAL; the
// rename is then as durable as that file system makes it.
bool syncFolder(int folder) {
  return ::fsync(folder) == 0 || errno == EINVAL;
}

Result<void, FileError> fillAndPlace(PrivateFile& file, int folder, const std::string& name,
                                     const std::optional<struct stat>& old,
                                     const FileFiller& fill) {
  if (auto permitted = takeOverPermissions(file.fd.get(), old); !permitted) return permitted;
  if (auto written = fill(file.fd.get()); !written) return written;
  if (::fsync(file.fd.get()) != 0) return flushFailure();
  if (auto placed = moveIntoPlace(file, folder, name); !placed) return placed;
  if (!syncFolder(folder)) return flushFailure();
  return {};
}

}  // namespace

Result<void, FileError> writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return systemFailure();
    if (written == 0) return writeFailure({});
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return {};
}

Result<void, FileError> replaceFileWhole(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes) {
  return replaceFileWith(target, nullptr, [bytes](int fd) { return writeAll(fd, bytes); });
}

Result<void, FileError> replaceFileWith(const std::filesystem::path& target,
                                        const struct stat* modelForNew, const FileFiller& fill) {
  const std::string name = target.filename().string();
  if (name.empty()) return failure(std::errc::is_a_directory);  // "folder/" names a folder
  const std::filesystem::path folderPath = target.has_parent_path() ? target.parent_path() : ".";
  const UniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return systemFailure();

  FileResult<std::optional<struct stat>> old = currentTarget(folder.get(), name);
  if (!old) return old.error();
  if (!old.value() && modelForNew != nullptr) old = std::optional<struct stat>{*modelForNew};
  removeOrphanedTemporaries(folder.get(), name);
  FileResult<PrivateFile> created = createPrivateFile(folder.get(), name);
  if (!created) return created.error();
  PrivateFile file = std::move(created).value();
  Result<void, FileError> placed = fillAndPlace(file, folder.get(), name, old.value(), fill);
  if (!placed) discard(file, folder.get());
  return placed;
}

}  // namespace kiv::posix
