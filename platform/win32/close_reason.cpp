#include "close_reason.h"

namespace kiv {
namespace {

// Any of these: the message came from another thread.
constexpr DWORD kSentFromElsewhere = ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK;

}  // namespace

std::optional<CloseReason> closeReason(UINT message, WPARAM wParam, DWORD sender) {
  switch (message) {
    case WM_CLOSE:
      return (sender & kSentFromElsewhere) != 0 ? kTaskManager : kUserClosed;
    case WM_QUERYENDSESSION:
      return kSessionEnds;
    case WM_ENDSESSION:
      return wParam != FALSE ? std::optional<CloseReason>(kSessionEnds) : std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace kiv
