#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kiv {

// A checksum of a file's bytes, fed in pieces of any size, that tells a copy
// from its original when a byte was lost, changed, added or moved: a
// position-weighted sum of 64-bit words (Fletcher's, with 64-bit sums) and
// the length. Cheap enough that a copy checked by it runs near the speed of
// the disk; it guards against faults, not against someone forging a file.
class ContentChecksum {
 public:
  void add(std::span<const std::uint8_t> bytes);
  std::uint64_t value() const;

 private:
  void addWord(std::uint64_t word);

  std::uint64_t sum_ = 0;
  std::uint64_t weightedSum_ = 0;
  std::uint64_t length_ = 0;
  std::array<std::uint8_t, 8> pending_{};
  std::size_t pendingSize_ = 0;
};

}  // namespace kiv
