#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "export_plan.h"
#include "scheduler/calendar_days.h"

namespace kiv::ctl {

// What the task's Exec action starts: the program, and the text of its
// command line after the program's name, as the program is to receive it.
struct ExecAction {
  std::string command;
  std::string arguments;
};

// `text` as one argument of a Windows command line that the C runtime gives
// back unchanged: in double quotes, with the backslashes before a quote and
// before the closing quote doubled and each quote escaped.
std::string windowsQuotedArgument(std::string_view text);

// Why `text` cannot be written into the XML file: a character XML 1.0 cannot
// hold (a control character other than tab, line feed and carriage return,
// a surrogate, U+FFFE or U+FFFF) or bytes that are no UTF-8. nullopt when it
// can.
std::optional<std::string> xmlTextProblem(std::string_view text);

// Whether the Task Scheduler's triggers can start a task on exactly the days
// of the day sets.
bool triggersAreExact(std::span<const CalendarDays> daySets);

// The day sets of the task's triggers: the day sets themselves when their
// days are exact, else one set of candidate days that holds all of them (one,
// so that no day is a candidate twice and starts the task twice).
std::vector<CalendarDays> triggerDays(std::span<const CalendarDays> daySets);

// The task as the Task Scheduler 1.2 schema defines it: a calendar trigger for
// each set of triggerDays and each launch second (at most 24, where the Task
// Scheduler takes 48), each starting at its first launch from `from` on, in
// local time without a zone, so none is missed at the import; `action` started,
// never a second time while it still runs, ended at the plan's time limit
// (never without one), made up when missed if the plan catches up, in the
// session of the user who imports it. The texts are XML-escaped;
// xmlTextProblem must have let them through. Lines end in CR LF.
std::string taskSchedulerXml(const ExportPlan& plan, const ExecAction& action, LocalTime from);

// `text` (UTF-8 that xmlTextProblem lets through) in UTF-16, little-endian,
// after a byte order mark.
std::vector<std::uint8_t> utf16LittleEndian(std::string_view text);

}  // namespace kiv::ctl
