#pragma once

#include <string>
#include <string_view>

namespace kiv {

// A Windows command line starts with the program's own name, as Windows reads
// it: up to the closing quotation mark when the name starts with one, else up
// to the first blank or tab.

// The program's name, without its quotation marks.
std::string programName(std::string_view commandLine);

// The arguments: what follows the program's name and the blanks after it,
// kept exactly as it stands.
std::string argumentsAfterProgramName(std::string_view commandLine);

}  // namespace kiv
