#pragma once

#include "program_watcher.h"

namespace kiv::ctl {

// The programs kivctl starts: minimised, as Kiv.exe starts them, each watched
// until the run loop collects its ending.
using StartedPrograms = ProgramWatcher;

}  // namespace kiv::ctl
