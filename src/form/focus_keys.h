#pragma once

#include <string_view>

namespace kiv {

class MainForm;

// Whether the control with the focus keeps `key` (written as the menu items
// write their shortcuts, "Ctrl+X") for itself, so that the key does not choose
// the menu item it names. An editable text box keeps the clipboard and
// selection keys for its text, where a user expects them to cut, copy, paste
// and select rather than exit or save; the box's own key filter still decides
// what they do there (nothing in the launch-time box). Every other key, and
// every key while anything else has the focus, is the menu's.
bool focusKeepsKey(const MainForm& form, std::string_view key);

}  // namespace kiv
