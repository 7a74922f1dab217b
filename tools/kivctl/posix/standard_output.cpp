#include "posix/standard_output.h"

#include <unistd.h>

#include <cerrno>

namespace kiv::ctl {

StandardOutput::StandardOutput() {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

std::optional<std::error_code> StandardOutput::finish() {
  writeBuffered();
  return failure_;
}

StandardOutput::int_type StandardOutput::overflow(int_type character) {
  if (!writeBuffered()) return traits_type::eof();
  if (traits_type::eq_int_type(character, traits_type::eof()))
    return traits_type::not_eof(character);
  *pptr() = traits_type::to_char_type(character);
  pbump(1);
  return character;
}

int StandardOutput::sync() {
  return writeBuffered() ? 0 : -1;
}

bool StandardOutput::writeBuffered() {
  const char* next = pbase();
  while (!failure_ && next < pptr()) {
    const ssize_t written = ::write(STDOUT_FILENO, next, static_cast<std::size_t>(pptr() - next));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failure_ = std::error_code(written < 0 ? errno : EIO, std::generic_category());
    } else {
      next += written;
    }
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return !failure_;
}

}  // namespace kiv::ctl
