// The checksum that verifies a copy of a database against its original.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "base/content_checksum.h"

namespace kiv {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint64_t checksumOf(const Bytes& bytes, std::size_t pieceSize) {
  ContentChecksum checksum;
  for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
    checksum.add(std::span(bytes).subspan(at, std::min(pieceSize, bytes.size() - at)));
  }
  return checksum.value();
}

Bytes someBytes(std::size_t size) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
  return bytes;
}

TEST(ContentChecksum, IsTheSameHoweverTheBytesArrive) {
  const Bytes bytes = someBytes(1001);
  const std::uint64_t whole = checksumOf(bytes, bytes.size());
  for (const std::size_t pieceSize : {1, 3, 7, 8, 9, 64, 1000}) {
    EXPECT_EQ(checksumOf(bytes, pieceSize), whole) << pieceSize;
  }
}

TEST(ContentChecksum, TellsACopyThatDiffersFromItsOriginal) {
  const Bytes original = someBytes(4096);
  const std::uint64_t expected = checksumOf(original, 4096);

  Bytes changedByte = original;
  changedByte[2049] ^= 0x10;
  Bytes swappedWords = original;
  std::swap_ranges(swappedWords.begin(), swappedWords.begin() + 8, swappedWords.begin() + 8);
  Bytes lostTail(original.begin(), original.end() - 1);
  Bytes zeroAppended = original;
  zeroAppended.push_back(0);
  Bytes zeroed(original.size(), 0);
  const Bytes copies[] = {changedByte, swappedWords, lostTail, zeroAppended, zeroed};
  for (const Bytes& copy : copies) EXPECT_NE(checksumOf(copy, 4096), expected);

  EXPECT_NE(checksumOf({}, 1), checksumOf(Bytes{0}, 1)) << "an empty file is not one zero byte";
}

}  // namespace
}  // namespace kiv
