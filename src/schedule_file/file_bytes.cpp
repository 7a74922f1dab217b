#include "schedule_file/file_bytes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace kiv {
namespace fs = std::filesystem;
namespace {

// As many links in a row as Linux follows before it gives up.
constexpr int kLinkHops = 40;

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// The standard streams report failures only through errno; reading it right
// after the failing call keeps the system's own number and text.
std::error_code lastSystemError() {
  return {errno, std::generic_category()};
}

FileError failure(std::errc cause) {
  return writeFailure(std::make_error_code(cause));
}

// The file a chain of links ends at, or the path itself when it is no link.
FileResult<fs::path> followLinks(fs::path path) {
  for (int hop = 0; hop <= kLinkHops; ++hop) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found) return path;
    if (error) return writeFailure(error);
    if (!fs::is_symlink(status)) return path;
    const fs::path named = fs::read_symlink(path, error);
    if (error) return writeFailure(error);
    path = path.parent_path() / named;  // an absolute link replaces the whole path
  }
  return failure(std::errc::too_many_symbolic_link_levels);
}

// Only a regular file can be replaced by a schedule; a file marked read-only
// is refused as the system refuses a write to it, since replacing by rename
// would otherwise ignore the marking.
Result<void, FileError> refuseUnfitTarget(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (status.type() == fs::file_type::not_found) return {};
  if (error) return writeFailure(error);
  if (fs::is_directory(status)) return failure(std::errc::is_a_directory);
  if (!fs::is_regular_file(status)) return notARegularFile();
  if ((status.permissions() & kAnyWrite) == fs::perms::none) {
    return failure(std::errc::permission_denied);
  }
  return {};
}

}  // namespace

FileResult<std::vector<std::uint8_t>> readFileBytes(const fs::path& path, std::size_t limit) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status)) return readFailure(std::make_error_code(std::errc::is_a_directory));
  if (fs::exists(status) && !fs::is_regular_file(status)) return notARegularFile();
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

Result<void, FileError> writeFileSafely(const fs::path& target, std::span<const std::uint8_t> bytes,
                                        FileStorage& storage) {
  const FileResult<fs::path> destination = followLinks(target);
  if (!destination) return destination.error();
  if (auto fit = refuseUnfitTarget(destination.value()); !fit) return fit;
  return storage.replaceFile(destination.value(), bytes);
}

}  // namespace kiv
