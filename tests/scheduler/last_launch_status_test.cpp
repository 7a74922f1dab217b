#include "scheduler/last_launch_status.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

struct Status {
  int taskNumber;
  CivilTime when;
  const char* month;
  LaunchKind kind;
  const char* expected;
};

void PrintTo(const Status& s, std::ostream* os) {
  *os << s.expected;
}

class LastLaunchStatus : public ::testing::TestWithParam<Status> {};

TEST_P(LastLaunchStatus, ReadsAsTheTipShowsIt) {
  const Status& s = GetParam();
  EXPECT_EQ(lastLaunchStatus(s.taskNumber, fromCivil(s.when), s.month, s.kind), s.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LastLaunchStatus,
    ::testing::Values(Status{12,
                             {2026, 12, 6, 15, 4, 5},
                             "Dec",
                             LaunchKind::OnDemand,
                             "Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)"},
                      Status{3,
                             {2026, 12, 6, 15, 4, 5},
                             "Dec",
                             LaunchKind::Scheduled,
                             "Last launch: task 3 @ 06-Dec-2026 15:04:05 (scheduled)"},
                      Status{1,
                             {2026, 12, 7, 0, 0, 0},
                             "Dec",
                             LaunchKind::Scheduled,
                             "Last launch: task 1 @ 07-Dec-2026 00:00:00 (scheduled)"},
                      Status{30,
                             {2027, 1, 31, 23, 59, 59},
                             "Jan",
                             LaunchKind::OnDemand,
                             "Last launch: task 30 @ 31-Jan-2027 23:59:59 (on demand)"},
                      // The abbreviation is the user's, taken as given.
                      Status{5,
                             {2026, 2, 1, 9, 8, 7},
                             "f\xC3\xA9vr.",
                             LaunchKind::Scheduled,
                             "Last launch: task 5 @ 01-f\xC3\xA9vr.-2026 09:08:07 (scheduled)"},
                      Status{7,
                             {987, 5, 1, 12, 0, 0},
                             "May",
                             LaunchKind::Scheduled,
                             "Last launch: task 7 @ 01-May-0987 12:00:00 (scheduled)"}));

}  // namespace
}  // namespace kiv
