#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kiv::testing {

// A parsed JSON value, so tests check kivctl's JSON by what it says rather
// than by its layout. Numbers are whole, as kivctl writes them.
struct JsonValue {
  using Object = std::map<std::string, JsonValue>;
  using Array = std::vector<JsonValue>;
  std::variant<std::nullptr_t, bool, std::int64_t, std::string, Array, Object> value;

  bool isNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  std::int64_t number() const { return std::get<std::int64_t>(value); }
  const std::string& text() const { return std::get<std::string>(value); }
  const Array& array() const { return std::get<Array>(value); }
  const Object& object() const { return std::get<Object>(value); }
  // The member `name`; throws when there is none, so a missing key fails the test.
  const JsonValue& operator[](const std::string& name) const { return object().at(name); }
};

// The one value that makes up `text` (blanks around it allowed), or nullopt
// when the text is not strict JSON: a trailing comma, an unescaped control
// character, a duplicate key or anything after the value refuses it.
std::optional<JsonValue> parseJson(std::string_view text);

}  // namespace kiv::testing
