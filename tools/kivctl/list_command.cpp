#include "list_command.h"

#include <array>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "compile/printed_command_line.h"
#include "engine/maintenance_guard.h"
#include "exit_status.h"
#include "json_writer.h"
#include "launch_history.h"
#include "options_text.h"
#include "os_services.h"
#include "tasks/value_lists.h"

namespace kiv::ctl {
namespace {

constexpr std::string_view kCommandLineName = "commandLine";
constexpr std::string_view kNewestCopyName = "newestCopy";
constexpr std::size_t kNameWidth = 22;  // "securityFileLocation" and two blanks

template <typename Entry, std::size_t Size>
constexpr std::array<std::string_view, Size> listTexts(const std::array<Entry, Size>& list) {
  std::array<std::string_view, Size> texts{};
  for (std::size_t index = 0; index < Size; ++index) texts[index] = list[index].text;
  return texts;
}

constexpr auto kVersionTexts = listTexts(kVersions);
constexpr auto kActionTexts = listTexts(kActions);

// The byte fields that store an index into one of the window's lists.
struct ListField {
  std::uint8_t Task::*field;
  std::span<const std::string_view> texts;
};

const std::array<ListField, 3> kListFields{{
    {&Task::Version, kVersionTexts},
    {&Task::Action, kActionTexts},
    {&Task::DaysToRunOn, kDayPatterns},
}};

// "taskName" for the field TaskName: the names kivctl prints.
std::string printedName(std::string_view fieldName) {
  std::string name(fieldName);
  name.front() = static_cast<char>(name.front() - 'A' + 'a');
  return name;
}

std::string textValue(const Task& task, const FieldSlot& slot, bool showPasswords) {
  const std::string& text = task.*slot.text;
  return slot.kind == SlotKind::Password ? printedPassword(text, showPasswords) : text;
}

// A list index followed by the entry it selects, "4 (2002)".
std::string byteText(const Task& task, const FieldSlot& slot) {
  const std::uint8_t value = task.*slot.byte;
  std::string text = std::to_string(value);
  for (const ListField& list : kListFields) {
    if (list.field == slot.byte && value < list.texts.size()) {
      text += " (" + std::string(list.texts[value]) + ")";
    }
  }
  return text;
}

void writeLine(std::ostream& out, std::string_view name, std::string_view value) {
  out << "  " << name;
  if (!value.empty()) out << std::string(kNameWidth - name.size(), ' ') << shownOnTerminal(value);
  out << '\n';
}

// The newest copy kept of a compact's, repair's or decompile's database.
std::optional<std::string> newestCopy(const Task& task) {
  if (!isMaintenance(task)) return std::nullopt;
  return newestCopyOf(databaseFiles(), task);
}

using LastLaunches = std::map<int, JournalledLaunch>;

const JournalledLaunch* lastLaunchOf(const LastLaunches& last, int index) {
  const auto found = last.find(index + 1);
  return found == last.end() ? nullptr : &found->second;
}

void writeTaskText(std::ostream& out, int index, const Task& task, const ListOptions& options,
                   const JournalledLaunch* last) {
  out << "\nTask " << index + 1 << '\n';
  for (const FieldSlot& slot : kTaskSlots) {
    const bool isByte = slot.kind == SlotKind::Byte;
    writeLine(out, printedName(slot.name),
              isByte ? byteText(task, slot) : textValue(task, slot, options.showPasswords));
  }
  for (const auto& [name, value] : optionsText(task.Options)) writeLine(out, name, value);
  writeLine(out, kCommandLineName,
            printedCommandLine(task, options.showPasswords).value_or("(none)"));
  if (const auto copy = newestCopy(task)) writeLine(out, kNewestCopyName, *copy);
  if (last == nullptr) return;
  writeLine(out, "lastLaunch",
            last->launch.at + " (" + std::string(launchHowName(last->launch.how)) +
                "): " + resultText(last->launch));
  writeLine(out, "lastOutcome", outcomeText(*last));
}

void writeTaskJson(JsonWriter& json, int index, const Task& task, const ListOptions& options,
                   const JournalledLaunch* last) {
  json.beginObject();
  json.key("number");
  json.number(index + 1);
  for (const FieldSlot& slot : kTaskSlots) {
    json.key(printedName(slot.name));
    if (slot.kind == SlotKind::Byte) {
      json.number(task.*slot.byte);
    } else {
      json.string(textValue(task, slot, options.showPasswords));
    }
  }
  json.key("options");
  writeOptionsJson(json, task.Options);
  json.key(kCommandLineName);
  if (const auto line = printedCommandLine(task, options.showPasswords)) {
    json.string(*line);
  } else {
    json.null();
  }
  if (const auto copy = newestCopy(task)) {
    json.key(kNewestCopyName);
    json.string(*copy);
  }
  if (last != nullptr) {
    json.key("lastLaunch");
    writeLaunchJson(json, *last);
  }
  json.endObject();
}

}  // namespace

void writeTaskList(const Schedule& schedule, const std::string& file, const ListOptions& options,
                   std::ostream& out) {
  const LastLaunches last =
      options.journal ? lastLaunches(options.journal.value(), file) : LastLaunches{};
  if (!options.json) {
    out << "layout  " << layoutName(schedule.layout) << '\n';
    for (int index = 0; index < kTaskCount; ++index) {
      writeTaskText(out, index, schedule.tasks.at(index), options, lastLaunchOf(last, index));
    }
    return;
  }
  JsonWriter json(out);
  json.beginObject();
  json.key("layout");
  json.string(layoutName(schedule.layout));
  json.key("tasks");
  json.beginArray();
  for (int index = 0; index < kTaskCount; ++index) {
    writeTaskJson(json, index, schedule.tasks.at(index), options, lastLaunchOf(last, index));
  }
  json.endArray();
  json.endObject();
  out << '\n';
}

int listCommand(const std::string& file, const ListOptions& options, std::ostream& out,
                std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;
  if (!options.journal) {
    reportError(err, "the launch journal cannot be read: " + options.journal.error().reason);
  }
  writeTaskList(*schedule, file, options, out);
  return kExitSuccess;
}

}  // namespace kiv::ctl
