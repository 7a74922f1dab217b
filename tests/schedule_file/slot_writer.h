#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kiv::testing {

// Lays out schedule files slot by slot without the program's encoder, so the
// reader is checked against bytes its own writer did not make.
class SlotWriter {
 public:
  // Padding is filled with `padding`, so a test can show it carries no meaning.
  explicit SlotWriter(std::uint8_t padding = 0) : padding_(padding) {}

  // A text slot: the 2-byte little-endian length, then the bytes as given.
  SlotWriter& text(std::string_view bytes) {
    std::vector<std::uint8_t> slot{static_cast<std::uint8_t>(bytes.size() & 0xFF),
                                   static_cast<std::uint8_t>(bytes.size() >> 8)};
    slot.insert(slot.end(), bytes.begin(), bytes.end());
    return add(slot);
  }

  SlotWriter& byte(std::uint8_t value) { return add({value}); }

  // The file: every slot padded to 128 bytes but the last.
  std::vector<std::uint8_t> file() const {
    std::vector<std::uint8_t> bytes = bytes_;
    bytes.resize(bytes.size() - lastPadding_);
    return bytes;
  }

 private:
  static constexpr std::size_t kSlot = 128;

  SlotWriter& add(std::vector<std::uint8_t> slot) {
    lastPadding_ = kSlot - slot.size();
    slot.resize(kSlot, padding_);
    bytes_.insert(bytes_.end(), slot.begin(), slot.end());
    return *this;
  }

  std::uint8_t padding_;
  std::vector<std::uint8_t> bytes_;
  std::size_t lastPadding_ = 0;
};

}  // namespace kiv::testing
