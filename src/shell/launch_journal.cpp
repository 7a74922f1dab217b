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
constexpr std::array<std::string_view, 5> kHowNames{"scheduled", "onDemand", "afterSkippedHour",
                                                    "missed", "caughtUp"};
// In the order of ProgramOutcome::Kind, with the member that holds its code;
// an unknown outcome has none.
constexpr std::array<std::string_view, 4> kOutcomeNames{"exited", "signalled", "unknown",
                                                        "timedOut"};
constexpr std::array<std::string_view, 4> kCodeNames{"exitStatus", "signal", "",
                                                     "timeLimitMinutes"};
constexpr std::array<std::string_view, 2> kSchedulingStates{"stopped", "started"};

constexpr std::string_view kLaunchRecord = "launch";
constexpr std::string_view kEndedRecord = "ended";
constexpr std::string_view kSchedulingRecord = "scheduling";

template <std::size_t Size>
std::optional<std::size_t> indexOf(const std::array<std::string_view, Size>& names,
                                   const std::string* name) {
  if (name == nullptr) return std::nullopt;
  for (std::size_t index = 0; index < Size; ++index) {
    if (names[index] == *name) return index;
  }
  return std::nullopt;
}

}  // namespace

std::string durationText(std::chrono::milliseconds duration) {
  const auto tenths = duration.count() / 100;
  if (tenths < 600) return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
  const auto seconds = duration.count() / 1000;
  if (seconds < 3600) {
    return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
  }
  return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

namespace {

std::string_view codeName(ProgramOutcome::Kind kind) {
  return kCodeNames.at(static_cast<std::size_t>(kind));
}

// "45 min", "2 h", "1 h 30 min".
std::string minutesText(int minutes) {
  if (minutes < 60) return std::to_string(minutes) + " min";
  std::string text = std::to_string(minutes / 60) + " h";
  if (minutes % 60 != 0) text += " " + std::to_string(minutes % 60) + " min";
  return text;
}

// The members every record starts with. An untitled schedule has no file
// to name: its schedule is null.
JsonObjectLine recordStart(std::string_view kind, const std::string& at,
                           const std::string& schedule) {
  JsonObjectLine line;
  line.text("record", kind).text("at", at);
  if (schedule.empty()) {
    line.null("schedule");
  } else {
    line.text("schedule", schedule);
  }
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
  if (at == nullptr || !schedule) return std::nullopt;
  return CommonMembers{at, std::move(*schedule)};
}

std::string textOr(const FlatJsonObject& object, std::string_view key) {
  const std::string* text = jsonMember<std::string>(object, key);
  return text != nullptr ? *text : std::string();
}

std::optional<JournalRecord> parseLaunch(const FlatJsonObject& object,
                                         const CommonMembers& common) {
  const auto how = indexOf(kHowNames, jsonMember<std::string>(object, "how"));
  const std::string* result = jsonMember<std::string>(object, "result");
  const std::optional<int> task = intMember(object, "task");
  if (!how || !task || result == nullptr || (*result != "started" && *result != "notStarted")) {
    return std::nullopt;
  }
  LaunchRecord record;
  record.at = *common.at;
  record.dueAt = textOr(object, "dueAt");
  record.schedule = common.schedule;
  record.task = *task;
  record.taskName = textOr(object, "taskName");
  record.how = static_cast<LaunchHow>(*how);
  if (const std::string* line = jsonMember<std::string>(object, "commandLine")) {
    record.commandLine = *line;
  }
  record.started = *result == "started";
  if (const std::int64_t* pid = jsonMember<std::int64_t>(object, "pid")) record.pid = *pid;
  record.reason = textOr(object, "reason");
  if (const std::int64_t* waited = jsonMember<std::int64_t>(object, "waitedSeconds")) {
    record.waited = std::chrono::seconds{*waited};
  }
  record.backup = textOr(object, "backup");
  return record;
}

std::optional<JournalRecord> parseEnded(const FlatJsonObject& object, const CommonMembers& common) {
  const auto kind = indexOf(kOutcomeNames, jsonMember<std::string>(object, "outcome"));
  const std::int64_t* pid = jsonMember<std::int64_t>(object, "pid");
  const std::optional<int> task = intMember(object, "task");
  if (!kind || !task || pid == nullptr) return std::nullopt;
  EndedRecord record{*common.at,
                     common.schedule,
                     *task,
                     *pid,
                     {},
                     textOr(object, "databaseCheck"),
                     textOr(object, "restored")};
  record.outcome.kind = static_cast<ProgramOutcome::Kind>(*kind);
  if (record.outcome.kind != ProgramOutcome::Kind::Unknown) {
    const std::optional<int> code = intMember(object, codeName(record.outcome.kind));
    if (!code) return std::nullopt;
    record.outcome.code = *code;
  }
  if (const std::int64_t* duration = jsonMember<std::int64_t>(object, "durationMs")) {
    record.outcome.duration = std::chrono::milliseconds{*duration};
  }
  return record;
}

std::optional<JournalRecord> parseScheduling(const FlatJsonObject& object,
                                             const CommonMembers& common) {
  const auto state = indexOf(kSchedulingStates, jsonMember<std::string>(object, "state"));
  if (!state) return std::nullopt;
  return SchedulingRecord{*common.at, common.schedule, *state == 1};
}

// Calls `visit` with each record of the journal's text, oldest first; lines
// that hold none are passed over.
template <typename Visit>
void forEachRecord(std::string_view journalText, Visit visit) {
  while (!journalText.empty()) {
    const std::size_t end = journalText.find('\n');
    const std::string_view line = journalText.substr(0, end);
    journalText.remove_prefix(end == std::string_view::npos ? journalText.size() : end + 1);
    if (auto record = parseJournalLine(line)) visit(std::move(*record));
  }
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
    case Kind::TimedOut:
      text = "ended at its time limit of " + minutesText(code);
      break;
  }
  if (duration) text += " after " + durationText(*duration);
  return text;
}

std::string journalLine(const LaunchRecord& record) {
  JsonObjectLine line = recordStart(kLaunchRecord, record.at, record.schedule);
  line.number("task", record.task);
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
  if (record.waited) line.number("waitedSeconds", record.waited->count());
  if (!record.backup.empty()) line.text("backup", record.backup);
  return line.finish();
}

std::string journalLine(const EndedRecord& record) {
  JsonObjectLine line = recordStart(kEndedRecord, record.at, record.schedule);
  line.number("task", record.task)
      .number("pid", record.pid)
      .text("outcome", outcomeKindName(record.outcome.kind));
  if (record.outcome.kind != ProgramOutcome::Kind::Unknown) {
    line.number(codeName(record.outcome.kind), record.outcome.code);
  }
  if (record.outcome.duration) line.number("durationMs", record.outcome.duration->count());
  if (!record.databaseCheck.empty()) line.text("databaseCheck", record.databaseCheck);
  if (!record.restored.empty()) line.text("restored", record.restored);
  return line.finish();
}

std::string journalLine(const SchedulingRecord& record) {
  return recordStart(kSchedulingRecord, record.at, record.schedule)
      .text("state", kSchedulingStates.at(record.started ? 1 : 0))
      .finish();
}

std::optional<JournalRecord> parseJournalLine(std::string_view line) {
  const auto object = parseFlatJsonObject(line);
  if (!object) return std::nullopt;
  const auto common = commonMembers(*object);
  const std::string* kind = jsonMember<std::string>(*object, "record");
  if (!common || kind == nullptr) return std::nullopt;
  if (*kind == kLaunchRecord) return parseLaunch(*object, *common);
  if (*kind == kEndedRecord) return parseEnded(*object, *common);
  if (*kind == kSchedulingRecord) return parseScheduling(*object, *common);
  return std::nullopt;
}

std::vector<JournalledLaunch> journalledLaunches(std::string_view journalText) {
  using Key = std::tuple<ProcessId, std::string, std::string, int>;
  std::vector<JournalledLaunch> launches;
  std::map<Key, std::size_t> awaitingOutcome;
  forEachRecord(journalText, [&](JournalRecord record) {
    if (auto* launch = std::get_if<LaunchRecord>(&record)) {
      if (launch->pid) {
        awaitingOutcome[{*launch->pid, launch->at, launch->schedule, launch->task}] =
            launches.size();
      }
      launches.push_back({std::move(*launch), std::nullopt});
      return;
    }
    const auto* ended = std::get_if<EndedRecord>(&record);
    if (ended == nullptr) return;
    const auto found = awaitingOutcome.find({ended->pid, ended->at, ended->schedule, ended->task});
    if (found == awaitingOutcome.end()) return;
    launches[found->second].outcome = ended->outcome;
    awaitingOutcome.erase(found);
  });
  return launches;
}

std::optional<SchedulingRecord> lastScheduling(std::string_view journalText,
                                               const std::string& schedule) {
  std::optional<SchedulingRecord> last;
  forEachRecord(journalText, [&](JournalRecord record) {
    auto* scheduling = std::get_if<SchedulingRecord>(&record);
    if (scheduling != nullptr && scheduling->schedule == schedule) last = std::move(*scheduling);
  });
  return last;
}

}  // namespace kiv
