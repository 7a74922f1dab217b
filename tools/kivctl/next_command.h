#pragma once

#include <ostream>
#include <string>

#include "launch_forecast.h"

namespace kiv::ctl {

// The launches on `out`, one a line or as JSON; on `err` a line for each
// compiled task that never launches and for a launch that ends the scheduler.
void writeForecast(const Forecast& forecast, const TaskTable& tasks, bool json, std::ostream& out,
                   std::ostream& err);

// "kivctl next": the exit status.
int nextCommand(const std::string& file, const ForecastRange& range, bool json, std::ostream& out,
                std::ostream& err);

}  // namespace kiv::ctl
