#pragma once

#include <ostream>
#include <string>

#include "schedule_source.h"

namespace kiv::ctl {

struct ListOptions {
  bool json = false;
  bool showPasswords = false;
};

// Every task of the schedule with every stored field under its field name,
// and the command line a compiled task that passes compilation launches.
void writeTaskList(const Schedule& schedule, const ListOptions& options, std::ostream& out);

// "kivctl list": the exit status.
int listCommand(const std::string& file, const ListOptions& options, std::ostream& out,
                std::ostream& err);

}  // namespace kiv::ctl
