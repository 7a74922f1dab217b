#include "verified_copy.h"

#include "windows_api.h"

#include <cstdint>
#include <span>
#include <vector>

#include "base/content_checksum.h"
#include "system_error_text.h"
#include "unique_handle.h"
#include "wide_text.h"
#include "win32_file_storage.h"

namespace kiv {
namespace {

// Large pieces keep the system calls few: the copy runs near the disk's speed.
constexpr DWORD kPieceSize = 1 << 20;

FileError lastFailure(const std::filesystem::path& file) {
  const DWORD error = GetLastError();
  return {static_cast<int>(error), systemErrorText(error, fromWide(file.native()))};
}

struct CopiedBytes {
  std::uint64_t length = 0;
  std::uint64_t checksum = 0;
};

// Reads `file` from its current position to its end, piece by piece, handing
// each piece to `use`; the length and checksum of what was read.
template <typename Use>
FileResult<CopiedBytes> readToEnd(HANDLE file, const std::filesystem::path& name,
                                  std::vector<std::uint8_t>& piece, Use use) {
  ContentChecksum checksum;
  std::uint64_t length = 0;
  for (;;) {
    DWORD got = 0;
    if (ReadFile(file, piece.data(), kPieceSize, &got, nullptr) == FALSE) return lastFailure(name);
    if (got == 0) return CopiedBytes{length, checksum.value()};
    const auto bytes = std::span<const std::uint8_t>(piece).first(got);
    checksum.add(bytes);
    if (auto used = use(bytes); !used) return used.error();
    length += got;
  }
}

}  // namespace

Result<void, FileError> copyFileVerified(const std::filesystem::path& from,
                                         const std::filesystem::path& to) {
  const UniqueHandle source(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source) return lastFailure(from);
  std::vector<std::uint8_t> piece(kPieceSize);
  return replaceFileWith(to, [&](HANDLE copy) -> Result<void, FileError> {
    const auto written =
        readToEnd(source.get(), from, piece,
                  [&](std::span<const std::uint8_t> bytes) { return writeAll(copy, to, bytes); });
    if (!written) return written.error();
    LARGE_INTEGER start{};
    if (SetFilePointerEx(copy, start, nullptr, FILE_BEGIN) == FALSE) return lastFailure(to);
    const auto copied = readToEnd(
        copy, to, piece, [](std::span<const std::uint8_t>) { return Result<void, FileError>{}; });
    if (!copied) return copied.error();
    if (copied.value().length != written.value().length ||
        copied.value().checksum != written.value().checksum) {
      return FileError{file_error::kWriteFailed, "the copy read back differs from the original"};
    }
    return {};
  });
}

}  // namespace kiv
