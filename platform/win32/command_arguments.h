#pragma once

#include <string>
#include <string_view>

namespace kiv {

// The arguments of a Windows command line: what follows the program's own
// name as Windows reads it (up to the closing quotation mark when the name
// starts with one, else up to the first blank or tab) and the blanks after
// it. The rest is kept exactly as it stands.
std::string argumentsAfterProgramName(std::string_view commandLine);

}  // namespace kiv
