#pragma once

#include <chrono>
#include <functional>
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
  // Why the schedule file cannot hold a backup folder, as a sentence the
  // dialog shows; empty when it can. OK keeps the dialog open while there is
  // a reason, so a folder is never cut or changed to fit. Unset: any folder.
  std::function<std::string(std::string_view folder)> folderProblem = {};
};

// The dialog's own texts, the same in every front-end. Each field's label
// carries the mnemonic that moves to it; the two check boxes switch their
// number on and off. An empty backup folder is the default one, which the
// hint names.
namespace options_dialog {
inline constexpr std::string_view kWaitLabel = "&Wait for a busy database (minutes):";
inline constexpr std::string_view kTimeLimitCheck = "&Time limit (minutes):";
inline constexpr std::string_view kCatchUpCheck = "&Catch up missed launches (hours):";
inline constexpr std::string_view kBackupsLabel = "Copies to &keep:";
inline constexpr std::string_view kBackupFolderLabel = "&Backup folder:";
inline constexpr std::string_view kBackupFolderHint = "Kiv backups beside the database";
// Where a front-end offers to choose the folder.
inline constexpr std::string_view kBrowseButton = "B&rowse\u2026";
inline constexpr std::string_view kLockedNote = "Decompile the task to change its options.";
inline constexpr std::string_view kHelpButton = "&Help";
inline constexpr std::string_view kCloseButton = "Close";
// What a switched-off number shows, ready for when it is switched on.
inline constexpr std::chrono::minutes kOfferedTimeLimit{60};
inline constexpr std::chrono::hours kOfferedCatchUp{24};
}  // namespace options_dialog

}  // namespace kiv
