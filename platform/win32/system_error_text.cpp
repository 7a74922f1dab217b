#include "system_error_text.h"

#include "wide_text.h"

namespace kiv {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// "%1" to "%99", each with an optional printf format between '!' marks, as
// FormatMessage writes its inserts. "%%" is a percent sign of the text.
std::string fillInserts(std::string_view text, std::string_view subject) {
  std::string filled;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const bool insert =
        text[at] == '%' && at + 1 < text.size() && isDigit(text[at + 1]) && text[at + 1] != '0';
    if (!insert) {
      const bool percentSign = text[at] == '%' && at + 1 < text.size() && text[at + 1] == '%';
      filled += text[at];
      if (percentSign) ++at;
      continue;
    }
    ++at;
    while (at + 1 < text.size() && isDigit(text[at + 1])) ++at;
    if (at + 1 < text.size() && text[at + 1] == '!') {
      const std::size_t closing = text.find('!', at + 2);
      if (closing != std::string_view::npos) at = closing;
    }
    filled += subject;
  }
  return filled;
}

}  // namespace

std::string systemErrorText(DWORD error, std::string_view subject) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = fromWide(std::wstring_view(buffer, length));
  LocalFree(buffer);
  text.erase(text.find_last_not_of(" \r\n") + 1);
  if (text.empty()) return "Error " + std::to_string(error);
  return fillInserts(text, subject);
}

}  // namespace kiv
