#include "base/content_checksum.h"

#include <algorithm>

namespace kiv {
namespace {

std::uint64_t littleEndianWord(const std::uint8_t* bytes) {
  std::uint64_t word = 0;
  for (std::size_t index = 0; index < 8; ++index) {
    word |= static_cast<std::uint64_t>(bytes[index]) << (8 * index);
  }
  return word;
}

}  // namespace

void ContentChecksum::addWord(std::uint64_t word) {
  sum_ += word;
  weightedSum_ += sum_;
}

void ContentChecksum::add(std::span<const std::uint8_t> bytes) {
  length_ += bytes.size();
  if (pendingSize_ > 0) {
    const std::size_t taken = std::min(bytes.size(), pending_.size() - pendingSize_);
    std::copy_n(bytes.begin(), taken, pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
    pendingSize_ += taken;
    bytes = bytes.subspan(taken);
    if (pendingSize_ < pending_.size()) return;
    addWord(littleEndianWord(pending_.data()));
    pendingSize_ = 0;
  }
  const std::size_t whole = bytes.size() / 8 * 8;
  // The sums are kept in locals while the words are added: the bytes may lie
  // anywhere, and stores to the members would have to be made, and the bytes
  // read again, after every word.
  std::uint64_t sum = sum_;
  std::uint64_t weightedSum = weightedSum_;
  for (std::size_t at = 0; at < whole; at += 8) {
    sum += littleEndianWord(bytes.data() + at);
    weightedSum += sum;
  }
  sum_ = sum;
  weightedSum_ = weightedSum;
  std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(whole), bytes.end(), pending_.begin());
  pendingSize_ = bytes.size() - whole;
}

// The last word is padded with zeros; the length tells a file ending in
// zeros from one without them.
std::uint64_t ContentChecksum::value() const {
  ContentChecksum finished = *this;
  if (pendingSize_ > 0) {
    std::array<std::uint8_t, 8> last{};
    std::copy_n(pending_.begin(), pendingSize_, last.begin());
    finished.addWord(littleEndianWord(last.data()));
  }
  finished.addWord(length_);
  return finished.weightedSum_ ^ (finished.sum_ << 32 | finished.sum_ >> 32);
}

}  // namespace kiv
