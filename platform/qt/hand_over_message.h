#pragma once

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// What a later start of the window program hands to the first: its command
// line and its current folder, both UTF-8, each after its length in bytes
// (4 bytes, most significant first).
//
// The receiver reads it from whoever connects, so the message is bounded:
// a length beyond the bound tells at once that the sender is not Kiv, and no
// more than a bounded message is ever taken in.
inline constexpr std::size_t kHandOverHeaderBytes = 8;
inline constexpr std::size_t kHandOverTextBytes = 64 * 1024;  // both texts together

// The receiver's answer once it has taken a whole message.
inline constexpr char kHandOverTaken = 'k';

struct HandOver {
  std::string arguments;
  std::string folder;
};

// The message; nullopt when the texts are longer than a message may hold.
std::optional<QByteArray> handOverMessage(std::string_view arguments, std::string_view folder);

enum class HandOverReading { Incomplete, Complete, Malformed };

// Reads the message `received` begins: Complete, with `handOver` set, when
// it is all there and nothing follows it; Malformed when its lengths go
// beyond the bound, its texts are not UTF-8 or bytes follow it.
HandOverReading readHandOver(const QByteArray& received, HandOver& handOver);

}  // namespace kiv
