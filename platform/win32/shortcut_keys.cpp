#include "shortcut_keys.h"

#include <array>
#include <charconv>
#include <utility>

namespace kiv {
namespace {

constexpr std::array<std::pair<std::string_view, BYTE>, 3> kModifiers{{
    {"Ctrl+", FCONTROL},
    {"Shift+", FSHIFT},
    {"Alt+", FALT},
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

}  // namespace

std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD command) {
  BYTE flags = FVIRTKEY;
  for (bool found = true; found;) {
    found = false;
    for (const auto& [name, bit] : kModifiers) {
      if (shortcut.starts_with(name)) {
        flags |= bit;
        shortcut.remove_prefix(name.size());
        found = true;
      }
    }
  }
  const std::optional<WORD> key = virtualKey(shortcut);
  if (!key) return std::nullopt;
  return ACCEL{flags, *key, command};
}

}  // namespace kiv
