#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "schedule_file/result.h"

namespace kiv {

// Why a UTF-8 text has no Windows-1252 form.
struct EncodeFailure {
  enum class Reason {
    InvalidUtf8,     // the input is not UTF-8; position counts bytes
    NoCodePageForm,  // a valid character the code page lacks; position counts characters
  };
  Reason reason;
  std::size_t position;  // 1-based
  char32_t character;    // the character without a form; 0 for invalid UTF-8
};

// The schedule file's texts, one byte per character. Every character in the
// code page has exactly one byte; anything else is refused rather than turned
// into '?', so a saved path or password never silently changes.
Result<std::string, EncodeFailure> toWindows1252(std::string_view utf8);

// What went wrong, for a message: the character, its code and its position.
std::string describeEncodeFailure(const EncodeFailure& failure);

// Never fails: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) read as the control characters of the same number, as Windows'
// own conversion does, so every byte survives a read and a later save.
std::string fromWindows1252(std::string_view bytes);

}  // namespace kiv
