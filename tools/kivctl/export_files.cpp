#include "export_files.h"

#include "base/utf8_path.h"
#include "exit_status.h"
#include "os_services.h"
#include "schedule_file/file_bytes.h"

namespace kiv::ctl {

namespace fs = std::filesystem;

bool prepareExportFolder(const fs::path& directory, std::string_view files, std::ostream& err) {
  std::error_code error;
  fs::create_directories(directory, error);
  if (error) {
    reportError(err, utf8FromPath(directory) + ": " + error.message());
    return false;
  }
  const fs::perms folderPermissions = fs::status(directory, error).permissions();
  if (!error &&
      (folderPermissions & (fs::perms::group_write | fs::perms::others_write)) != fs::perms::none) {
    reportError(err, utf8FromPath(directory) +
                         " can be written by other users, who could replace the " +
                         std::string(files) + " in it");
  }
  return true;
}

std::optional<std::string> writeExportFile(const fs::path& file,
                                           std::span<const std::uint8_t> bytes,
                                           std::string_view kind) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(file, error))) {
    return utf8FromPath(file) + ": a link stands at the " + std::string(kind) +
           "'s name; remove it first";
  }
  if (const auto written = writeFileSafely(file, bytes, scheduleStorage()); !written) {
    return utf8FromPath(file) + ": " + written.error().description;
  }
  return std::nullopt;
}

}  // namespace kiv::ctl
