#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "schedule_file/file_error.h"
#include "tasks/task_options.h"

namespace kiv {

// A task's options ride in the padding of its Version slot, which every
// reader of the schedule file ignores, so files with options still open
// everywhere. The record, little-endian, from the padding's first byte:
//
//   0..3   the tag "KvOp"
//   4      the record's format, 1
//   5      how many bytes of values follow: 5 in format 1
//   6..7   wait, in minutes
//   8..9   time limit, in minutes; 0 for none
//   10     catch-up window, in hours; 0 for none
//   then   the CRC-32 of every byte before it
//
// A later version may append values after these and count them in byte 5:
// this reader checks them with the CRC and skips them. A change this reader
// must not misread takes a new format number, which it does not read.
// Padding without a valid record (another program's bytes, damage, a value
// out of range) gives the defaults.
inline constexpr std::size_t kOptionsRecordSize = 15;

// The bytes of the record for `options`, which must be in range (see
// checkOptions).
std::array<std::uint8_t, kOptionsRecordSize> optionsRecord(const TaskOptions& options);

// The options a padding holds, or the defaults.
TaskOptions readOptionsRecord(std::span<const std::uint8_t> padding);

// A kValueOutOfRange failure naming the task and the option when an option
// lies outside what the window lets a user set.
Result<void, FileError> checkOptions(const TaskOptions& options, int taskIndex);

}  // namespace kiv
