#pragma once

#include <ostream>
#include <string>

#include "scheduler/next_launches.h"

namespace kiv::ctl {

// "task 3 (launch time "02:00:00")": a task named where its launches are in
// question, as in "... never launches: " and the reason.
std::string taskLabel(int index, const Task& task);

// The launches in `range` on `out` as they are found, one a line or as JSON;
// on `err` a line for each compiled task that never launches and for a launch
// that ends the scheduler.
void writeNextLaunches(const TaskTable& tasks, const ForecastRange& range, bool json,
                       std::ostream& out, std::ostream& err);

// "kivctl next": the exit status.
int nextCommand(const std::string& file, const ForecastRange& range, bool json, std::ostream& out,
                std::ostream& err);

}  // namespace kiv::ctl
