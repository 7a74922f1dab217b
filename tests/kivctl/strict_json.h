#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

namespace kiv::testing {

// kivctl's JSON read back, so tests check what it says rather than its
// layout; nullopt when the text is not strict JSON: a trailing comma, an
// unescaped control character, anything after the value or a duplicate key,
// which nlohmann alone would take with the last value winning.
std::optional<nlohmann::json> parseJson(std::string_view text);

}  // namespace kiv::testing
