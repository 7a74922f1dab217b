#include "engine/launch_metrics.h"

#include <array>
#include <charconv>
#include <functional>

namespace kiv {
namespace {

// A label value as the format writes it between double quotes.
std::string escapedLabel(const std::string& value) {
  std::string escaped;
  for (const char c : value) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '"') {
      escaped += "\\\"";
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string secondsText(std::chrono::milliseconds duration) {
  std::array<char, 32> digits{};
  const double seconds = static_cast<double>(duration.count()) / 1000.0;
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), seconds);
  return error == std::errc{} ? std::string(digits.data(), end) : std::string("NaN");
}

std::string epochText(std::chrono::sys_seconds at) {
  return std::to_string(at.time_since_epoch().count());
}

// One metric: its name, help, type and the value of a task's figures, none
// when the task has no such figure yet.
struct Metric {
  const char* name;
  const char* help;
  const char* type;
  std::function<std::optional<std::string>(const TaskMetrics&)> value;
};

const std::array<Metric, 7>& metrics() {
  static const std::array<Metric, 7> kMetrics{{
      {"kiv_last_start_timestamp_seconds", "When the task's program last started, in Unix time.",
       "gauge",
       [](const TaskMetrics& t) -> std::optional<std::string> {
         if (!t.lastStart) return std::nullopt;
         return epochText(*t.lastStart);
       }},
      {"kiv_last_end_timestamp_seconds", "When the task's program last ended, in Unix time.",
       "gauge",
       [](const TaskMetrics& t) -> std::optional<std::string> {
         if (!t.lastEnd) return std::nullopt;
         return epochText(*t.lastEnd);
       }},
      {"kiv_last_exit_status", "The exit status of the task's program when it last exited.",
       "gauge",
       [](const TaskMetrics& t) -> std::optional<std::string> {
         if (!t.lastExitStatus) return std::nullopt;
         return std::to_string(*t.lastExitStatus);
       }},
      {"kiv_last_duration_seconds", "How long the task's program ran when it last ended.", "gauge",
       [](const TaskMetrics& t) -> std::optional<std::string> {
         if (!t.lastDuration) return std::nullopt;
         return secondsText(*t.lastDuration);
       }},
      {"kiv_launches_started_total", "Launches of the task started since scheduling began.",
       "counter", [](const TaskMetrics& t) { return std::to_string(t.started); }},
      {"kiv_launches_failed_total",
       "Launches of the task not started, and its programs that failed, since scheduling began.",
       "counter", [](const TaskMetrics& t) { return std::to_string(t.failed); }},
      {"kiv_launches_missed_total", "Launches of the task missed since scheduling began.",
       "counter", [](const TaskMetrics& t) { return std::to_string(t.missed); }},
  }};
  return kMetrics;
}

}  // namespace

void LaunchMetrics::count(const LaunchRecord& launch, std::chrono::sys_seconds at) {
  TaskMetrics& task = tasks_[{launch.schedule, launch.task}];
  task.name = launch.taskName;
  if (launch.how == LaunchHow::Missed) {
    ++task.missed;
  } else if (!launch.started) {
    ++task.failed;
  } else {
    ++task.started;
    task.lastStart = at;
  }
}

// An unknown outcome is Kiv ending before the program: nothing about the
// program is known.
void LaunchMetrics::count(const EndedRecord& end, std::chrono::sys_seconds at) {
  if (end.outcome.kind == ProgramOutcome::Kind::Unknown) return;
  TaskMetrics& task = tasks_[{end.schedule, end.task}];
  task.lastEnd = at;
  task.lastDuration = end.outcome.duration;
  task.lastExitStatus.reset();
  if (end.outcome.kind == ProgramOutcome::Kind::Exited) task.lastExitStatus = end.outcome.code;
  if (end.outcome.failed()) ++task.failed;
}

std::string metricsExposition(const LaunchMetrics& figures, std::chrono::sys_seconds writtenAt) {
  std::string text;
  for (const Metric& metric : metrics()) {
    text += std::string("# HELP ") + metric.name + " " + metric.help + "\n";
    text += std::string("# TYPE ") + metric.name + " " + metric.type + "\n";
    for (const auto& [key, task] : figures.tasks()) {
      const std::optional<std::string> value = metric.value(task);
      if (!value) continue;
      text += std::string(metric.name) + "{schedule=\"" + escapedLabel(key.first) + "\",task=\"" +
              std::to_string(key.second) + "\",name=\"" + escapedLabel(task.name) + "\"} " +
              *value + "\n";
    }
  }
  text +=
      "# HELP kiv_metrics_written_timestamp_seconds When Kiv last wrote this file, in Unix "
      "time.\n";
  text += "# TYPE kiv_metrics_written_timestamp_seconds gauge\n";
  text += "kiv_metrics_written_timestamp_seconds " + epochText(writtenAt) + "\n";
  return text;
}

}  // namespace kiv
