#include "stop_signals.h"

#include "console_events.h"

namespace kiv::ctl {
namespace {

// The event of the StopSignals that lives, set once a stop is asked; read by
// the console's handler thread.
HANDLE stopAsked = nullptr;

// Windows ends the process soon after a close, log-off or shut-down handler
// returns; until then the scheduler finishes its tick and ends by itself.
constexpr DWORD kEndingGrace = 4000;

}  // namespace

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      SetEvent(stopAsked);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      SetEvent(stopAsked);
      Sleep(kEndingGrace);
      return TRUE;
    default:
      return FALSE;
  }
}

std::string_view stopRequestNames() {
  return "Ctrl+C, Ctrl+Break or the console's closing";
}

StopSignals::StopSignals() : stopAsked_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  stopAsked = stopAsked_.get();
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  stopAsked = nullptr;
}

bool StopSignals::wait(std::chrono::milliseconds delay) {
  // A stop asked during the tick is still set: the wait ends at once.
  return WaitForSingleObject(stopAsked_.get(), static_cast<DWORD>(delay.count())) == WAIT_TIMEOUT;
}

bool StopSignals::waitFor(HANDLE due) {
  // The stop comes first: when both are signalled, the lower index answers.
  const HANDLE handles[] = {stopAsked_.get(), due};
  return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

}  // namespace kiv::ctl
