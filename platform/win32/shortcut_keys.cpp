#include "shortcut_keys.h"

#include <array>
#include <charconv>
#include <string>

namespace kiv {
namespace {

struct Modifier {
  std::string_view name;
  BYTE flag;
  int virtualKey;
};

constexpr std::array<Modifier, 3> kModifiers{{
    {"Ctrl+", FCONTROL, VK_CONTROL},
    {"Shift+", FSHIFT, VK_SHIFT},
    {"Alt+", FALT, VK_MENU},
}};

constexpr int kFunctionKeys = 24;

bool isKeyCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Letters and digits are their own virtual-key codes.
std::optional<WORD> virtualKey(std::string_view key) {
  if (key.size() == 1 && isKeyCharacter(key.front())) return static_cast<WORD>(key.front());
  if (key.size() < 2 || key.front() != 'F') return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), number);
  if (error != std::errc{} || end != key.data() + key.size() || number < 1 ||
      number > kFunctionKeys) {
    return std::nullopt;
  }
  return static_cast<WORD>(VK_F1 + number - 1);
}

std::string keyName(WPARAM key) {
  if (key <= 0xFF && isKeyCharacter(static_cast<char>(key))) return {static_cast<char>(key)};
  if (key >= VK_F1 && key < VK_F1 + kFunctionKeys) return "F" + std::to_string(key - VK_F1 + 1);
  return {};
}

}  // namespace

std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD command) {
  BYTE flags = FVIRTKEY;
  for (bool found = true; found;) {
    found = false;
    for (const Modifier& modifier : kModifiers) {
      if (shortcut.starts_with(modifier.name)) {
        flags |= modifier.flag;
        shortcut.remove_prefix(modifier.name.size());
        found = true;
      }
    }
  }
  const std::optional<WORD> key = virtualKey(shortcut);
  if (!key) return std::nullopt;
  return ACCEL{flags, *key, command};
}

std::string shortcutPressed(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return {};
  std::string key = keyName(message.wParam);
  if (key.empty()) return {};
  std::string shortcut;
  for (const Modifier& modifier : kModifiers) {
    if (GetKeyState(modifier.virtualKey) < 0) shortcut += modifier.name;
  }
  return shortcut + key;
}

}  // namespace kiv
