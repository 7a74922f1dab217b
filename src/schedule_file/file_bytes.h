#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "schedule_file/file_error.h"

namespace kiv {

// The front-end's way of forcing a written file's data to the disk (fsync on
// POSIX, FlushFileBuffers on Windows), which the standard library cannot do.
// Called with the closed temporary file before it replaces the target; false
// means the data may not be on the disk, and the save fails. A caller with no
// such means passes a function that returns true.
using DurableFlush = std::function<bool(const std::filesystem::path& file)>;

// At most `limit` bytes from the start of the file: a schedule is read whole,
// and a limit keeps a wrong pick of a huge file from filling the memory.
// Failures keep the system's error number and text.
FileResult<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path,
                                                    std::size_t limit);

// Replaces the file at `target` with `bytes` or leaves it untouched: the bytes
// go to a new temporary file in the same folder, readable and writable by the
// owner only (schedule files hold passwords), are flushed with `flush`, and the
// temporary file is then renamed over the target. On any failure the temporary
// file is removed. The new file is owner-only whatever the old one's
// permissions were.
std::optional<FileError> writeFileSafely(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes,
                                         const DurableFlush& flush);

}  // namespace kiv
