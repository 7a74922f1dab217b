#include "close_reason.h"

namespace kiv {
namespace {

constexpr int kUserClosed = 0;
constexpr int kSessionEnds = 2;
constexpr int kTaskManager = 3;
// Any of these: the message came from another thread.
constexpr DWORD kSentFromElsewhere = ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK;

}  // namespace

std::optional<int> closeReason(UINT message, WPARAM wParam, DWORD sender) {
  switch (message) {
    case WM_CLOSE:
      return (sender & kSentFromElsewhere) != 0 ? kTaskManager : kUserClosed;
    case WM_QUERYENDSESSION:
      return kSessionEnds;
    case WM_ENDSESSION:
      return wParam != FALSE ? std::optional<int>(kSessionEnds) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace kiv
