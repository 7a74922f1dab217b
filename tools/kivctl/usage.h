#pragma once

#include <string>

namespace kiv::ctl {

// What "kivctl --help" prints.
std::string helpText();

// What "kivctl --version" prints: the program and the product version.
std::string versionText();

}  // namespace kiv::ctl
