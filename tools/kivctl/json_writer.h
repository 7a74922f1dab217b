#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace kiv::ctl {

// Writes one JSON value to a stream as it is built, indented two blanks a
// level. A container opened as inline stays on one line, for small records in
// a long list. Texts are the core's UTF-8 and pass through as they are;
// quotes, backslashes and control characters are escaped.
class JsonWriter {
 public:
  enum class Layout { Indented, Inline };

  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void beginObject(Layout layout = Layout::Indented);
  void endObject();
  void beginArray(Layout layout = Layout::Indented);
  void endArray();
  // Names the member whose value comes next.
  void key(std::string_view name);
  void string(std::string_view text);
  void number(std::int64_t value);
  void null();

 private:
  struct Level {
    Layout layout;
    bool empty = true;
  };

  void open(char bracket, Layout layout);
  void close(char bracket);
  // Separates a value from the one before it and indents it, unless it
  // follows its key.
  void beforeValue();
  void newLine(std::size_t depth);
  void quoted(std::string_view text);

  std::ostream& out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

}  // namespace kiv::ctl
