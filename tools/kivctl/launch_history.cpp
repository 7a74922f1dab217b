#include "launch_history.h"

#include <filesystem>

#include "base/utf8_path.h"
#include "scheduler/date_time_text.h"

namespace kiv::ctl {
namespace {

// The file a schedule's name stands for, for comparing two names.
std::filesystem::path sameFile(const std::string& name) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(pathFromUtf8(name), error);
  if (error) return pathFromUtf8(name);
  const auto canonical = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : canonical;
}

// Compares many journal names with one file, resolving each name once.
class ScheduleMatcher {
 public:
  explicit ScheduleMatcher(const std::string& schedule) : wanted_(sameFile(schedule)) {}

  bool matches(const std::string& journalled) {
    if (journalled.empty()) return false;  // an untitled schedule is no file
    auto found = known_.find(journalled);
    if (found == known_.end())
      found = known_.emplace(journalled, sameFile(journalled) == wanted_).first;
    return found->second;
  }

 private:
  std::filesystem::path wanted_;
  std::map<std::string, bool> known_;
};

void writeOutcomeJson(JsonWriter& json, const std::optional<ProgramOutcome>& outcome) {
  if (!outcome) {
    json.null();
    return;
  }
  json.beginObject(JsonWriter::Layout::Inline);
  json.key("kind");
  json.string(outcomeKindName(outcome->kind));
  if (outcome->kind == ProgramOutcome::Kind::Exited) {
    json.key("exitStatus");
    json.number(outcome->code);
  } else if (outcome->kind == ProgramOutcome::Kind::Signalled) {
    json.key("signal");
    json.number(outcome->code);
  } else if (outcome->kind == ProgramOutcome::Kind::TimedOut) {
    json.key("timeLimitMinutes");
    json.number(outcome->code);
  }
  if (outcome->duration) {
    json.key("durationMs");
    json.number(outcome->duration->count());
  }
  json.endObject();
}

void writeTextOrNull(JsonWriter& json, std::string_view key, const std::string& text) {
  json.key(key);
  if (text.empty()) {
    json.null();
  } else {
    json.string(text);
  }
}

}  // namespace

std::vector<JournalledLaunch> filteredLaunches(std::string_view journalText,
                                               const HistoryFilter& filter) {
  std::optional<ScheduleMatcher> schedule;
  if (filter.schedule) schedule.emplace(*filter.schedule);
  std::vector<JournalledLaunch> launches = journalledLaunches(journalText);
  std::erase_if(launches, [&](const JournalledLaunch& entry) {
    const LaunchRecord& launch = entry.launch;
    if (filter.task && launch.task != *filter.task) return true;
    if (filter.since) {
      const auto at = parseDateTime(launch.at);
      if (!at || *at < *filter.since) return true;
    }
    return schedule && !schedule->matches(launch.schedule);
  });
  return launches;
}

std::map<int, JournalledLaunch> lastLaunches(std::string_view journalText,
                                             const std::string& schedule) {
  std::map<int, JournalledLaunch> last;
  for (JournalledLaunch& launch : filteredLaunches(journalText, {schedule, {}, {}})) {
    last.insert_or_assign(launch.launch.task, std::move(launch));
  }
  return last;
}

std::string resultText(const LaunchRecord& launch) {
  std::string text = launch.started                    ? "started"
                     : launch.how == LaunchHow::Missed ? "missed"
                                                       : "not started";
  if (launch.waited) text += " after waiting " + durationText(*launch.waited);
  if (launch.pid) text += ", pid " + std::to_string(*launch.pid);
  return text;
}

std::string outcomeText(const JournalledLaunch& launch) {
  if (!launch.launch.started) return launch.launch.reason;
  return launch.outcome ? launch.outcome->text() : "-";
}

void writeLaunchJson(JsonWriter& json, const JournalledLaunch& entry) {
  const LaunchRecord& launch = entry.launch;
  json.beginObject(JsonWriter::Layout::Indented);
  json.key("at");
  json.string(launch.at);
  writeTextOrNull(json, "dueAt", launch.dueAt);
  writeTextOrNull(json, "schedule", launch.schedule);
  json.key("task");
  json.number(launch.task);
  json.key("taskName");
  json.string(launch.taskName);
  json.key("how");
  json.string(launchHowName(launch.how));
  json.key("commandLine");
  if (launch.commandLine) {
    json.string(*launch.commandLine);
  } else {
    json.null();
  }
  json.key("result");
  json.string(launch.started ? "started" : "notStarted");
  json.key("pid");
  if (launch.pid) {
    json.number(*launch.pid);
  } else {
    json.null();
  }
  writeTextOrNull(json, "reason", launch.reason);
  json.key("waitedSeconds");
  if (launch.waited) {
    json.number(launch.waited->count());
  } else {
    json.null();
  }
  json.key("outcome");
  writeOutcomeJson(json, entry.outcome);
  json.endObject();
}

}  // namespace kiv::ctl
