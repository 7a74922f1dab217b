#pragma once

#include <string>
#include <string_view>

namespace kiv {

// The core's texts are UTF-8; the Win32 "W" calls take and give UTF-16. Every
// text crosses that boundary through these two, and a text makes the round
// trip unchanged: what the user typed is what the core holds.
//
// A lone surrogate (which a paste can bring) has no UTF-8 form; it is kept as
// the three bytes its code unit would take, so it comes back as it went, and
// the schedule file refuses it as text that is not UTF-8 rather than storing
// a stand-in. Bytes that are not UTF-8 at all never come from a window; they
// are shown as U+FFFD, one a byte.
std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view utf16);

}  // namespace kiv
