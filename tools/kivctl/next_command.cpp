#include "next_command.h"

#include <optional>

#include "exit_status.h"
#include "json_writer.h"
#include "local_time_text.h"
#include "schedule_source.h"

namespace kiv::ctl {
namespace {

std::string taskLabel(int index, const Task& task) {
  return "task " + std::to_string(index + 1) + " (launch time \"" + task.LaunchAt + "\")";
}

void writeLaunchLines(const Forecast& forecast, const TaskTable& tasks, std::ostream& out) {
  for (const Launch& launch : forecast.launches) {
    const std::string& name = tasks.at(launch.taskIndex).TaskName;
    out << dateTimeText(launch.at) << "  task " << launch.taskIndex + 1;
    if (!name.empty()) out << "  " << name;
    out << '\n';
  }
}

void writeLaunchJson(const Forecast& forecast, std::ostream& out) {
  JsonWriter json(out);
  json.beginArray();
  for (const Launch& launch : forecast.launches) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.key("task");
    json.number(launch.taskIndex + 1);
    json.key("at");
    json.string(dateTimeText(launch.at));
    json.endObject();
  }
  json.endArray();
  out << '\n';
}

}  // namespace

void writeForecast(const Forecast& forecast, const TaskTable& tasks, bool json, std::ostream& out,
                   std::ostream& err) {
  for (const SilentTask& silent : forecast.silentTasks) {
    reportError(err, taskLabel(silent.taskIndex, tasks.at(silent.taskIndex)) +
                         " never launches: " + silent.reason);
  }
  if (json) {
    writeLaunchJson(forecast, out);
  } else {
    writeLaunchLines(forecast, tasks, out);
  }
  if (!forecast.launches.empty() && forecast.launches.back().endsScheduler) {
    const Launch& last = forecast.launches.back();
    reportError(err, "task " + std::to_string(last.taskIndex + 1) +
                         " closes the scheduler after running at " + dateTimeText(last.at) +
                         "; nothing launches after it");
  }
}

int nextCommand(const std::string& file, const ForecastRange& range, bool json, std::ostream& out,
                std::ostream& err) {
  const std::optional<Schedule> schedule = loadSchedule(file, err);
  if (!schedule) return kExitFailure;
  writeForecast(forecastLaunches(schedule->tasks, range), schedule->tasks, json, out, err);
  return kExitSuccess;
}

}  // namespace kiv::ctl
