#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kiv::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends (made writable first, should a test have locked it).
class TempFolder {
 public:
  TempFolder() {
    std::mt19937_64 generator{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() /
            ("kiv-schedule-file-" + std::to_string(generator()));
    std::filesystem::create_directory(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The names in the folder, to show that nothing was left behind.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      found.push_back(entry.path().filename().string());
    }
    return found;
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::uint8_t> readAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's bytes as a text, as they are; empty when it cannot be read.
inline std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeAll(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A database file of a few bytes at `path`, for a compact, repair or
// decompile to find there; its path as a task holds it.
inline std::string standInDatabase(const std::filesystem::path& path) {
  writeAll(path, std::vector<std::uint8_t>(4096, 0x4B));
  return path.string();
}

}  // namespace kiv::testing
