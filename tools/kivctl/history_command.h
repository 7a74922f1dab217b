#pragma once

#include <ostream>

#include "base/result.h"
#include "launch_history.h"
#include "shell/platform.h"

namespace kiv::ctl {

// "kivctl history": the journalled launches that pass the filter, oldest
// first, each with its outcome, as a table or a JSON array. The schedule
// column is shown only when the history is not of one schedule. The exit
// status is a failure when the journal cannot be read.
int historyCommand(const HistoryFilter& filter, bool json,
                   const Result<std::string, JournalUnreadable>& journal, std::ostream& out,
                   std::ostream& err);

}  // namespace kiv::ctl
