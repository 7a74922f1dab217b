#include "posix/posix_database_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/utf8_path.h"
#include "posix/unique_fd.h"
#include "posix/verified_copy.h"

namespace kiv::posix {
namespace {

// A lock file lists each user in 64 bytes; this many are plenty to name
// the first few of them.
constexpr std::size_t kLockFileBytesRead = std::size_t{64} * 64;

std::string systemText(int error) {
  return std::generic_category().message(error);
}

std::string lastSystemText() {
  return systemText(errno);
}

// Whether this user may write the file and give another file its name: a
// sticky folder lets only the owner of the file or of the folder do that.
bool replaceable(const std::string& path, const struct stat& file) {
  const std::string folder = folderOfPath(path);
  struct stat folderStatus {};
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 ||
      ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 ||
      ::stat(folder.c_str(), &folderStatus) != 0) {
    return false;
  }
  const uid_t user = ::geteuid();
  return (folderStatus.st_mode & S_ISVTX) == 0 || user == 0 || file.st_uid == user ||
         folderStatus.st_uid == user;
}

std::vector<std::uint8_t> firstBytes(int fd) {
  std::vector<std::uint8_t> bytes(kLockFileBytesRead);
  const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), 0);
  bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return bytes;
}

}  // namespace

LockFileState PosixDatabaseFiles::lockFile(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd) {
    if (errno == ENOENT) return {};
    return {LockFileState::Holder::Unknown, true, {}};
  }
  struct stat status {};
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  LockFileState state{LockFileState::Holder::Unknown, true, {}};
  if (::fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode) &&
      ::fcntl(fd.get(), F_GETLK, &probe) == 0) {
    state.holder =
        probe.l_type == F_UNLCK ? LockFileState::Holder::Nobody : LockFileState::Holder::Someone;
  }
  if (state.holder != LockFileState::Holder::Nobody) state.bytes = firstBytes(fd.get());
  return state;
}

Result<FileFacts, std::string> PosixDatabaseFiles::examineFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return lastSystemText();
  if (S_ISDIR(status.st_mode)) return systemText(EISDIR);
  if (!S_ISREG(status.st_mode)) return std::string("not a regular file");
  return FileFacts{static_cast<std::uint64_t>(status.st_size), replaceable(path, status)};
}

Result<VolumeSpace, std::string> PosixDatabaseFiles::volumeSpace(const std::string& folder) {
  struct stat status {};
  struct statvfs volume {};
  if (::stat(folder.c_str(), &status) != 0 || ::statvfs(folder.c_str(), &volume) != 0) {
    return lastSystemText();
  }
  return VolumeSpace{static_cast<std::uint64_t>(status.st_dev),
                     static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize};
}

Result<void, std::string> PosixDatabaseFiles::makeFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), S_IRWXU) == 0) return {};
  const int error = errno;
  struct stat status {};
  if (error == EEXIST && ::stat(folder.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return {};
    return systemText(ENOTDIR);
  }
  return systemText(error);
}

Result<std::vector<std::string>, std::string> PosixDatabaseFiles::folderNames(
    const std::string& folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
  if (!entries) {
    if (errno == ENOENT) return std::vector<std::string>{};
    return lastSystemText();
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(entries.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

// A database reached through a link is put back where the link leads, and
// the link stays.
Result<void, std::string> PosixDatabaseFiles::copyFile(const std::string& from,
                                                       const std::string& to) {
  std::error_code error;
  std::filesystem::path target = to;
  if (std::filesystem::is_symlink(target, error)) {
    target = std::filesystem::weakly_canonical(target, error);
    if (error) return error.message();
  }
  if (auto copied = copyFileVerified(from, target); !copied) return copied.error().description;
  return {};
}

Result<void, std::string> PosixDatabaseFiles::removeFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return lastSystemText();
  return {};
}

}  // namespace kiv::posix
