#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kiv {

// Appends `text` as a JSON string, quotes included. Texts are the core's UTF-8
// and pass through as they are; quotes, backslashes and control characters are
// escaped, so a text can never end its line or its string early.
void appendJsonString(std::string& out, std::string_view text);

// Builds one JSON object on one line, members in the order they are added.
class JsonObjectLine {
 public:
  JsonObjectLine& text(std::string_view key, std::string_view value);
  JsonObjectLine& number(std::string_view key, std::int64_t value);
  JsonObjectLine& null(std::string_view key);
  // The object, closed; the builder is spent afterwards.
  std::string finish();

 private:
  void key(std::string_view name);

  std::string line_ = "{";
};

// The values a flat JSON object holds.
using JsonScalar = std::variant<std::nullptr_t, bool, std::int64_t, std::string>;
using FlatJsonObject = std::map<std::string, JsonScalar, std::less<>>;

// One JSON object (blanks around it allowed) whose members are strings, whole
// numbers, true, false or null; nullopt for anything else, a nested value or a
// duplicate key among them, so a damaged line is refused as a whole.
std::optional<FlatJsonObject> parseFlatJsonObject(std::string_view text);

// The member `key` when it is of type T.
template <typename T>
const T* jsonMember(const FlatJsonObject& object, std::string_view key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : std::get_if<T>(&found->second);
}

}  // namespace kiv
