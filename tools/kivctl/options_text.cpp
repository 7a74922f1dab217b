#include "options_text.h"

namespace kiv::ctl {
namespace {

constexpr std::string_view kWaitName = "waitMinutes";
constexpr std::string_view kTimeLimitName = "timeLimitMinutes";
constexpr std::string_view kCatchUpName = "catchUpHours";
constexpr std::string_view kBackupsName = "backups";
constexpr std::string_view kBackupFolderName = "backupFolder";

template <typename Duration>
std::string countOr(const std::optional<Duration>& value, std::string_view absent) {
  return value ? std::to_string(value->count()) : std::string(absent);
}

template <typename Duration>
void countOrNull(JsonWriter& json, const std::optional<Duration>& value) {
  if (value) {
    json.number(value->count());
  } else {
    json.null();
  }
}

}  // namespace

std::array<std::pair<std::string_view, std::string>, 5> optionsText(const TaskOptions& options) {
  return {{
      {kWaitName, std::to_string(options.wait.count())},
      {kTimeLimitName, countOr(options.timeLimit, "none")},
      {kCatchUpName, countOr(options.catchUp, "off")},
      {kBackupsName, std::to_string(options.backups)},
      {kBackupFolderName, options.backupFolder.empty() ? "default" : options.backupFolder},
  }};
}

void writeOptionsJson(JsonWriter& json, const TaskOptions& options) {
  json.beginObject(JsonWriter::Layout::Inline);
  json.key(kWaitName);
  json.number(options.wait.count());
  json.key(kTimeLimitName);
  countOrNull(json, options.timeLimit);
  json.key(kCatchUpName);
  countOrNull(json, options.catchUp);
  json.key(kBackupsName);
  json.number(options.backups);
  json.key(kBackupFolderName);
  json.string(options.backupFolder);
  json.endObject();
}

}  // namespace kiv::ctl
