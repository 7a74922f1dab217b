#include "ansi_text.h"

#include "windows_api.h"

namespace kiv {
namespace {

std::wstring widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// `usedDefault` learns whether a character had to be replaced; the UTF-8 code
// page replaces nothing and refuses to be asked.
std::string narrow(UINT codePage, std::wstring_view wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const bool exact = usedDefault != nullptr && codePage != CP_UTF8;
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* const report = exact ? usedDefault : nullptr;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, report);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, report);
  return text;
}

}  // namespace

std::string toAnsi(std::string_view utf8) {
  return narrow(CP_ACP, widen(CP_UTF8, utf8), nullptr);
}

std::optional<std::string> toAnsiExactly(std::string_view utf8) {
  // Text that is not UTF-8 reads as U+FFFD, which no ANSI code page has.
  BOOL replaced = FALSE;
  std::string ansi = narrow(GetACP(), widen(CP_UTF8, utf8), &replaced);
  if (replaced) return std::nullopt;
  return ansi;
}

std::string fromAnsi(std::string_view ansi) {
  return narrow(CP_UTF8, widen(CP_ACP, ansi), nullptr);
}

}  // namespace kiv
