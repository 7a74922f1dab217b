#pragma once

#include <chrono>
#include <string>

namespace kiv {

// A reading of the local wall clock, to the second. Calendar arithmetic on it
// uses std::chrono's civil calendar.
using LocalTime = std::chrono::local_seconds;

// A local time split into its calendar and clock fields.
struct CivilTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

CivilTime toCivil(LocalTime time);
LocalTime fromCivil(const CivilTime& civil);

// "2026-12-10 02:00:00": a local time as kivctl and the tests write it.
std::string dateTimeText(LocalTime time);

// The number with at least `width` digits, zero-padded.
std::string zeroPadded(int number, int width);

}  // namespace kiv
