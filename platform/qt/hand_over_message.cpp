#include "hand_over_message.h"

#include <QString>
#include <cstdint>

namespace kiv {
namespace {

void appendLength(QByteArray& message, std::size_t length) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    message.append(static_cast<char>((length >> shift) & 0xFF));
  }
}

std::size_t lengthAt(const QByteArray& received, qsizetype at) {
  std::uint32_t length = 0;
  for (qsizetype index = at; index < at + 4; ++index) {
    length = (length << 8) | static_cast<std::uint8_t>(received[index]);
  }
  return length;
}

// Decoding and encoding again changes any byte sequence that is not UTF-8.
bool isUtf8(const QByteArray& bytes) {
  return QString::fromUtf8(bytes).toUtf8() == bytes;
}

}  // namespace

std::optional<QByteArray> handOverMessage(std::string_view arguments, std::string_view folder) {
  if (arguments.size() > kHandOverTextBytes - folder.size() || folder.size() > kHandOverTextBytes) {
    return std::nullopt;
  }
  QByteArray message;
  appendLength(message, arguments.size());
  appendLength(message, folder.size());
  message.append(arguments.data(), static_cast<qsizetype>(arguments.size()));
  message.append(folder.data(), static_cast<qsizetype>(folder.size()));
  return message;
}

HandOverReading readHandOver(const QByteArray& received, HandOver& handOver) {
  constexpr auto kHeader = static_cast<qsizetype>(kHandOverHeaderBytes);
  if (received.size() < kHeader) return HandOverReading::Incomplete;
  const std::size_t argumentsLength = lengthAt(received, 0);
  const std::size_t folderLength = lengthAt(received, 4);
  if (argumentsLength > kHandOverTextBytes || folderLength > kHandOverTextBytes - argumentsLength) {
    return HandOverReading::Malformed;
  }
  const auto whole = kHeader + static_cast<qsizetype>(argumentsLength + folderLength);
  if (received.size() < whole) return HandOverReading::Incomplete;
  if (received.size() > whole) return HandOverReading::Malformed;
  const QByteArray arguments = received.mid(kHeader, static_cast<qsizetype>(argumentsLength));
  const QByteArray folder = received.mid(kHeader + static_cast<qsizetype>(argumentsLength));
  if (!isUtf8(arguments) || !isUtf8(folder)) return HandOverReading::Malformed;
  handOver = {arguments.toStdString(), folder.toStdString()};
  return HandOverReading::Complete;
}

}  // namespace kiv
