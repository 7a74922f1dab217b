#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/result.h"

namespace kiv {

// Why a UTF-8 text has no form in a code page.
struct EncodeFailure {
  enum class Reason {
    InvalidUtf8,     // the input is not UTF-8; position counts bytes
    NoCodePageForm,  // a valid character the code page lacks; position counts characters
  };
  Reason reason;
  std::size_t position;  // 1-based
  char32_t character;    // the character without a form; 0 for invalid UTF-8
};

// The schedule file holds one byte per character in the system's ANSI code
// page. The core's texts are UTF-8; a CodePage converts between the two.
// Windows-1252 is built in; the Windows program hands in the system's own.
class CodePage {
 public:
  virtual ~CodePage() = default;
  // Refuses a character without a form rather than turning it into '?', so a
  // saved path or password never silently changes.
  virtual Result<std::string, EncodeFailure> encode(std::string_view utf8) const = 0;
  virtual std::string decode(std::string_view bytes) const = 0;
  // How messages name it: "Windows-1252".
  virtual std::string name() const = 0;
};

// What went wrong, for a message: the character, its code and its position,
// and the code page that lacks it.
std::string describeEncodeFailure(const EncodeFailure& failure,
                                  std::string_view codePageName = "Windows-1252");

// The built-in Windows-1252 code page.
const CodePage& windows1252CodePage();

}  // namespace kiv
