#include "form/schedule_argument.h"

#include "base/names.h"
#include "base/utf8_path.h"

namespace kiv {
namespace {

std::string_view withoutSurroundingQuotes(std::string_view path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"' &&
      path.substr(1, path.size() - 2).find('"') == std::string_view::npos) {
    return path.substr(1, path.size() - 2);
  }
  return path;
}

}  // namespace

std::optional<std::string> scheduleNamedBy(std::string_view arguments, const std::string& folder) {
  if (!arguments.starts_with(kOpenSwitch)) return std::nullopt;
  const std::string file(withoutSurroundingQuotes(arguments.substr(kOpenSwitch.size())));
  const std::filesystem::path path = pathFromUtf8(file);
  if (file.empty() || !path.is_relative()) return file;
  return utf8FromPath(pathFromUtf8(folder) / path);
}

bool isScheduleCandidate(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(pathFromUtf8(path), error);
}

}  // namespace kiv
