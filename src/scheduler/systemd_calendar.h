#pragma once

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "scheduler/calendar_days.h"

namespace kiv {

// The calendar events ("OnCalendar=" values) of a systemd timer that elapses
// exactly at `secondsOfDay` (the seconds of a day at which the tick starts a
// task, as launchSecondsOfDay gives them) on the days of `daySets`:
// one event for each set of days and each minute and second of the hour, the
// hours listed, as in "Mon,Tue,Wed,Thu,Fri *-*-01 02,06,10:30:00".
std::vector<std::string> calendarEvents(std::span<const CalendarDays> daySets,
                                        std::span<const std::chrono::seconds> secondsOfDay);

}  // namespace kiv
