#include "task_scheduler_xml.h"

#include <algorithm>
#include <array>

#include "base/hex_digits.h"
#include "base/local_time.h"
#include "base/text_characters.h"

namespace kiv::ctl {
namespace {

using std::chrono::seconds;

constexpr std::string_view kLineEnd = "\r\n";

bool xmlHolds(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  return (c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF;
}

// The five characters markup gives a meaning, and the line breaks and tab
// that a reader would otherwise turn into a line feed or a blank.
std::string xmlEscaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      case '\t':
        escaped += "&#9;";
        break;
      case '\n':
        escaped += "&#10;";
        break;
      case '\r':
        escaped += "&#13;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

constexpr std::array<std::string_view, 7> kWeekdayElements{
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr std::array<std::string_view, 12> kMonthElements{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Lines of XML, each indented by its depth.
class XmlLines {
 public:
  void open(std::string_view tag) {
    line("<" + std::string(tag) + ">");
    ++depth_;
  }
  void close(std::string_view name) {
    --depth_;
    line("</" + std::string(name) + ">");
  }
  void element(std::string_view name, std::string_view escapedValue) {
    line("<" + std::string(name) + ">" + std::string(escapedValue) + "</" + std::string(name) +
         ">");
  }
  void empty(std::string_view name) { line("<" + std::string(name) + " />"); }
  void line(std::string_view text) {
    text_ += std::string(2 * depth_, ' ');
    text_ += text;
    text_ += kLineEnd;
  }
  std::string text() const { return text_; }

 private:
  std::string text_;
  std::size_t depth_ = 0;
};

void daysOfWeek(XmlLines& xml, std::uint8_t weekdays) {
  xml.open("DaysOfWeek");
  for (unsigned weekday = 0; weekday < kWeekdayElements.size(); ++weekday) {
    if ((weekdays & weekdayBit(weekday)) != 0) xml.empty(kWeekdayElements[weekday]);
  }
  xml.close("DaysOfWeek");
}

void everyMonth(XmlLines& xml) {
  xml.open("Months");
  for (const std::string_view month : kMonthElements) xml.empty(month);
  xml.close("Months");
}

// The first (or, from the month's end, last) seven days: a day of the week
// falls once in them, in the first or last week as the Task Scheduler counts
// weeks of the month.
constexpr std::uint32_t kFirstWeek = 0xFE;

bool byMonthDayExact(const CalendarDays& days) {
  return !days.fromMonthEnd || days.monthDays == monthDayBit(1);
}

// The schedule of one calendar trigger for the days of `days`, or for
// candidate days that include them where the Task Scheduler cannot name them
// exactly: it knows no days of the month that are also certain weekdays, and
// from the month's end only its last day. A day of the week in the first
// (last) seven days of the month is its first (last) one in the month.
void schedule(XmlLines& xml, const CalendarDays& days) {
  if (days.monthDays == 0 && days.weekdays == kEveryWeekday) {
    xml.open("ScheduleByDay");
    xml.element("DaysInterval", "1");
    xml.close("ScheduleByDay");
  } else if (days.monthDays == 0) {
    xml.open("ScheduleByWeek");
    xml.element("WeeksInterval", "1");
    daysOfWeek(xml, days.weekdays);
    xml.close("ScheduleByWeek");
  } else if (days.weekdays != kEveryWeekday && (days.monthDays & ~kFirstWeek) == 0) {
    xml.open("ScheduleByMonthDayOfWeek");
    xml.open("Weeks");
    xml.element("Week", days.fromMonthEnd ? "Last" : "1");
    xml.close("Weeks");
    daysOfWeek(xml, days.weekdays);
    everyMonth(xml);
    xml.close("ScheduleByMonthDayOfWeek");
  } else if (byMonthDayExact(days)) {
    xml.open("ScheduleByMonth");
    xml.open("DaysOfMonth");
    for (unsigned day = 1; day <= 31; ++day) {
      if ((days.monthDays & monthDayBit(day)) == 0) continue;
      xml.element("Day", days.fromMonthEnd ? "Last" : std::to_string(day));
    }
    xml.close("DaysOfMonth");
    everyMonth(xml);
    xml.close("ScheduleByMonth");
  } else {
    schedule(xml, CalendarDays{kEveryWeekday, 0, false});
  }
}

// "2027-06-16T02:00:00": the first time from `from` on at `secondOfDay`.
std::string startBoundary(LocalTime from, seconds secondOfDay) {
  LocalTime start = LocalTime(std::chrono::floor<std::chrono::days>(from)) + secondOfDay;
  if (start < from) start += std::chrono::days{1};
  std::string text = dateTimeText(start);  // "YYYY-MM-DD hh:mm:ss"
  text[10] = 'T';
  return text;
}

// "PT90M"; "PT0S" lets the program run however long.
std::string timeLimitText(const std::optional<std::chrono::minutes>& limit) {
  return limit ? "PT" + std::to_string(limit->count()) + "M" : "PT0S";
}

void appendUtf16Unit(std::vector<std::uint8_t>& bytes, char32_t unit) {
  bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(unit >> 8 & 0xFF));
}

}  // namespace

std::string windowsQuotedArgument(std::string_view text) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

std::optional<std::string> xmlTextProblem(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto sequence = utf8SequenceAt(text, at);
    if (!sequence) return std::string("it holds bytes that are no UTF-8");
    if (!xmlHolds(sequence->character)) {
      return "it holds the character U+" + hexDigits(sequence->character, 4) +
             ", which an XML file cannot hold";
    }
    at += sequence->length;
  }
  return std::nullopt;
}

bool triggersAreExact(std::span<const CalendarDays> daySets) {
  return std::ranges::all_of(daySets, [](const CalendarDays& days) {
    return days.monthDays == 0 || (days.weekdays == kEveryWeekday && byMonthDayExact(days));
  });
}

std::vector<CalendarDays> triggerDays(std::span<const CalendarDays> daySets) {
  if (triggersAreExact(daySets)) return {daySets.begin(), daySets.end()};
  CalendarDays candidates{0, 0, daySets.front().fromMonthEnd};
  for (const CalendarDays& days : daySets) {
    if (days.fromMonthEnd != candidates.fromMonthEnd) return {{kEveryWeekday, 0, false}};
    candidates.weekdays |= days.weekdays;
    candidates.monthDays |= days.monthDays;
  }
  return {candidates};
}

std::string taskSchedulerXml(const ExportPlan& plan, const ExecAction& action, LocalTime from) {
  XmlLines xml;
  xml.line(R"(<?xml version="1.0" encoding="UTF-16"?>)");
  xml.open(R"(Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task")");
  xml.open("RegistrationInfo");
  xml.element("Description", xmlEscaped(plan.description));
  xml.close("RegistrationInfo");
  xml.open("Triggers");
  for (const CalendarDays& days : triggerDays(plan.days)) {
    for (const seconds second : plan.secondsOfDay) {
      xml.open("CalendarTrigger");
      xml.element("StartBoundary", startBoundary(from, second));
      schedule(xml, days);
      xml.close("CalendarTrigger");
    }
  }
  xml.close("Triggers");
  xml.open("Principals");
  xml.open(R"(Principal id="Author")");
  xml.element("LogonType", "InteractiveToken");
  xml.close("Principal");
  xml.close("Principals");
  xml.open("Settings");
  xml.element("MultipleInstancesPolicy", "IgnoreNew");
  // The scheduler starts a task whatever the power source.
  xml.element("DisallowStartIfOnBatteries", "false");
  xml.element("StopIfGoingOnBatteries", "false");
  xml.element("StartWhenAvailable", plan.catchesUp ? "true" : "false");
  xml.element("ExecutionTimeLimit", timeLimitText(plan.timeLimit));
  xml.close("Settings");
  xml.open(R"(Actions Context="Author")");
  xml.open("Exec");
  xml.element("Command", xmlEscaped(action.command));
  if (!action.arguments.empty()) xml.element("Arguments", xmlEscaped(action.arguments));
  xml.close("Exec");
  xml.close("Actions");
  xml.close("Task");
  return xml.text();
}

std::vector<std::uint8_t> utf16LittleEndian(std::string_view text) {
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  for (std::size_t at = 0; at < text.size();) {
    const auto sequence = utf8SequenceAt(text, at);
    if (!sequence) break;  // xmlTextProblem refuses such a text first
    const char32_t c = sequence->character;
    if (c < 0x10000) {
      appendUtf16Unit(bytes, c);
    } else {
      appendUtf16Unit(bytes, 0xD800 + ((c - 0x10000) >> 10));
      appendUtf16Unit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    at += sequence->length;
  }
  return bytes;
}

}  // namespace kiv::ctl
