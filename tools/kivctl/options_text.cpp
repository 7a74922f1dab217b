#include "options_text.h"

namespace kiv::ctl {
namespace {

constexpr std::string_view kWaitName = "waitMinutes";
constexpr std::string_view kTimeLimitName = "timeLimitMinutes";
constexpr std::string_view kCatchUpName = "catchUpHours";

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

std::array<std::pair<std::string_view, std::string>, 3> optionsText(const TaskOptions& options) {
  return {{
      {kWaitName, std::to_string(options.wait.count())},
      {kTimeLimitName, countOr(options.timeLimit, "none")},
      {kCatchUpName, countOr(options.catchUp, "off")},
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
  json.endObject();
}

}  // namespace kiv::ctl
