#include "json_reader.h"

#include <stdexcept>

namespace kiv::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue document() {
    JsonValue value = parseValue();
    skipBlanks();
    if (position_ != text_.size()) fail();
    return value;
  }

 private:
  [[noreturn]] static void fail() { throw std::invalid_argument("not JSON"); }

  void skipBlanks() {
    while (position_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[position_]) != std::string_view::npos) {
      ++position_;
    }
  }

  char peek() {
    skipBlanks();
    if (position_ == text_.size()) fail();
    return text_[position_];
  }

  void expect(std::string_view word) {
    if (text_.substr(position_, word.size()) != word) fail();
    position_ += word.size();
  }

  JsonValue parseValue() {
    switch (peek()) {
      case '{':
        return {parseObject()};
      case '[':
        return {parseArray()};
      case '"':
        return {parseString()};
      case 'n':
        expect("null");
        return {nullptr};
      case 't':
        expect("true");
        return {true};
      case 'f':
        expect("false");
        return {false};
      default:
        return {parseNumber()};
    }
  }

  JsonValue::Object parseObject() {
    JsonValue::Object object;
    expect("{");
    if (closes('}')) return object;
    do {
      if (peek() != '"') fail();
      std::string key = parseString();
      if (peek() != ':') fail();
      ++position_;
      if (!object.emplace(std::move(key), parseValue()).second) fail();
    } while (separator('}'));
    return object;
  }

  JsonValue::Array parseArray() {
    JsonValue::Array array;
    expect("[");
    if (closes(']')) return array;
    do {
      array.push_back(parseValue());
    } while (separator(']'));
    return array;
  }

  // An empty container: takes the closing bracket when it comes next.
  bool closes(char closing) {
    if (peek() != closing) return false;
    ++position_;
    return true;
  }

  // True after a comma, false after the closing bracket.
  bool separator(char closing) {
    const char c = peek();
    ++position_;
    if (c == ',') return true;
    if (c != closing) fail();
    return false;
  }

  std::int64_t parseNumber() {
    const std::size_t start = position_;
    if (position_ < text_.size() && text_[position_] == '-') ++position_;
    while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9')
      ++position_;
    if (position_ == start) fail();
    return std::stoll(std::string(text_.substr(start, position_ - start)));
  }

  std::string parseString() {
    expect("\"");
    std::string text;
    while (true) {
      if (position_ == text_.size()) fail();
      const char c = text_[position_++];
      if (c == '"') return text;
      if (static_cast<unsigned char>(c) < 0x20) fail();
      text += c == '\\' ? escaped() : std::string(1, c);
    }
  }

  std::string escaped() {
    if (position_ == text_.size()) fail();
    const char c = text_[position_++];
    const std::string_view plain = "\"\\/bfnrt";
    const std::string_view meant = "\"\\/\b\f\n\r\t";
    if (const std::size_t at = plain.find(c); at != std::string_view::npos)
      return std::string(1, meant[at]);
    if (c != 'u' || position_ + 4 > text_.size()) fail();
    const unsigned code =
        static_cast<unsigned>(std::stoul(std::string(text_.substr(position_, 4)), nullptr, 16));
    position_ += 4;
    return utf8(code);
  }

  // Only what kivctl escapes this way: characters below U+0800.
  static std::string utf8(unsigned code) {
    if (code < 0x80) return std::string(1, static_cast<char>(code));
    if (code >= 0x800) fail();
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
  }

  std::string_view text_;
  std::size_t position_ = 0;
};

}  // namespace

std::optional<JsonValue> parseJson(std::string_view text) {
  try {
    return Parser(text).document();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace kiv::testing
