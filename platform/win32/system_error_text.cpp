#include "system_error_text.h"

#include "ansi_text.h"

namespace kiv {

std::string systemErrorText(DWORD error) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text(buffer, length);
  LocalFree(buffer);
  text.erase(text.find_last_not_of(" \r\n") + 1);
  if (text.empty()) return "Error " + std::to_string(error);
  return fromAnsi(text);
}

}  // namespace kiv
