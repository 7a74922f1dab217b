#include "scheduler/systemd_calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tasks/value_lists.h"

namespace kiv {
namespace {

using namespace std::chrono;

struct EventCase {
  int pattern;
  std::vector<seconds> secondsOfDay;
  std::vector<std::string> events;
};

TEST(SystemdCalendar, WritesOneEventForEachSetOfDaysAndTimeInTheHour) {
  const auto at = [](int h, int m, int s) { return hours{h} + minutes{m} + seconds{s}; };
  const std::vector<EventCase> cases{
      {kEveryDay, {at(7, 5, 9)}, {"*-*-* 07:05:09"}},
      {kWeekdaysOnly, {at(23, 59, 59)}, {"Mon,Tue,Wed,Thu,Fri *-*-* 23:59:59"}},
      {kWeekendsOnly, {at(0, 0, 0)}, {"Sat,Sun *-*-* 00:00:00"}},
      {kSundayOnly, {at(12, 30, 0)}, {"Sun *-*-* 12:30:00"}},
      {kSaturdayOnly, {at(12, 30, 0)}, {"Sat *-*-* 12:30:00"}},
      {kFirstDayOfMonth,
       {at(2, 0, 0), at(9, 0, 0), at(16, 0, 0), at(23, 0, 0)},
       {"*-*-01 02,09,16,23:00:00"}},
      {kLastDayOfMonth, {at(1, 15, 0)}, {"*-*~01 01:15:00"}},
      {kFirstWeekdayOfMonth,
       {at(8, 45, 0), at(17, 45, 0)},
       {"Mon,Tue,Wed,Thu,Fri *-*-01 08,17:45:00", "Mon *-*-02,03 08,17:45:00"}},
      {kLastWeekdayOfMonth,
       {at(18, 0, 0)},
       {"Mon,Tue,Wed,Thu,Fri *-*~01 18:00:00", "Fri *-*~02,03 18:00:00"}},
      // Launch seconds that do not share their minute and second (none of the
      // launch-time forms gives them, but the events must stay exact).
      {kEveryDay,
       {at(1, 0, 0), at(1, 30, 0), at(2, 0, 0)},
       {"*-*-* 01,02:00:00", "*-*-* 01:30:00"}},
      {14, {at(6, 0, 0)}, {"*-*-* 06:00:00"}},
  };
  for (const EventCase& c : cases) {
    EXPECT_EQ(calendarEvents(calendarDays(c.pattern), c.secondsOfDay), c.events)
        << "pattern " << c.pattern;
  }
}

}  // namespace
}  // namespace kiv
