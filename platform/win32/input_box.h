#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// The program's own input box: the prompt, a text field, OK and Cancel, under
// `title`. Returns the text entered, or the empty text when the user cancels.
std::string showInputBox(HINSTANCE instance, HWND owner, const std::string& prompt,
                         const std::string& title);

}  // namespace kiv
