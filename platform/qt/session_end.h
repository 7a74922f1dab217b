#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "posix/unique_fd.h"

class QSessionManager;
class QSocketNotifier;

namespace kiv {

// Reports the end of the user's session: the session manager asking the
// program to save its data before log-off or shutdown, or SIGTERM or SIGHUP
// (sent by a system shutdown, a service manager, or a closing terminal).
// Signals are passed through a pipe, so the report runs in the event loop
// and not inside the signal handler. One instance at a time.
class SessionEnd : public QObject {
  Q_OBJECT

 public:
  explicit SessionEnd(std::function<void()> onEnd, QObject* parent = nullptr);
  ~SessionEnd() override;
  SessionEnd(const SessionEnd&) = delete;
  SessionEnd& operator=(const SessionEnd&) = delete;

 private:
  void signalArrived();

  std::function<void()> onEnd_;
  // Declared before the notifier, so they are closed after it goes.
  posix::UniqueFd readEnd_;
  posix::UniqueFd writeEnd_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kiv
