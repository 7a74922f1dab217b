#include "posix/private_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "posix/random_name.h"
#include "posix/temporary_name.h"

namespace kiv::posix {
namespace {

// Tries at a free random name; a clash of 64 random bits is not expected
// even once, so running out of tries means something else is wrong.
constexpr int kNameTries = 8;

FileError systemFailure() {
  return writeFailure({errno, std::generic_category()});
}

FileError nameClash() {
  return writeFailure(std::make_error_code(std::errc::file_exists));
}

// O_TMPFILE's answers when the kernel or the file system does not offer it.
bool unnamedFilesUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

std::optional<PrivateFile> createUnnamed(int folder, int& error) {
#ifdef O_TMPFILE
  UniqueFd fd(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (fd && ::flock(fd.get(), LOCK_EX) == 0) return PrivateFile{std::move(fd), {}};
  error = errno;
#else
  error = EOPNOTSUPP;
#endif
  return std::nullopt;
}

// The kernel links an unnamed file through its entry in /proc; without /proc
// mounted, AT_EMPTY_PATH does it for a privileged process.
int linkUnnamed(int fd, int folder, const std::string& name) {
  const std::string entry = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, entry.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno != ENOENT) return -1;
  return ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH);
}

Result<void, FileError> giveTemporaryName(PrivateFile& file, int folder, std::string_view target) {
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    const FileResult<std::string> digits = randomHex(kTemporaryNameRandomBytes);
    if (!digits) return digits.error();
    std::string name = temporaryNameFor(target, digits.value());
    if (linkUnnamed(file.fd.get(), folder, name) == 0) {
      file.name = std::move(name);
      return {};
    }
    if (errno != EEXIST) return systemFailure();
  }
  return nameClash();
}

}  // namespace

FileResult<PrivateFile> createPrivateFile(int folder, std::string_view target) {
  int error = 0;
  if (std::optional<PrivateFile> unnamed = createUnnamed(folder, error)) return std::move(*unnamed);
  if (!unnamedFilesUnsupported(error)) return writeFailure({error, std::generic_category()});
  return createNamedPrivateFile(folder, target);
}

// A sweep of another save may remove the file between its creation and its
// lock; then the next name is tried.
FileResult<PrivateFile> createNamedPrivateFile(int folder, std::string_view target) {
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    const FileResult<std::string> digits = randomHex(kTemporaryNameRandomBytes);
    if (!digits) return digits.error();
    std::string name = temporaryNameFor(target, digits.value());
    UniqueFd fd(
        ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd && errno == EEXIST) continue;
    struct stat status {};
    if (!fd || ::flock(fd.get(), LOCK_EX) != 0 || ::fstat(fd.get(), &status) != 0) {
      return systemFailure();
    }
    if (status.st_nlink > 0) return PrivateFile{std::move(fd), std::move(name)};
  }
  return nameClash();
}

Result<void, FileError> moveIntoPlace(PrivateFile& file, int folder, std::string_view target) {
  if (file.name.empty()) {
    if (auto named = giveTemporaryName(file, folder, target); !named) return named;
  }
  const std::string targetName(target);
  if (::renameat(folder, file.name.c_str(), folder, targetName.c_str()) != 0) {
    return systemFailure();
  }
  file.name.clear();  // the name is the target's now
  return {};
}

void discard(const PrivateFile& file, int folder) {
  if (!file.name.empty()) ::unlinkat(folder, file.name.c_str(), 0);
}

}  // namespace kiv::posix
