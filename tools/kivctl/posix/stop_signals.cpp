#include "stop_signals.h"

#include <signal.h>
#include <sys/select.h>

#include <csignal>

namespace kiv::ctl {
namespace {

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void askToStop(int) {
  stopAsked = 1;
}

sigset_t stopSignalSet() {
  sigset_t set;
  ::sigemptyset(&set);
  ::sigaddset(&set, SIGINT);
  ::sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

struct StopSignals::Saved {
  sigset_t mask{};
  struct sigaction interrupt {};
  struct sigaction terminate {};
};

std::string_view stopRequestNames() {
  return "SIGINT or SIGTERM";
}

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
  stopAsked = 0;
  const sigset_t stops = stopSignalSet();
  ::sigprocmask(SIG_BLOCK, &stops, &saved_->mask);
  struct sigaction action {};
  action.sa_handler = askToStop;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &saved_->interrupt);
  ::sigaction(SIGTERM, &action, &saved_->terminate);
}

StopSignals::~StopSignals() {
  ::sigaction(SIGINT, &saved_->interrupt, nullptr);
  ::sigaction(SIGTERM, &saved_->terminate, nullptr);
  ::sigprocmask(SIG_SETMASK, &saved_->mask, nullptr);
}

bool StopSignals::wait(std::chrono::milliseconds delay) {
  // pselect lets the stop signals in only while it waits: one that came
  // during the tick arrives at once and ends the wait.
  sigset_t waiting = saved_->mask;
  ::sigdelset(&waiting, SIGINT);
  ::sigdelset(&waiting, SIGTERM);
  const auto whole = std::chrono::duration_cast<std::chrono::seconds>(delay);
  const timespec timeout{static_cast<time_t>(whole.count()),
                         static_cast<long>(std::chrono::nanoseconds(delay - whole).count())};
  // Another signal may end the wait early; the tick that follows then reads
  // a second already examined, which examines nothing.
  ::pselect(0, nullptr, nullptr, nullptr, &timeout, &waiting);
  return stopAsked == 0;
}

}  // namespace kiv::ctl
