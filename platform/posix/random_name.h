#pragma once

#include <cstddef>
#include <string>

#include "schedule_file/file_error.h"

namespace kiv::posix {

// `byteCount` bytes from the kernel's random generator as lowercase
// hexadecimal digits, two a byte: a name nobody can guess or prepare a file
// for in advance.
FileResult<std::string> randomHex(std::size_t byteCount);

}  // namespace kiv::posix
