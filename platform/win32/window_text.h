#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// A window's text, as UTF-8, read through the wide call: exactly what the
// user typed or pasted.
std::string windowText(HWND window);

// Sets the window's text to `text` (UTF-8) unless it shows that text already:
// setting an equal text would move the caret of a box the user types in.
void showWindowText(HWND window, const std::string& text);

}  // namespace kiv
