#include "schedule_file/file_bytes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace kiv {
namespace fs = std::filesystem;
namespace {

// The standard streams report failures only through errno; reading it right
// after the failing call keeps the system's own number and text.
std::error_code lastSystemError() {
  return {errno, std::generic_category()};
}

constexpr int kTemporaryNameTries = 8;
constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

std::string randomSuffix(std::uint64_t random) {
  constexpr std::string_view kHexDigits = "0123456789abcdef";
  std::string suffix = ".";
  for (int digit = 0; digit < 16; ++digit, random >>= 4) suffix += kHexDigits[random & 0xF];
  return suffix + ".tmp";
}

// A name beside the target that nothing uses yet, so a save never overwrites
// another file while it writes.
FileResult<fs::path> freeTemporaryName(const fs::path& target) {
  std::mt19937_64 generator{std::random_device{}()};
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    fs::path candidate = target;
    candidate += randomSuffix(generator());
    // A name that is not there reports "not found" as its error too.
    std::error_code error;
    const fs::file_status status = fs::symlink_status(candidate, error);
    if (status.type() == fs::file_type::not_found) return candidate;
    if (error) return writeFailure(error);
  }
  return writeFailure(std::make_error_code(std::errc::file_exists));
}

// Saving through a link updates the file it points to and keeps the link.
fs::path resolvedTarget(const fs::path& target) {
  std::error_code error;
  if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
  fs::path resolved = fs::canonical(target, error);
  return error ? target : resolved;
}

// A file marked read-only is refused, as it is where the system refuses to
// replace it: replacing by rename would otherwise ignore the marking.
std::optional<FileError> refuseReadOnly(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (!fs::exists(status) || (status.permissions() & kAnyWrite) != fs::perms::none) {
    return std::nullopt;
  }
  return writeFailure(std::make_error_code(std::errc::permission_denied));
}

std::optional<FileError> writeOwnerOnly(const fs::path& file, std::span<const std::uint8_t> bytes) {
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return writeFailure(lastSystemError());
  // Set before any byte is written, so the password never sits in a file
  // others may read.
  std::error_code error;
  fs::permissions(file, kOwnerOnly, fs::perm_options::replace, error);
  if (error) return writeFailure(error);
  errno = 0;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return writeFailure(lastSystemError());
  return std::nullopt;
}

std::optional<FileError> writeAndReplace(const fs::path& temporary, const fs::path& target,
                                         std::span<const std::uint8_t> bytes,
                                         const DurableFlush& flush) {
  if (auto failure = writeOwnerOnly(temporary, bytes)) return failure;
  if (!flush(temporary)) {
    return FileError{file_error::kFlushFailed,
                     "The schedule file could not be forced to the disk."};
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) return writeFailure(error);
  return std::nullopt;
}

}  // namespace

FileResult<std::vector<std::uint8_t>> readFileBytes(const fs::path& path, std::size_t limit) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return readFailure(lastSystemError());
  std::vector<std::uint8_t> bytes;
  std::array<char, 8192> chunk{};
  while (in && bytes.size() < limit) {
    errno = 0;
    in.read(chunk.data(),
            static_cast<std::streamsize>(std::min(chunk.size(), limit - bytes.size())));
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + in.gcount());
  }
  if (in.bad()) return readFailure(lastSystemError());
  return bytes;
}

std::optional<FileError> writeFileSafely(const fs::path& target,
                                         std::span<const std::uint8_t> bytes,
                                         const DurableFlush& flush) {
  const fs::path destination = resolvedTarget(target);
  if (auto refused = refuseReadOnly(destination)) return refused;
  FileResult<fs::path> temporary = freeTemporaryName(destination);
  if (!temporary) return temporary.error();
  std::optional<FileError> failure = writeAndReplace(temporary.value(), destination, bytes, flush);
  if (failure) {
    std::error_code ignored;  // the failure that matters is the one being reported
    fs::remove(temporary.value(), ignored);
  }
  return failure;
}

}  // namespace kiv
