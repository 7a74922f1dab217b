#include "schedule_file/password_scrambling.h"

#include <cstddef>

namespace kiv {
namespace {

constexpr int kGroupLength = 3;
constexpr int kPositionOffset = 99;
constexpr int kHighestCode = 255;

// Even positions store the complement, so a run of one character does not show
// as a run of growing numbers.
int flipOnEvenPosition(int code, std::size_t position) {
  return position % 2 == 0 ? kHighestCode - code : code;
}

bool isDecimalDigit(char character) {
  return character >= '0' && character <= '9';
}

std::string groupWhat(std::size_t group, std::string_view problem) {
  return "group " + std::to_string(group) + " of the scrambled password " + std::string(problem);
}

}  // namespace

std::string fctnEncrypt(std::string_view PwordIn) {
  std::string scrambled;
  scrambled.reserve(PwordIn.size() * kGroupLength);
  for (std::size_t i = 1; i <= PwordIn.size(); ++i) {
    const int code = static_cast<unsigned char>(PwordIn[i - 1]);
    const auto stored = static_cast<std::size_t>(flipOnEvenPosition(code, i)) + i + kPositionOffset;
    scrambled += std::to_string(stored);
  }
  return scrambled;
}

FileResult<std::string> fctnDecrypt(std::string_view PwordOut) {
  std::string plain;
  const std::size_t groups = PwordOut.size() / kGroupLength;
  plain.reserve(groups);
  for (std::size_t k = 1; k <= groups; ++k) {
    const std::string_view group = PwordOut.substr((k - 1) * kGroupLength, kGroupLength);
    int stored = 0;
    for (const char digit : group) {
      if (!isDecimalDigit(digit)) {
        return FileError{file_error::kPasswordNotDigits,
                         groupWhat(k, "is not three decimal digits.")};
      }
      stored = stored * 10 + (digit - '0');
    }
    const long long code =
        static_cast<long long>(stored) - static_cast<long long>(k) - kPositionOffset;
    if (code < 0 || code > kHighestCode) {
      return FileError{file_error::kPasswordCodeOutOfRange,
                       groupWhat(k, "gives a character code outside 0 to 255.")};
    }
    plain += static_cast<char>(flipOnEvenPosition(static_cast<int>(code), k));
  }
  return plain;
}

}  // namespace kiv
