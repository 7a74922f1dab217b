#pragma once

#include "windows_api.h"

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The accelerator for a menu shortcut as the form writes it: modifiers
// ("Ctrl+", "Shift+", "Alt+") followed by a letter, a digit or a function key
// ("Ctrl+N", "Shift+F5"). Nothing for a text of any other shape.
std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD command);

// The shortcut a key-down message presses, written as the form writes them,
// with the modifiers held when the message was sent ("Ctrl+X"). Empty for
// any other message, and for a key no shortcut can name.
std::string shortcutPressed(const MSG& message);

}  // namespace kiv
