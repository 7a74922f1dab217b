#include "json_writer.h"

#include <string>

#include "base/json_text.h"

namespace kiv::ctl {

void JsonWriter::beginObject(Layout layout) {
  open('{', layout);
}
void JsonWriter::endObject() {
  close('}');
}
void JsonWriter::beginArray(Layout layout) {
  open('[', layout);
}
void JsonWriter::endArray() {
  close(']');
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  quoted(name);
  out_ << ": ";
  afterKey_ = true;
}

void JsonWriter::string(std::string_view text) {
  beforeValue();
  quoted(text);
}

void JsonWriter::number(std::int64_t value) {
  beforeValue();
  out_ << value;
}

void JsonWriter::null() {
  beforeValue();
  out_ << "null";
}

void JsonWriter::open(char bracket, Layout layout) {
  beforeValue();
  out_ << bracket;
  // Inside an inline container everything stays on its line.
  const bool inlineParent = !levels_.empty() && levels_.back().layout == Layout::Inline;
  levels_.push_back({inlineParent ? Layout::Inline : layout});
}

void JsonWriter::close(char bracket) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.empty && level.layout == Layout::Indented) newLine(levels_.size());
  out_ << bracket;
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) out_ << (level.layout == Layout::Inline ? ", " : ",");
  if (level.layout == Layout::Indented) newLine(levels_.size());
  level.empty = false;
}

void JsonWriter::newLine(std::size_t depth) {
  out_ << '\n' << std::string(depth * 2, ' ');
}

void JsonWriter::quoted(std::string_view text) {
  std::string quotedText;
  appendJsonString(quotedText, text);
  out_ << quotedText;
}

}  // namespace kiv::ctl
