#include "window_text.h"

#include "wide_text.h"

namespace kiv {
namespace {

std::wstring wideWindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

std::string windowText(HWND window) {
  return fromWide(wideWindowText(window));
}

void showWindowText(HWND window, const std::string& text) {
  const std::wstring shown = toWide(text);
  if (wideWindowText(window) != shown) SetWindowTextW(window, shown.c_str());
}

}  // namespace kiv
