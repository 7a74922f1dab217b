#pragma once

#include <cstdint>
#include <span>

namespace kiv {

// The CRC-32 of zip and PNG (reflected polynomial 0xEDB88320, initial value
// and final XOR all ones): "123456789" gives 0xCBF43926.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

}  // namespace kiv
