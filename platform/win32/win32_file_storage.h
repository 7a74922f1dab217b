#pragma once

#include "windows_api.h"

#include <functional>

#include "schedule_file/file_storage.h"

namespace kiv {

// The FileStorage of the Windows program. Reading uses the standard streams
// (opening a file never waits on Windows). A save writes a new file beside
// the target that no other process may open while it is written, forces it
// to the disk, and moves it over the target with MoveFileEx, which returns
// only once the move is on the disk (MOVEFILE_WRITE_THROUGH). The new file
// takes the folder's inherited permissions.
class Win32FileStorage final : public FileStorage {
 public:
  FileResult<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path,
                                                 std::size_t limit) override;
  Result<void, FileError> replaceFile(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes) override;
};

// What writes a new file's bytes through its handle, and may read them back
// before the file takes its name.
using FileFiller = std::function<Result<void, FileError>(HANDLE file)>;

// Replaces `target` with the file `fill` writes, as a save replaces a
// schedule: the file is written where no other process may open it, forced
// to the disk and moved over the target.
Result<void, FileError> replaceFileWith(const std::filesystem::path& target,
                                        const FileFiller& fill);

// Writes all of `bytes` through `file`; failures name `name`.
Result<void, FileError> writeAll(HANDLE file, const std::filesystem::path& name,
                                 std::span<const std::uint8_t> bytes);

}  // namespace kiv
