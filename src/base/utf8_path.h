#pragma once

#include <filesystem>
#include <string>

namespace kiv {

// The core holds paths as UTF-8 texts; the file system library takes them as
// paths, which on Windows are wide. These convert without the system's code
// page taking part.
inline std::filesystem::path pathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace kiv
