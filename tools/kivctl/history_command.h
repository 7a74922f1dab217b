#pragma once

#include <cstddef>
#include <optional>
#include <ostream>

#include "base/result.h"
#include "launch_history.h"
#include "shell/platform.h"

namespace kiv::ctl {

// How the history is printed: a JSON array, or a table fitted into `width`
// characters (every column whole when there is no width).
struct HistoryShape {
  bool json = false;
  std::optional<std::size_t> width;
};

// "kivctl history": the journalled launches that pass the filter, oldest
// first, each with its outcome, as a table or a JSON array. The schedule
// column is shown only when the history is not of one schedule. The exit
// status is a failure when the journal cannot be read.
int historyCommand(const HistoryFilter& filter, const HistoryShape& shape,
                   const Result<std::string, JournalUnreadable>& journal, std::ostream& out,
                   std::ostream& err);

}  // namespace kiv::ctl
