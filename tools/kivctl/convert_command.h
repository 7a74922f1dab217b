#pragma once

#include <ostream>
#include <string>

namespace kiv::ctl {

// "kivctl convert": reads `in` in any layout and writes its tasks to `out` in
// the current one, replacing `out` only once the new file is on the disk.
// The exit status.
int convertCommand(const std::string& in, const std::string& out, std::ostream& err);

}  // namespace kiv::ctl
