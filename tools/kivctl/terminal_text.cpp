#include "terminal_text.h"

#include "base/hex_digits.h"

namespace kiv::ctl {

std::string shownOnTerminal(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
      continue;
    }
    switch (c) {
      case '\x1B':
        shown += "\\e";
        break;
      case '\n':
        shown += "\\n";
        break;
      case '\r':
        shown += "\\r";
        break;
      case '\t':
        shown += "\\t";
        break;
      default:
        shown += "\\x" + hexDigits(byte, 2);
    }
  }
  return shown;
}

}  // namespace kiv::ctl
