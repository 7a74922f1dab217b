#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kiv {

// The core holds paths as UTF-8 texts; the file system library takes them as
// paths, which on Windows are wide. These convert without the system's code
// page taking part.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The folder a path names its file in; "." for a bare name.
inline std::string folderOfPath(const std::string& path) {
  const std::filesystem::path parent = pathFromUtf8(path).parent_path();
  return parent.empty() ? "." : utf8FromPath(parent);
}

// `file` as an absolute path without "." or ".." steps: a relative one is
// taken in `folder`. A schedule is known by this one name from the moment it
// is opened or saved, whatever the current folder does afterwards. The empty
// text (an untitled schedule) stays empty.
inline std::string absoluteFilePath(const std::string& file, const std::string& folder) {
  if (file.empty()) return file;
  std::filesystem::path path = pathFromUtf8(file);
  if (path.is_relative()) path = pathFromUtf8(folder) / path;
  return utf8FromPath(path.lexically_normal());
}

}  // namespace kiv
