#pragma once

#include <ostream>
#include <string>

#include "base/result.h"
#include "schedule_source.h"
#include "shell/platform.h"

namespace kiv::ctl {

struct ListOptions {
  bool json = false;
  bool showPasswords = false;
  // The launch journal, for each task's last launch; none when empty.
  Result<std::string, JournalUnreadable> journal = std::string();
};

// Every task of the schedule with every stored field under its field name,
// its options,
// the command line a compiled task that passes compilation launches, and its
// last launch with the outcome when the journal holds one.
void writeTaskList(const Schedule& schedule, const std::string& file, const ListOptions& options,
                   std::ostream& out);

// "kivctl list": the exit status. A journal that cannot be read is said on
// `err` and leaves the last launches out.
int listCommand(const std::string& file, const ListOptions& options, std::ostream& out,
                std::ostream& err);

}  // namespace kiv::ctl
