#include "posix/temporary_name.h"

#include <algorithm>

namespace kiv::posix {
namespace {

constexpr std::string_view kSuffix = ".tmp";

bool isLowerHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::string temporaryNameFor(std::string_view target, std::string_view randomDigits) {
  std::string name(target);
  name += '.';
  name += randomDigits;
  name += kSuffix;
  return name;
}

bool isTemporaryNameOf(std::string_view candidate, std::string_view target) {
  constexpr std::size_t kDigits = 2 * kTemporaryNameRandomBytes;
  if (candidate.size() != target.size() + 1 + kDigits + kSuffix.size() ||
      !candidate.starts_with(target) || !candidate.ends_with(kSuffix) ||
      candidate[target.size()] != '.') {
    return false;
  }
  const std::string_view digits = candidate.substr(target.size() + 1, kDigits);
  return std::ranges::all_of(digits, isLowerHexDigit);
}

}  // namespace kiv::posix
