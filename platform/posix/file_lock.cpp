#include "posix/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <utility>

#include "posix/user_folders.h"

namespace kiv::posix {
namespace {

// "4242 kivctl" as the holder wrote it, told as "process 4242 (kivctl)".
std::string holderDescription(int fd) {
  char buffer[256];
  const ssize_t count = ::pread(fd, buffer, sizeof buffer - 1, 0);
  const std::string_view text(buffer, count > 0 ? static_cast<std::size_t>(count) : 0);
  long pid = 0;
  const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (error != std::errc{} || pid <= 0 || rest == text.data() + text.size() || *rest != ' ') {
    return "another Kiv program";
  }
  std::string_view program(rest + 1,
                           static_cast<std::size_t>(text.data() + text.size() - rest - 1));
  if (const auto end = program.find('\n'); end != std::string_view::npos) {
    program = program.substr(0, end);
  }
  return "process " + std::to_string(pid) + " (" + std::string(program) + ")";
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& file, std::string_view program) {
  auto folder = openPrivateFolder(file.parent_path());
  if (!folder) {
    detail_ = folder.error();
    return;
  }
  // Close-on-exec: a started program that kept the descriptor would keep the
  // lock after Kiv ended. Not waiting: a pipe planted at the name would hold
  // the open for good.
  const std::string name = file.filename().string();
  fd_ = UniqueFd(::openat(folder.value().fd.get(), name.c_str(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
  if (!fd_) {
    detail_ = errno == ELOOP ? file.string() + ": not a regular file" : systemError(errno, file);
    return;
  }
  // A lock file of another user's would let that user hold the lock, or name
  // a holder of their choosing.
  if (auto refusal = refusedUnlessOwnFile(fd_.get(), file)) {
    detail_ = std::move(*refusal);
    release();
    return;
  }
  if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    state_ = error == EWOULDBLOCK ? State::HeldByOther : State::Failed;
    detail_ =
        state_ == State::HeldByOther ? holderDescription(fd_.get()) : systemError(error, file);
    release();
    return;
  }
  state_ = State::Held;
  const std::string holder = std::to_string(::getpid()) + " " + std::string(program) + "\n";
  // Who holds the lock is told to others as a courtesy; the lock holds without it.
  if (::ftruncate(fd_.get(), 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd_.get(), holder.data(), holder.size(), 0);
  }
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::move(other.fd_)),
      state_(std::exchange(other.state_, State::Failed)),
      detail_(std::move(other.detail_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    fd_ = std::move(other.fd_);
    other.release();
    state_ = std::exchange(other.state_, State::Failed);
    detail_ = std::move(other.detail_);
  }
  return *this;
}

void FileLock::release() {
  fd_ = UniqueFd();
}

}  // namespace kiv::posix
