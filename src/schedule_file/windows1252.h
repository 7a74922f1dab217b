#pragma once

#include <string>
#include <string_view>

#include "schedule_file/code_page.h"

namespace kiv {

// The schedule file's texts, one byte per character. Every character in the
// code page has exactly one byte; anything else is refused rather than turned
// into '?', so a saved path or password never silently changes.
Result<std::string, EncodeFailure> toWindows1252(std::string_view utf8);

// Never fails: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) read as the control characters of the same number, as Windows'
// own conversion does, so every byte survives a read and a later save.
std::string fromWindows1252(std::string_view bytes);

}  // namespace kiv
