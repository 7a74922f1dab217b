#include <gtest/gtest.h>

#include <optional>

#include "close_reason.h"

namespace kiv {
namespace {

struct CloseCase {
  const char* what;
  UINT message;
  WPARAM wParam;
  DWORD sender;
  std::optional<int> reason;
};

class CloseReasons : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseReasons, NameTheFormsUnloadMode) {
  const CloseCase& c = GetParam();
  EXPECT_EQ(closeReason(c.message, c.wParam, c.sender), c.reason) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Win32, CloseReasons,
    ::testing::Values(
        CloseCase{"close button, system menu or Alt+F4", WM_CLOSE, 0, ISMEX_NOSEND, 0},
        CloseCase{"End task of the task manager", WM_CLOSE, 0, ISMEX_SEND, 3},
        CloseCase{"a close sent and already replied to", WM_CLOSE, 0, ISMEX_SEND | ISMEX_REPLIED,
                  3},
        CloseCase{"a close notified from another program", WM_CLOSE, 0, ISMEX_NOTIFY, 3},
        CloseCase{"the session ends", WM_QUERYENDSESSION, 0, ISMEX_SEND, 2},
        CloseCase{"the session has ended", WM_ENDSESSION, TRUE, ISMEX_SEND, 2},
        CloseCase{"the end of the session was called off", WM_ENDSESSION, FALSE, ISMEX_SEND,
                  std::nullopt},
        CloseCase{"a system command", WM_SYSCOMMAND, SC_CLOSE, ISMEX_NOSEND, std::nullopt},
        CloseCase{"destruction", WM_DESTROY, 0, ISMEX_NOSEND, std::nullopt}));

}  // namespace
}  // namespace kiv
