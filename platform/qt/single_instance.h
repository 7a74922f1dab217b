#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "posix/unique_fd.h"

namespace kiv {

// One window program per user: the first start holds the instance lock and
// listens on a local socket in the runtime folder, which only the user can
// enter; a later start finds the lock held, hands its command line and its
// current folder over the socket, and ends, as tray programs do.
struct InstancePlaces {
  QString lockFile;
  QString socket;
};

// Where the user's window program keeps its lock and its socket.
InstancePlaces instancePlaces();

// Receives command lines handed over by later starts and passes each on in
// the event loop, after the sender has been let go.
class CommandLineReceiver : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(const std::string& arguments, const std::string& folder)>;

  // Listens at `socket`, replacing a socket a dead first start left there.
  CommandLineReceiver(const QString& socket, Handler handler, QObject* parent = nullptr);

  bool listening() const { return static_cast<bool>(listener_); }

 private:
  void accept();

  posix::UniqueFd listener_;
  std::optional<QSocketNotifier> newConnections_;
  Handler handler_;
};

// Hands `arguments` and `folder` to the program listening at `socket`; true
// once it has taken them, false when none answered within `patience`.
bool handOverCommandLine(const QString& socket, const std::string& arguments,
                         const std::string& folder, std::chrono::milliseconds patience);

}  // namespace kiv
