#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv {

// `value` in upper-case hexadecimal digits, without a prefix, padded with
// leading zeros to at least `atLeast` digits: hexDigits(0x142, 4) is "0142".
std::string hexDigits(std::uint32_t value, std::size_t atLeast);

}  // namespace kiv
