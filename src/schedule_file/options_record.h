#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "schedule_file/code_page.h"
#include "schedule_file/file_error.h"
#include "tasks/task_options.h"

namespace kiv {

// A task's options ride in the padding of its Version slot, which every
// reader of the schedule file ignores, so files with options still open
// everywhere. The record, little-endian, from the padding's first byte:
//
//   0..3   the tag "KvOp"
//   4      the record's format, 1
//   5      how many bytes of values follow: 7 + N (5 in the first version)
//   6..7   wait, in minutes
//   8..9   time limit, in minutes; 0 for none
//   10     catch-up window, in hours; 0 for none
//   11     how many copies of the database to keep, 0 to 99
//   12     N, the length of the backup folder; 0 for the default folder
//   13..   the backup folder's N bytes, in the schedule's code page
//   then   the CRC-32 of every byte before it
//
// The first version wrote only the five bytes up to the catch-up window: its
// records read with one copy kept in the default folder. A later version may
// append values after these and count them in byte 5: this reader checks
// them with the CRC and skips them, as the first version skips the copies.
// A change this reader must not misread takes a new format number, which it
// does not read. Padding without a valid record (another program's bytes,
// damage, a value out of range) gives the defaults.
inline constexpr std::size_t kShortestOptionsRecord = 17;
inline constexpr std::size_t kLongestOptionsRecord = kShortestOptionsRecord + kLongestBackupFolder;

// The bytes of the record for `options`, the backup folder in `codePage`; a
// failure naming task `taskIndex` (0-based) when they cannot be stored: see
// checkOptions and backupFolderProblem.
FileResult<std::vector<std::uint8_t>> optionsRecord(const TaskOptions& options, int taskIndex,
                                                    const CodePage& codePage);

// The options a padding holds, or the defaults.
TaskOptions readOptionsRecord(std::span<const std::uint8_t> padding, const CodePage& codePage);

// A kValueOutOfRange failure naming the task and the option when a number
// lies outside what the window lets a user set.
Result<void, FileError> checkOptions(const TaskOptions& options, int taskIndex);

// Why the schedule file cannot hold `folder` as a backup folder: a character
// the code page lacks (kNoCodePageForm, kInvalidUtf8) or more than
// kLongestBackupFolder bytes in it (kValueOutOfRange). The description
// begins in lower case, to follow a task's name or to start a sentence once
// capitalised. Nothing when it can.
std::optional<FileError> backupFolderProblem(std::string_view folder, const CodePage& codePage);

}  // namespace kiv
