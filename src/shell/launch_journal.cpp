#include "shell/launch_journal.h"

#include <array>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

#include "base/hex_digits.h"
#include "base/json_text.h"

namespace kiv {
namespace {

// In the order of LaunchHow.
constexpr std::array<std::string_view, 4> kHowNames{"scheduled", "onDemand", "afterSkippedHour",
                                                    "missed"};
// In the order of ProgramOutcome::Kind.
constexpr std::array<std::string_view, 3> kOutcomeNames{"exited", "signalled", "unknown"};
constexpr std::array<std::string_view, 2> kCodeNames{"exitStatus", "signal"};

constexpr std::string_view kLaunchRecord = "launch";
constexpr std::string_view kEndedRecord = "ended";

template <std::size_t Size>
std::optional<std::size_t> indexOf(const std::array<std::string_view, Size>& names,
                                   const std::string* name) {
  if (name == nullptr) return std::nullopt;
  for (std::size_t index = 0; index < Size; ++index) {
    if (names[index] == *name) return index;
  }
  return std::nullopt;
}

// "12.3 s" under a minute, "3 min 20 s" under an hour, "2 h 5 min" beyond.
std::string durationText(std::chrono::milliseconds duration) {
  const auto tenths = duration.count() / 100;
  if (tenths < 600) return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
  const auto seconds = duration.count() / 1000;
  if (seconds < 3600) {
    return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
  }
  return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

// The members every record starts with. An untitled schedule has no file
// to name: its schedule is null.
JsonObjectLine recordStart(std::string_view kind, const std::string& at,
                           const std::string& schedule, int task) {
  JsonObjectLine line;
  line.text("record", kind).text("at", at);
  if (schedule.empty()) {
    line.null("schedule");
  } else {
    line.text("schedule", schedule);
  }
  line.number("task", task);
  return line;
}

// A whole number member that an int holds; nullopt when it is missing or out
// of range, which no line Kiv wrote holds: such a line is damaged, and its
// number is never cut down to another one.
std::optional<int> intMember(const FlatJsonObject& object, std::string_view key) {
  const std::int64_t* value = jsonMember<std::int64_t>(object, key);
  if (value == nullptr || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

struct CommonMembers {
  const std::string* at = nullptr;
  std::string schedule;
  int task = 0;
};

// The schedule member: a file, or null for an untitled schedule (which
// lines of older versions wrote as the empty text).
std::optional<std::string> scheduleMember(const FlatJsonObject& object) {
  if (const std::string* file = jsonMember<std::string>(object, "schedule")) return *file;
  if (jsonMember<std::nullptr_t>(object, "schedule") != nullptr) return std::string();
  return std::nullopt;
}

std::optional<CommonMembers> commonMembers(const FlatJsonObject& object) {
  const std::string* at = jsonMember<std::string>(object, "at");
  std::optional<std::string> schedule = scheduleMember(object);
  const std::optional<int> task = intMember(object, "task");
  if (at == nullptr || !schedule || !task) return std::nullopt;
  return CommonMembers{at, std::move(*schedule), *task};
}

std::string textOr(const FlatJsonObject& object, std::string_view key) {
  const std::string* text = jsonMember<std::string>(object, key);
  return text != nullptr ? *text : std::string();
}

std::optional<JournalRecord> parseLaunch(const FlatJsonObject& object,
                                         const CommonMembers& common) {
  const auto how = indexOf(kHowNames, jsonMember<std::string>(object, "how"));
  const std::string* result = jsonMember<std::string>(object, "result");
  if (!how || result == nullptr || (*result != "started" && *result != "notStarted")) {
    return std::nullopt;
  }
  LaunchRecord record;
  record.at = *common.at;
  record.dueAt = textOr(object, "dueAt");
  record.schedule = common.schedule;
  record.task = common.task;
  record.taskName = textOr(object, "taskName");
  record.how = static_cast<LaunchHow>(*how);
  if (const std::string* line = jsonMember<std::string>(object, "commandLine")) {
    record.commandLine = *line;
  }
  record.started = *result == "started";
  if (const std::int64_t* pid = jsonMember<std::int64_t>(object, "pid")) record.pid = *pid;
  record.reason = textOr(object, "reason");
  return record;
}

std::optional<JournalRecord> parseEnded(const FlatJsonObject& object, const CommonMembers& common) {
  const auto kind = indexOf(kOutcomeNames, jsonMember<std::string>(object, "outcome"));
  const std::int64_t* pid = jsonMember<std::int64_t>(object, "pid");
  if (!kind || pid == nullptr) return std::nullopt;
  EndedRecord record{*common.at, common.schedule, common.task, *pid, {}};
  record.outcome.kind = static_cast<ProgramOutcome::Kind>(*kind);
  if (record.outcome.kind != ProgramOutcome::Kind::Unknown) {
    const std::optional<int> code = intMember(object, kCodeNames.at(*kind));
    if (!code) return std::nullopt;
    record.outcome.code = *code;
  }
  if (const std::int64_t* duration = jsonMember<std::int64_t>(object, "durationMs")) {
    record.outcome.duration = std::chrono::milliseconds{*duration};
  }
  return record;
}

}  // namespace

std::string_view launchHowName(LaunchHow how) {
  return kHowNames.at(static_cast<std::size_t>(how));
}

std::string_view outcomeKindName(ProgramOutcome::Kind kind) {
  return kOutcomeNames.at(static_cast<std::size_t>(kind));
}

std::string ProgramOutcome::text() const {
  std::string text;
  switch (kind) {
    case Kind::Exited:
      text = "exit status " + std::to_string(code);
      // Windows' statuses of 0x80000000 and above are negative here; they are
      // known by their hexadecimal form (0xC0000005: an access violation).
      if (code < 0) text += " (0x" + hexDigits(static_cast<std::uint32_t>(code), 8) + ")";
      break;
    case Kind::Signalled:
      text = "ended by signal " + std::to_string(code);
      break;
    case Kind::Unknown:
      return "outcome unknown: Kiv ended first";
  }
  if (duration) text += " after " + durationText(*duration);
  return text;
}

std::string journalLine(const LaunchRecord& record) {
  JsonObjectLine line = recordStart(kLaunchRecord, record.at, record.schedule, record.task);
  if (!record.dueAt.empty()) line.text("dueAt", record.dueAt);
  line.text("taskName", record.taskName).text("how", launchHowName(record.how));
  if (record.commandLine) {
    line.text("commandLine", *record.commandLine);
  } else {
    line.null("commandLine");
  }
  if (record.started) {
    line.text("result", "started");
    if (record.pid) line.number("pid", *record.pid);
  } else {
    line.text("result", "notStarted").text("reason", record.reason);
  }
  return line.finish();
}

std::string journalLine(const EndedRecord& record) {
  JsonObjectLine line = recordStart(kEndedRecord, record.at, record.schedule, record.task);
  line.number("pid", record.pid).text("outcome", outcomeKindName(record.outcome.kind));
  if (record.outcome.kind != ProgramOutcome::Kind::Unknown) {
    line.number(kCodeNames.at(static_cast<std::size_t>(record.outcome.kind)), record.outcome.code);
  }
  if (record.outcome.duration) line.number("durationMs", record.outcome.duration->count());
  return line.finish();
}

std::optional<JournalRecord> parseJournalLine(std::string_view line) {
  const auto object = parseFlatJsonObject(line);
  if (!object) return std::nullopt;
  const auto common = commonMembers(*object);
  const std::string* kind = jsonMember<std::string>(*object, "record");
  if (!common || kind == nullptr) return std::nullopt;
  if (*kind == kLaunchRecord) return parseLaunch(*object, *common);
  if (*kind == kEndedRecord) return parseEnded(*object, *common);
  return std::nullopt;
}

std::vector<JournalledLaunch> journalledLaunches(std::string_view journalText) {
  using Key = std::tuple<ProcessId, std::string, std::string, int>;
  std::vector<JournalledLaunch> launches;
  std::map<Key, std::size_t> awaitingOutcome;
  while (!journalText.empty()) {
    const std::size_t end = journalText.find('\n');
    const std::string_view line = journalText.substr(0, end);
    journalText.remove_prefix(end == std::string_view::npos ? journalText.size() : end + 1);
    const auto record = parseJournalLine(line);
    if (!record) continue;
    if (const auto* launch = std::get_if<LaunchRecord>(&*record)) {
      if (launch->pid) {
        awaitingOutcome[{*launch->pid, launch->at, launch->schedule, launch->task}] =
            launches.size();
      }
      launches.push_back({*launch, std::nullopt});
      continue;
    }
    const auto& ended = std::get<EndedRecord>(*record);
    const auto found = awaitingOutcome.find({ended.pid, ended.at, ended.schedule, ended.task});
    if (found == awaitingOutcome.end()) continue;
    launches[found->second].outcome = ended.outcome;
    awaitingOutcome.erase(found);
  }
  return launches;
}

}  // namespace kiv
