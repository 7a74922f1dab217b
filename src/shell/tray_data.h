#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/names.h"

namespace kiv {

// The notification-area record, field by field as the shell's 88-byte
// NOTIFYICONDATA holds it. The window and icon handles are the front-end's.
struct NotifyIconData {
  static constexpr std::uint32_t kSize = 88;
  static constexpr std::size_t kTipLength = 64;

  std::uint32_t cbSize = kSize;
  std::uint32_t uID = 1;
  std::uint32_t uFlags = 7;                               // message, icon and tip valid
  std::uint32_t uCallbackMessage = kTrayRightButtonDown;  // reported like a right-button press
  std::string szTip = std::string(kTipLength, ' ');
};

enum class TrayOperation : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

}  // namespace kiv
