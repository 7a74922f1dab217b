#include "posix/random_name.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "base/hex_digits.h"

namespace kiv::posix {

FileResult<std::string> randomHex(std::size_t byteCount) {
  std::vector<unsigned char> bytes(byteCount);
  for (std::size_t filled = 0; filled < byteCount;) {
    const ssize_t got = ::getrandom(bytes.data() + filled, byteCount - filled, 0);
    if (got < 0 && errno != EINTR) return writeFailure({errno, std::generic_category()});
    if (got > 0) filled += static_cast<std::size_t>(got);
  }
  std::string text;
  for (const unsigned char byte : bytes) text += hexDigits(byte, 2, HexLetters::Lower);
  return text;
}

}  // namespace kiv::posix
