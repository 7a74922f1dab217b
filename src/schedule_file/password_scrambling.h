#pragma once

#include <string>
#include <string_view>

#include "schedule_file/file_error.h"

namespace kiv {

// The schedule file keeps a password as three decimal digits per character, so
// it cannot be read at a glance. There is no key: this hides, it does not
// protect. Both work on code-page byte strings (one byte per character).

// Character i (from 1) with code c becomes the digits of c + i + 99, where an
// even position first takes 255 - c. That is always three digits for passwords
// of up to 645 characters; the file stores at most 42.
std::string fctnEncrypt(std::string_view PwordIn);

// Reads each complete group of three characters back; characters after the
// last complete group are ignored. A group must be exactly three decimal
// digits: no blank, no sign, no exponent. The writer never produces anything
// else, so anything else is damage, and reading it leniently would hand the
// database program a password nobody typed. Fails with kPasswordNotDigits or
// kPasswordCodeOutOfRange, the description naming the group.
FileResult<std::string> fctnDecrypt(std::string_view PwordOut);

}  // namespace kiv
