#include "stop_signals.h"

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

std::string_view stopRequestNames() {
  return "SIGINT or SIGTERM";
}

StopSignals::StopSignals() {
  stopAsked = 0;
  const sigset_t stops = stopSignalSet();
  ::sigprocmask(SIG_BLOCK, &stops, &savedMask_);
  struct sigaction action {};
  action.sa_handler = askToStop;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &savedInterrupt_);
  ::sigaction(SIGTERM, &action, &savedTerminate_);
}

StopSignals::~StopSignals() {
  ::sigaction(SIGINT, &savedInterrupt_, nullptr);
  ::sigaction(SIGTERM, &savedTerminate_, nullptr);
  ::sigprocmask(SIG_SETMASK, &savedMask_, nullptr);
}

bool StopSignals::wait(std::span<pollfd> descriptors) {
  // ppoll lets the stop signals in only while it waits: one that came during
  // the tick arrives at once and ends the wait.
  sigset_t waiting = savedMask_;
  ::sigdelset(&waiting, SIGINT);
  ::sigdelset(&waiting, SIGTERM);
  for (pollfd& watched : descriptors) watched.revents = 0;
  // Another signal may end the wait early, with nothing ready; the caller
  // then simply waits again.
  ::ppoll(descriptors.data(), descriptors.size(), nullptr, &waiting);
  return stopAsked == 0;
}

}  // namespace kiv::ctl
