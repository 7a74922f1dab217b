#include "ansi_code_page.h"

#include <string>

#include "ansi_text.h"
#include "base/text_characters.h"
#include "schedule_file/windows1252.h"
#include "windows_api.h"

namespace kiv {
namespace {

class SystemAnsiCodePage final : public CodePage {
 public:
  Result<std::string, EncodeFailure> encode(std::string_view utf8) const override {
    if (std::optional<std::string> ansi = toAnsiExactly(utf8)) return *std::move(ansi);
    // Malformed UTF-8 is the same failure whatever the code page.
    Result<std::string, EncodeFailure> wellFormed = toWindows1252(utf8);
    if (!wellFormed && wellFormed.error().reason == EncodeFailure::Reason::InvalidUtf8) {
      return wellFormed.error();
    }
    const std::size_t count = characterCount(utf8);
    for (std::size_t index = 0; index < count; ++index) {
      const std::string_view character = characterAt(utf8, index);
      if (!toAnsiExactly(character)) {
        return EncodeFailure{EncodeFailure::Reason::NoCodePageForm, index + 1,
                             utf8SequenceAt(character, 0).value().character};
      }
    }
    return EncodeFailure{EncodeFailure::Reason::NoCodePageForm, 1, 0};
  }

  std::string decode(std::string_view bytes) const override { return fromAnsi(bytes); }

  // Named as the built-in one is, so both programs refuse a character alike.
  std::string name() const override { return "Windows-" + std::to_string(GetACP()); }
};

}  // namespace

const CodePage& systemAnsiCodePage() {
  static const SystemAnsiCodePage codePage;
  return codePage;
}

}  // namespace kiv
