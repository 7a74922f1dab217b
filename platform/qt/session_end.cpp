#include "session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <array>
#include <cerrno>

namespace kiv {
namespace {

constexpr std::array kSessionSignals{SIGTERM, SIGHUP};

// The write end of the pipe, for the signal handler.
volatile sig_atomic_t signalPipe = -1;

// Only async-signal-safe calls; errno is the interrupted code's.
void onSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe, &byte, 1);
  errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSessionSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(application, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { onEnd_(); });
  }
  // Non-blocking, so a burst of signals cannot stall a handler on a full
  // pipe; close-on-exec, so no started program inherits it.
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  signalPipe = pipe_[1];
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SessionEnd::signalArrived);
  setHandler(onSignal);
}

SessionEnd::~SessionEnd() {
  if (pipe_[0] < 0) return;
  setHandler(SIG_DFL);
  signalPipe = -1;
  notifier_.reset();
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void SessionEnd::signalArrived() {
  std::array<char, 64> bytes{};
  while (::read(pipe_[0], bytes.data(), bytes.size()) > 0) {
  }
  onEnd_();
}

}  // namespace kiv
