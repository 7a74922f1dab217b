#include "window_text.h"

#include "ansi_text.h"

namespace kiv {
namespace {

std::string ansiWindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

std::string windowText(HWND window) {
  return fromAnsi(ansiWindowText(window));
}

void showWindowText(HWND window, const std::string& text) {
  const std::string shown = toAnsi(text);
  if (ansiWindowText(window) != shown) SetWindowTextA(window, shown.c_str());
}

}  // namespace kiv
