#include "posix/launch_journal_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "posix/unique_fd.h"
#include "posix/user_folders.h"

namespace kiv::posix {
namespace {

// Whether the open file is still the one named `name` in the folder: another
// writer may have rotated it away while this one waited for the lock.
bool stillNamedBy(int fd, int folder, const std::string& name) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 &&
         ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Opens a file of the journal in its folder (an invalid descriptor when there
// is none), or says why it cannot. Never waits: a pipe or a device planted at
// its name would block an open or a read for good, so the open does not wait
// and only a regular file is taken; nor does it follow a link out of the
// user's folder, or take a file of another user's, who could read it or plant
// lines in it.
Result<UniqueFd, std::string> openJournalFile(const PrivateFolder& folder,
                                              const std::filesystem::path& file, int flags) {
  UniqueFd fd(::openat(folder.fd.get(), file.filename().c_str(),
                       flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
  if (!fd) {
    if (errno == ENOENT && (flags & O_CREAT) == 0) return fd;
    if (errno == ELOOP || errno == ENXIO) return file.string() + ": not a regular file";
    return systemError(errno, file);
  }
  if (auto refusal = refusedUnlessOwnFile(fd.get(), file)) return *refusal;
  return fd;
}

// Reads the whole file, refusing one larger than any journal file grows.
std::optional<std::string> readAll(int fd, const std::filesystem::path& file, std::string& text) {
  const std::size_t start = text.size();
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) return std::nullopt;
    if (count < 0) {
      if (errno == EINTR) continue;
      return systemError(errno, file);
    }
    if (text.size() - start + static_cast<std::size_t>(count) > kJournalReadLimit) {
      return file.string() + ": larger than a journal file grows (" +
             std::to_string(kJournalReadLimit) + " bytes)";
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

int lockWaiting(int fd, int operation) {
  int result = 0;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

LaunchJournalFile::LaunchJournalFile(std::filesystem::path file) : file_(std::move(file)) {}

LaunchJournalFile LaunchJournalFile::forUser() {
  const std::filesystem::path folder = stateFolder();
  return LaunchJournalFile(folder.empty() ? folder : folder / kJournalFileName);
}

Result<void, std::string> LaunchJournalFile::append(std::string_view line) const {
  if (file_.empty()) return std::string("there is no home folder to keep it in");
  const auto folder = openPrivateFolder(file_.parent_path());
  if (!folder) return folder.error();
  const std::string name = file_.filename().string();
  const std::string text = std::string(line) + '\n';
  for (;;) {
    auto opened = openJournalFile(folder.value(), file_, O_WRONLY | O_APPEND | O_CREAT);
    if (!opened) return opened.error();
    const UniqueFd& fd = opened.value();
    if (lockWaiting(fd.get(), LOCK_EX) != 0) return systemError(errno, file_);
    if (!stillNamedBy(fd.get(), folder.value().fd.get(), name)) continue;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return systemError(errno, file_);
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (journalRotatesBefore(size, text.size())) {
      const int at = folder.value().fd.get();
      if (::renameat(at, name.c_str(), at, previousFile().filename().c_str()) != 0) {
        return systemError(errno, file_);
      }
      continue;
    }
    const ssize_t written = ::write(fd.get(), text.data(), text.size());
    if (written >= 0 && static_cast<std::size_t>(written) == text.size()) return {};
    const int error = written < 0 ? errno : ENOSPC;
    // A line cut short (a full disk) is taken away again while the lock is
    // held, so the next line does not begin after its fragment and is read.
    if (written > 0) static_cast<void>(::ftruncate(fd.get(), status.st_size));
    return systemError(error, file_);
  }
}

Result<std::string, JournalUnreadable> LaunchJournalFile::read() const {
  if (file_.empty()) return JournalUnreadable{"there is no home folder to keep it in"};
  const auto folder = openPrivateFolder(file_.parent_path(), MissingFolder::Absent);
  if (!folder) return JournalUnreadable{folder.error()};
  if (!folder.value().fd) return std::string();  // nothing journalled yet
  const std::string name = file_.filename().string();
  for (;;) {
    auto opened = openJournalFile(folder.value(), file_, O_RDONLY);
    if (!opened) return JournalUnreadable{opened.error()};
    const UniqueFd current = std::move(opened).value();
    // Holding the current file shared keeps a writer from rotating between
    // the two reads, which could show lines twice or not at all.
    if (current) {
      if (lockWaiting(current.get(), LOCK_SH) != 0) {
        return JournalUnreadable{systemError(errno, file_)};
      }
      if (!stillNamedBy(current.get(), folder.value().fd.get(), name)) continue;
    }
    std::string text;
    auto previous = openJournalFile(folder.value(), previousFile(), O_RDONLY);
    if (!previous) return JournalUnreadable{previous.error()};
    if (previous.value()) {
      if (auto failure = readAll(previous.value().get(), previousFile(), text)) {
        return JournalUnreadable{*failure};
      }
    }
    // A previous file cut short by a crash still ends its last line.
    if (!text.empty() && text.back() != '\n') text += '\n';
    if (current) {
      if (auto failure = readAll(current.get(), file_, text)) return JournalUnreadable{*failure};
    }
    return text;
  }
}

}  // namespace kiv::posix
