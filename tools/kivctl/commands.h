#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kiv::ctl {

// The whole program for the arguments after its name: parses them, runs the
// command asked for and returns the exit status.
int runKivctl(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
