#include "task_scheduler_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <set>

#include "scheduler/date_time_text.h"

namespace kiv::testing {
namespace {

using namespace std::chrono;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16LE to UTF-8; a lone surrogate fails the test.
std::string fromUtf16(const std::vector<unsigned char>& bytes) {
  std::string text;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char32_t unit = bytes[at] | static_cast<char32_t>(bytes[at + 1]) << 8;
    if (unit >= 0xD800 && unit < 0xDC00 && at + 3 < bytes.size()) {
      const char32_t low = bytes[at + 2] | static_cast<char32_t>(bytes[at + 3]) << 8;
      EXPECT_TRUE(low >= 0xDC00 && low < 0xE000) << "a lone high surrogate at byte " << at;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    } else {
      EXPECT_FALSE(unit >= 0xD800 && unit < 0xE000) << "a lone surrogate at byte " << at;
    }
    appendUtf8(text, unit);
  }
  return text;
}

std::string unescaped(std::string_view text) {
  static const std::array<std::pair<std::string_view, std::string_view>, 8> kEntities{{
      {"&amp;", "&"},
      {"&lt;", "<"},
      {"&gt;", ">"},
      {"&quot;", "\""},
      {"&apos;", "'"},
      {"&#9;", "\t"},
      {"&#10;", "\n"},
      {"&#13;", "\r"},
  }};
  std::string plain;
  for (std::size_t at = 0; at < text.size();) {
    const auto entity = std::ranges::find_if(
        kEntities, [&](const auto& pair) { return text.substr(at).starts_with(pair.first); });
    if (entity != kEntities.end()) {
      plain += entity->second;
      at += entity->first.size();
    } else {
      EXPECT_NE(text[at], '&') << "an unknown entity in " << text;
      plain += text[at++];
    }
  }
  return plain;
}

// The texts of the elements `name` in `text`, in order; an empty element
// written "<name />" gives "".
std::vector<std::string> elements(std::string_view text, std::string_view name) {
  std::vector<std::string> found;
  const std::string open = "<" + std::string(name);
  const std::string close = "</" + std::string(name) + ">";
  for (std::size_t at = text.find(open); at != std::string_view::npos;
       at = text.find(open, at + 1)) {
    const std::size_t tagEnd = text.find('>', at);
    const char after = text[at + open.size()];
    if (after != '>' && after != ' ' && after != '/') continue;  // a longer name
    if (text[tagEnd - 1] == '/') {
      found.emplace_back();
      continue;
    }
    const std::size_t end = text.find(close, tagEnd);
    found.emplace_back(text.substr(tagEnd + 1, end - tagEnd - 1));
  }
  return found;
}

std::string only(std::string_view text, std::string_view name) {
  const std::vector<std::string> found = elements(text, name);
  EXPECT_EQ(found.size(), 1U) << name;
  return found.empty() ? std::string() : unescaped(found.front());
}

// The names of the empty elements inside the element `name` of `text`.
std::vector<std::string> emptyChildren(std::string_view text, std::string_view name) {
  std::vector<std::string> names;
  const std::vector<std::string> outer = elements(text, name);
  if (outer.empty()) return names;
  const std::string& inner = outer.front();
  for (std::size_t at = inner.find('<'); at != std::string::npos; at = inner.find('<', at + 1)) {
    const std::size_t end = inner.find(" />", at);
    names.push_back(inner.substr(at + 1, end - at - 1));
  }
  return names;
}

constexpr std::array<std::string_view, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                    "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths{"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};

bool listed(const std::vector<std::string>& names, std::string_view name) {
  return std::ranges::find(names, name) != names.end();
}

// Whether the trigger's schedule names `date`.
bool scheduleNames(const CalendarTriggerText& trigger, local_days first, local_days date) {
  const year_month_day ymd{date};
  const unsigned day = static_cast<unsigned>(ymd.day());
  const unsigned lastDay =
      static_cast<unsigned>(year_month_day_last{ymd.year(), ymd.month() / last}.day());
  const std::string_view weekdayName = kWeekdays.at(weekday{date}.c_encoding());
  const std::string_view monthName = kMonths.at(static_cast<unsigned>(ymd.month()) - 1);
  if (trigger.schedule == "ScheduleByDay") {
    return (date - first).count() % trigger.interval == 0;
  }
  if (trigger.schedule == "ScheduleByWeek") {
    EXPECT_EQ(trigger.interval, 1) << "weekly schedules are read with an interval of 1 only";
    return listed(trigger.daysOfWeek, weekdayName);
  }
  if (!listed(trigger.months, monthName)) return false;
  if (trigger.schedule == "ScheduleByMonth") {
    return listed(trigger.daysOfMonth, std::to_string(day)) ||
           (day == lastDay && listed(trigger.daysOfMonth, "Last"));
  }
  EXPECT_EQ(trigger.schedule, "ScheduleByMonthDayOfWeek");
  const bool weekListed = listed(trigger.weeks, std::to_string((day - 1) / 7 + 1)) ||
                          (day + 7 > lastDay && listed(trigger.weeks, "Last"));
  return weekListed && listed(trigger.daysOfWeek, weekdayName);
}

}  // namespace

TaskSchedulerFile readTaskSchedulerFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  TaskSchedulerFile read;
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0) {
    ADD_FAILURE() << file << " is no UTF-16 little-endian file with a byte order mark";
    return read;
  }
  read.text = fromUtf16(std::vector<unsigned char>(bytes.begin() + 2, bytes.end()));
  for (const std::string& trigger : elements(read.text, "CalendarTrigger")) {
    CalendarTriggerText parsed;
    parsed.startBoundary = only(trigger, "StartBoundary");
    for (const char* schedule :
         {"ScheduleByDay", "ScheduleByWeek", "ScheduleByMonth", "ScheduleByMonthDayOfWeek"}) {
      if (!elements(trigger, schedule).empty()) parsed.schedule = schedule;
    }
    for (const char* interval : {"DaysInterval", "WeeksInterval"}) {
      if (!elements(trigger, interval).empty())
        parsed.interval = std::stoi(only(trigger, interval));
    }
    parsed.daysOfWeek = emptyChildren(trigger, "DaysOfWeek");
    parsed.months = emptyChildren(trigger, "Months");
    for (const std::string& day : elements(trigger, "Day")) parsed.daysOfMonth.push_back(day);
    for (const std::string& week : elements(trigger, "Week")) parsed.weeks.push_back(week);
    read.triggers.push_back(parsed);
  }
  read.command = only(read.text, "Command");
  if (!elements(read.text, "Arguments").empty()) read.arguments = only(read.text, "Arguments");
  read.description = only(read.text, "Description");
  read.multipleInstancesPolicy = only(read.text, "MultipleInstancesPolicy");
  const std::vector<std::string> limits = elements(read.text, "ExecutionTimeLimit");
  EXPECT_EQ(limits.size(), 1U) << "the task's time limit, and none on a trigger";
  if (!limits.empty()) read.executionTimeLimit = limits.front();
  read.startWhenAvailable = only(read.text, "StartWhenAvailable");
  read.logonType = only(read.text, "LogonType");
  return read;
}

std::vector<LocalTime> triggerStarts(const std::vector<CalendarTriggerText>& triggers,
                                     LocalTime from, LocalTime until) {
  std::multiset<LocalTime> starts;
  for (const CalendarTriggerText& trigger : triggers) {
    std::string boundary = trigger.startBoundary;
    EXPECT_EQ(boundary.size(), 19U) << boundary << ": a local time without a zone";
    if (boundary.size() != 19U || boundary[10] != 'T') continue;
    boundary[10] = ' ';
    const std::optional<LocalTime> start = parseDateTime(boundary);
    EXPECT_TRUE(start) << boundary;
    if (!start) continue;
    const local_days first = floor<days>(*start);
    const seconds timeOfDay = *start - LocalTime(first);
    for (local_days date = std::max(first, floor<days>(from)); LocalTime(date) < until;
         date += days{1}) {
      const LocalTime at = LocalTime(date) + timeOfDay;
      if (at >= from && at < until && scheduleNames(trigger, first, date)) starts.insert(at);
    }
  }
  return {starts.begin(), starts.end()};
}

}  // namespace kiv::testing
