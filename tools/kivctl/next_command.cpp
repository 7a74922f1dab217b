#include "next_command.h"

#include <optional>

#include "exit_status.h"
#include "json_writer.h"
#include "schedule_source.h"
#include "scheduler/date_time_text.h"

namespace kiv::ctl {

std::string taskLabel(int index, const Task& task) {
  return "task " + std::to_string(index + 1) + " (launch time \"" + task.LaunchAt + "\")";
}

namespace {

// Writes each launch as it comes, so a long forecast is never held whole.
class LaunchWriter {
 public:
  LaunchWriter(const TaskTable& tasks, bool json, std::ostream& out)
      : tasks_(tasks), out_(out), json_(json), writer_(out) {
    if (json_) writer_.beginArray();
  }

  void write(const Launch& launch) {
    if (json_) {
      writer_.beginObject(JsonWriter::Layout::Inline);
      writer_.key("task");
      writer_.number(launch.taskIndex + 1);
      writer_.key("at");
      writer_.string(dateTimeText(launch.at));
      if (launch.skippedDueAt) {
        writer_.key("dueAt");
        writer_.string(dateTimeText(*launch.skippedDueAt));
      }
      writer_.endObject();
      return;
    }
    const std::string& name = tasks_.at(launch.taskIndex).TaskName;
    out_ << dateTimeText(launch.at) << "  task " << launch.taskIndex + 1;
    if (!name.empty()) out_ << "  " << name;
    if (launch.skippedDueAt) {
      out_ << "  (due " << dateTimeText(*launch.skippedDueAt).substr(11)
           << ", which daylight saving skips)";
    }
    out_ << '\n';
  }

  void finish() {
    if (!json_) return;
    writer_.endArray();
    out_ << '\n';
  }

 private:
  const TaskTable& tasks_;
  std::ostream& out_;
  bool json_;
  JsonWriter writer_;
};

}  // namespace

void writeNextLaunches(const TaskTable& tasks, const ForecastRange& range, bool json,
                       std::ostream& out, std::ostream& err) {
  NextLaunches next(tasks, range.from, range.zone);
  for (const SilentTask& silent : next.silentTasks()) {
    reportError(err, taskLabel(silent.taskIndex, tasks.at(silent.taskIndex)) +
                         " never launches: " + silent.reason);
  }
  LaunchWriter writer(tasks, json, out);
  std::optional<Launch> last;
  for (std::size_t written = 0; written < range.count; ++written) {
    const std::optional<Launch> launch = next.next();
    if (!launch || (range.until && launch->at > *range.until)) break;
    writer.write(*launch);
    last = launch;
  }
  writer.finish();
  if (last && last->endsScheduler) {
    reportError(err, "task " + std::to_string(last->taskIndex + 1) +
                         " closes the scheduler after running at " + dateTimeText(last->at) +
                         "; nothing launches after it");
  }
}

int nextCommand(const std::string& file, const ForecastRange& range, bool json, std::ostream& out,
                std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;
  writeNextLaunches(schedule->tasks, range, json, out, err);
  return kExitSuccess;
}

}  // namespace kiv::ctl
