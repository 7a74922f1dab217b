#include "base/json_text.h"

#include "base/hex_digits.h"
#include "base/text_characters.h"

#include <array>
#include <charconv>
#include <utility>

namespace kiv {
namespace {

// The escapes JSON names; other control characters take the \u form.
constexpr std::array<std::pair<char, std::string_view>, 7> kShortEscapes{{
    {'"', "\\\""},
    {'\\', "\\\\"},
    {'\b', "\\b"},
    {'\f', "\\f"},
    {'\n', "\\n"},
    {'\r', "\\r"},
    {'\t', "\\t"},
}};

void appendEscaped(std::string& out, char c) {
  for (const auto& [plain, escape] : kShortEscapes) {
    if (c == plain) {
      out += escape;
      return;
    }
  }
  if (static_cast<unsigned char>(c) < 0x20) {
    out += "\\u00";
    out += hexDigits(static_cast<unsigned char>(c), 2, HexLetters::Lower);
    return;
  }
  out += c;
}

// Reads a flat object from the front of its text; every step is false once
// the text breaks the grammar.
class FlatObjectReader {
 public:
  explicit FlatObjectReader(std::string_view text) : text_(text) {}

  std::optional<FlatJsonObject> read() {
    FlatJsonObject object;
    blanks();
    if (!take('{')) return std::nullopt;
    blanks();
    if (!take('}')) {
      do {
        blanks();
        std::string key;
        if (!string(key)) return std::nullopt;
        blanks();
        if (!take(':')) return std::nullopt;
        blanks();
        JsonScalar value;
        if (!scalar(value)) return std::nullopt;
        if (!object.emplace(std::move(key), std::move(value)).second) return std::nullopt;
        blanks();
      } while (take(','));
      if (!take('}')) return std::nullopt;
    }
    blanks();
    if (position_ != text_.size()) return std::nullopt;
    return object;
  }

 private:
  bool take(char c) {
    if (position_ >= text_.size() || text_[position_] != c) return false;
    ++position_;
    return true;
  }

  bool takeWord(std::string_view word) {
    if (text_.substr(position_, word.size()) != word) return false;
    position_ += word.size();
    return true;
  }

  void blanks() {
    while (position_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[position_]) != std::string_view::npos) {
      ++position_;
    }
  }

  bool scalar(JsonScalar& value) {
    if (position_ >= text_.size()) return false;
    const char first = text_[position_];
    if (first == '"') {
      std::string text;
      if (!string(text)) return false;
      value = std::move(text);
      return true;
    }
    if (takeWord("null")) {
      value = nullptr;
      return true;
    }
    if (takeWord("true") || takeWord("false")) {
      value = first == 't';
      return true;
    }
    return number(value);
  }

  // Whole numbers only: the journal writes nothing else.
  bool number(JsonScalar& value) {
    const std::size_t start = position_;
    take('-');
    const std::size_t digits = position_;
    while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') {
      ++position_;
    }
    const std::size_t count = position_ - digits;
    if (count == 0 || (count > 1 && text_[digits] == '0')) return false;
    std::int64_t parsed = 0;
    const char* end = text_.data() + position_;
    const auto [stop, error] = std::from_chars(text_.data() + start, end, parsed);
    if (error != std::errc{} || stop != end) return false;
    value = parsed;
    return true;
  }

  bool hexQuad(char32_t& code) {
    if (text_.size() - position_ < 4) return false;
    unsigned parsed = 0;
    const char* begin = text_.data() + position_;
    const auto [stop, error] = std::from_chars(begin, begin + 4, parsed, 16);
    if (error != std::errc{} || stop != begin + 4) return false;
    position_ += 4;
    code = parsed;
    return true;
  }

  bool unicodeEscape(std::string& out) {
    char32_t code = 0;
    if (!hexQuad(code)) return false;
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      char32_t low = 0;
      if (!takeWord("\\u") || !hexQuad(low) || low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(out, code);
    return true;
  }

  bool string(std::string& out) {
    if (!take('"')) return false;
    while (position_ < text_.size()) {
      const char c = text_[position_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (position_ >= text_.size()) return false;
      const char escape = text_[position_++];
      if (escape == 'u') {
        if (!unicodeEscape(out)) return false;
        continue;
      }
      if (escape == '/') {
        out += '/';
        continue;
      }
      bool known = false;
      for (const auto& [plain, written] : kShortEscapes) {
        if (written[1] == escape) {
          out += plain;
          known = true;
        }
      }
      if (!known) return false;
    }
    return false;
  }

  std::string_view text_;
  std::size_t position_ = 0;
};

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) appendEscaped(out, c);
  out += '"';
}

void JsonObjectLine::key(std::string_view name) {
  if (line_.size() > 1) line_ += ',';
  appendJsonString(line_, name);
  line_ += ':';
}

JsonObjectLine& JsonObjectLine::text(std::string_view key, std::string_view value) {
  this->key(key);
  appendJsonString(line_, value);
  return *this;
}

JsonObjectLine& JsonObjectLine::number(std::string_view key, std::int64_t value) {
  this->key(key);
  line_ += std::to_string(value);
  return *this;
}

JsonObjectLine& JsonObjectLine::null(std::string_view key) {
  this->key(key);
  line_ += "null";
  return *this;
}

std::string JsonObjectLine::finish() {
  line_ += '}';
  return std::move(line_);
}

std::optional<FlatJsonObject> parseFlatJsonObject(std::string_view text) {
  return FlatObjectReader(text).read();
}

}  // namespace kiv
