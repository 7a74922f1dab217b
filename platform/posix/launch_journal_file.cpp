#include "posix/launch_journal_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "posix/user_folders.h"

namespace kiv::posix {
namespace {

// An open descriptor, closed (and so unlocked) when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Whether the open file is still the one the path names: another writer may
// have rotated it away while this one waited for the lock.
bool stillNamedBy(int fd, const std::filesystem::path& file) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(file.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool readAll(int fd, std::string& text) {
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
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

std::optional<std::string> LaunchJournalFile::append(std::string_view line) const {
  if (file_.empty()) return "there is no home folder to keep it in";
  if (auto failure = makePrivateFolder(file_.parent_path())) return failure;
  const std::string text = std::string(line) + '\n';
  for (;;) {
    const Descriptor fd(
        ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid()) return systemError(errno, file_);
    if (lockWaiting(fd.get(), LOCK_EX) != 0) return systemError(errno, file_);
    if (!stillNamedBy(fd.get(), file_)) continue;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return systemError(errno, file_);
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (journalRotatesBefore(size, text.size())) {
      if (::rename(file_.c_str(), previousFile().c_str()) != 0) return systemError(errno, file_);
      continue;
    }
    const ssize_t written = ::write(fd.get(), text.data(), text.size());
    if (written < 0) return systemError(errno, file_);
    // A short write leaves a cut line, which readers pass over; say so.
    if (static_cast<std::size_t>(written) != text.size()) return systemError(ENOSPC, file_);
    return std::nullopt;
  }
}

Result<std::string, JournalUnreadable> LaunchJournalFile::read() const {
  if (file_.empty()) return JournalUnreadable{"there is no home folder to keep it in"};
  for (;;) {
    const Descriptor current(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!current.valid() && errno != ENOENT) return JournalUnreadable{systemError(errno, file_)};
    // Holding the current file shared keeps a writer from rotating between
    // the two reads, which could show lines twice or not at all.
    if (current.valid()) {
      if (lockWaiting(current.get(), LOCK_SH) != 0) {
        return JournalUnreadable{systemError(errno, file_)};
      }
      if (!stillNamedBy(current.get(), file_)) continue;
    }
    std::string text;
    const Descriptor previous(::open(previousFile().c_str(), O_RDONLY | O_CLOEXEC));
    if (!previous.valid() && errno != ENOENT) {
      return JournalUnreadable{systemError(errno, previousFile())};
    }
    if (previous.valid() && !readAll(previous.get(), text)) {
      return JournalUnreadable{systemError(errno, previousFile())};
    }
    // A previous file cut short by a crash still ends its last line.
    if (!text.empty() && text.back() != '\n') text += '\n';
    if (current.valid() && !readAll(current.get(), text)) {
      return JournalUnreadable{systemError(errno, file_)};
    }
    return text;
  }
}

}  // namespace kiv::posix
