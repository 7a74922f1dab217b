#include "ansi_text.h"

#include "wide_text.h"
#include "windows_api.h"

namespace kiv {

std::optional<std::string> toAnsiExactly(std::string_view utf8) {
  const std::wstring wide = toWide(utf8);
  if (wide.empty()) return std::string();
  // Text that is not UTF-8 reads as U+FFFD, and a lone surrogate stays one:
  // no ANSI code page has either.
  BOOL replaced = FALSE;
  const int size = static_cast<int>(wide.size());
  const UINT codePage = GetACP();
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                         0, nullptr, &replaced);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                      nullptr, &replaced);
  if (replaced != FALSE) return std::nullopt;
  return ansi;
}

std::string fromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
  return fromWide(wide);
}

}  // namespace kiv
