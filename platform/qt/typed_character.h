#pragma once

#include <optional>

class QKeyEvent;

namespace kiv {

// The character code a key press types into a text box, as the text box's
// key-press handler receives it: backspace is 8, Ctrl with a letter the
// control character of that letter (Ctrl+C is 3). Nothing for keys that type
// no character: Delete, Tab, arrows, Home, End, function keys, and Alt
// combinations, which belong to the menu.
std::optional<int> typedCharacter(const QKeyEvent& event);

}  // namespace kiv
