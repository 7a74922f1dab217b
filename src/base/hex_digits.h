#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv {

// Unicode names and Windows statuses are written in upper case; file names,
// lock names and escapes that other programs expect in lower case.
enum class HexLetters { Upper, Lower };

// `value` in hexadecimal digits, without a prefix, padded with leading zeros
// to at least `atLeast` digits: hexDigits(0x142, 4) is "0142".
std::string hexDigits(std::uint64_t value, std::size_t atLeast,
                      HexLetters letters = HexLetters::Upper);

}  // namespace kiv
