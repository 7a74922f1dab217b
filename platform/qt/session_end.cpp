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
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readEnd_ = posix::UniqueFd(ends[0]);
  writeEnd_ = posix::UniqueFd(ends[1]);
  signalPipe = writeEnd_.get();
  notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SessionEnd::signalArrived);
  setHandler(onSignal);
}

SessionEnd::~SessionEnd() {
  if (!readEnd_) return;
  // The handler must stop writing before the pipe closes.
  setHandler(SIG_DFL);
  signalPipe = -1;
}

void SessionEnd::signalArrived() {
  std::array<char, 64> bytes{};
  while (::read(readEnd_.get(), bytes.data(), bytes.size()) > 0) {
  }
  onEnd_();
}

}  // namespace kiv
