#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "tasks/task_options.h"

namespace kiv {

// The Options dialog of one task: its options as they stand, and whether the
// task is compiled, which locks them like its other fields.
struct TaskOptionsRequest {
  std::string title;
  TaskOptions options;
  bool locked = false;
  int helpContext = 0;  // where Help and F1 open the help
};

// The dialog's own texts, the same in every front-end. Each field's label
// carries the mnemonic that moves to it; the two check boxes switch their
// number on and off.
namespace options_dialog {
inline constexpr std::string_view kWaitLabel = "&Wait for a busy database (minutes):";
inline constexpr std::string_view kTimeLimitCheck = "&Time limit (minutes):";
inline constexpr std::string_view kCatchUpCheck = "&Catch up missed launches (hours):";
inline constexpr std::string_view kLockedNote = "Decompile the task to change its options.";
inline constexpr std::string_view kHelpButton = "&Help";
inline constexpr std::string_view kCloseButton = "Close";
// What a switched-off number shows, ready for when it is switched on.
inline constexpr std::chrono::minutes kOfferedTimeLimit{60};
inline constexpr std::chrono::hours kOfferedCatchUp{24};
}  // namespace options_dialog

}  // namespace kiv
