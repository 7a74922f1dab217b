#include "schedule_file/crc32.h"

namespace kiv {

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kPolynomial = 0xEDB88320U;
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    // The records checked are a few bytes long: bit by bit is quick enough
    // and needs no table.
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1U) != 0 ? kPolynomial : 0U);
  }
  return ~crc;
}

}  // namespace kiv
