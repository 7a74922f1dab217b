#include "win32_file_storage.h"

#include "windows_api.h"

#include <algorithm>
#include <random>
#include <string>

#include "base/hex_digits.h"
#include "schedule_file/file_bytes.h"
#include "system_error_text.h"
#include "unique_handle.h"
#include "wide_text.h"

namespace kiv {
namespace {

// Tries at a free random name; a clash of 64 random bits is not expected
// even once.
constexpr int kNameTries = 8;
// WriteFile takes a DWORD count; a schedule is far smaller anyway.
constexpr std::size_t kLargestWrite = 1 << 20;

// The system's last error about `file`, whose name fills any insert of the
// description.
FileError lastSystemFailure(const std::filesystem::path& file) {
  const DWORD error = GetLastError();
  return {static_cast<int>(error), systemErrorText(error, fromWide(file.native()))};
}

// std::random_device draws from the system's generator (rand_s) here.
std::string randomSuffix(std::random_device& random) {
  std::string suffix = ".";
  for (int half = 0; half < 2; ++half) suffix += hexDigits(random(), 8, HexLetters::Lower);
  return suffix + ".tmp";
}

// A new file beside `target` that no other process may open while it is
// written (no sharing), which this one may read back; none, with the
// system's error, when none can be made.
UniqueHandle createTemporary(const std::filesystem::path& target,
                             std::filesystem::path& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    temporary = target;
    temporary += randomSuffix(random);
    UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

}  // namespace

Result<void, FileError> writeAll(HANDLE file, const std::filesystem::path& name,
                                 std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE) {
      return lastSystemFailure(name);
    }
    bytes = bytes.subspan(written);
  }
  return {};
}

FileResult<std::vector<std::uint8_t>> Win32FileStorage::readFile(const std::filesystem::path& path,
                                                                 std::size_t limit) {
  return readFileBytes(path, limit);
}

Result<void, FileError> Win32FileStorage::replaceFile(const std::filesystem::path& target,
                                                      std::span<const std::uint8_t> bytes) {
  return replaceFileWith(target, [&](HANDLE file) { return writeAll(file, target, bytes); });
}

Result<void, FileError> replaceFileWith(const std::filesystem::path& target,
                                        const FileFiller& fill) {
  std::filesystem::path temporary;
  Result<void, FileError> written;
  {
    const UniqueHandle file = createTemporary(target, temporary);
    if (!file) return lastSystemFailure(target);
    // Closed before the move: an open file cannot take the target's name.
    written = fill(file.get());
    if (written && FlushFileBuffers(file.get()) == FALSE) written = flushFailure();
  }
  if (written && MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE) {
    written = lastSystemFailure(target);
  }
  if (!written) DeleteFileW(temporary.c_str());
  return written;
}

}  // namespace kiv
