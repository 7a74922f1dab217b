#include "strict_json.h"

#include <set>
#include <string>
#include <vector>

namespace kiv::testing {

std::optional<nlohmann::json> parseJson(std::string_view text) {
  using Event = nlohmann::json::parse_event_t;
  std::vector<std::set<std::string>> keysOfOpenObjects;
  bool duplicateKey = false;
  const auto noteKeys = [&](int, Event event, nlohmann::json& parsed) {
    if (event == Event::object_start) keysOfOpenObjects.emplace_back();
    if (event == Event::object_end) keysOfOpenObjects.pop_back();
    if (event == Event::key && !keysOfOpenObjects.back().insert(parsed.get<std::string>()).second) {
      duplicateKey = true;
    }
    return true;
  };
  nlohmann::json value = nlohmann::json::parse(text, noteKeys, false);
  if (value.is_discarded() || duplicateKey) return std::nullopt;
  return value;
}

}  // namespace kiv::testing
