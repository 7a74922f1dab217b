#include "console_output.h"

#include "wide_text.h"

namespace kiv::ctl {
namespace {

constexpr std::size_t kWriteAt = 4096;

// How many bytes of `text` end on a whole UTF-8 sequence.
std::size_t wholeCharacters(const std::string& text) {
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? text.size() - back : text.size();
  }
  return text.size();
}

}  // namespace

ConsoleOutput::ConsoleOutput(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
  DWORD mode = 0;
  console_ = GetConsoleMode(handle_, &mode) != FALSE;
}

ConsoleOutput::~ConsoleOutput() {
  sync();
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type character) {
  if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(0);
  pending_ += traits_type::to_char_type(character);
  if (pending_.size() >= kWriteAt) sync();
  return character;
}

std::streamsize ConsoleOutput::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= kWriteAt) sync();
  return count;
}

int ConsoleOutput::sync() {
  DWORD written = 0;
  if (!console_) {
    const bool wrote =
        pending_.empty() || WriteFile(handle_, pending_.data(), static_cast<DWORD>(pending_.size()),
                                      &written, nullptr) != FALSE;
    pending_.clear();
    return wrote ? 0 : -1;
  }
  const std::size_t whole = wholeCharacters(pending_);
  const std::wstring wide = toWide(std::string_view(pending_).substr(0, whole));
  pending_.erase(0, whole);
  if (wide.empty()) return 0;
  return WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
                 FALSE
             ? 0
             : -1;
}

}  // namespace kiv::ctl
