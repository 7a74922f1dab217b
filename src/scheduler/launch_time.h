#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The one time parser of launch times, shared by the launch-time check and the
// due test. It reads a time of day "hh:mm:ss" or its short form "hh:mm" (the
// first five characters of a recurring time). Minutes and seconds take exactly
// two digits 00-59; the hour 0-23 takes one or two digits, so a fixed time
// typed as "7:30:00" still launches at 07:30:00 although the check refuses its
// length. Nothing else is allowed: no blanks, no signs, no trailing text.
std::optional<std::chrono::seconds> parseTimeOfDay(std::string_view text);

// A "?" as the seventh character makes a launch time recurring (hh:mm:?n); any
// other character there, or a shorter text, makes it a fixed time of day.
bool isRecurring(std::string_view launchAt);

// A recurring launch time hh:mm:?n as the due test reads it, character by
// character: the start hour is the first two characters, the minute the
// fourth and fifth, the interval the last one. The numbers are there only
// when their text is a short number.
struct RecurringParts {
  std::string_view startText;
  std::string minuteText;
  std::string_view intervalText;
  std::optional<int> startHour;
  std::optional<int> interval;

  // The tick can never start a task whose start hour or interval is not a
  // number, or whose interval is 0.
  bool usable() const { return startHour && interval && *interval != 0; }
};

RecurringParts recurringParts(std::string_view launchAt);

// The value of one or two decimal digits, and nothing else: the width of
// every number in a launch time.
std::optional<int> shortNumber(std::string_view text);

}  // namespace kiv
