#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "incoming_hand_over.h"
#include "posix/unique_fd.h"
#include "posix/user_folders.h"

namespace kiv {

// One window program per user: the first start holds the instance lock and
// listens on a local socket in the runtime folder, which only the user can
// enter; a later start finds the lock held, hands its command line and its
// current folder over the socket, and ends, as tray programs do.
struct InstancePlaces {
  posix::PrivateFolder folder;  // held open: the socket may be reached through it
  QString lockFile;             // empty when there is no folder of the user's own for it
  QString socket;               // empty when no address reaches it
};

// Where the user's window program keeps its lock and its socket: the runtime
// folder, or the state folder when that is refused. `told` hears why a place
// is refused, or why the socket cannot be reached.
InstancePlaces instancePlaces(const std::function<void(const std::string&)>& told);

// The address of the socket `name` in `folder`: its path, or, where that is
// longer than a socket's address may be, the same file reached through this
// process's descriptor of the folder. Empty when neither serves.
QString socketAddress(const posix::PrivateFolder& folder, const char* name);

// Receives command lines handed over by later starts and passes each on in
// the event loop, after the sender has been let go.
//
// Anything of the user's may connect, so no connection is trusted to behave:
// one that sends what is no hand-over is closed at once, one that has not
// sent its whole message within `patience` is closed then, and only a few
// are kept open at once (a new one displaces the oldest), so connections
// never take the descriptors a launch needs, nor keep a real hand-over out.
// Nothing it does waits: the socket and its connections do not block and
// are read when the event loop sees they have something.
class CommandLineReceiver : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(const std::string& arguments, const std::string& folder)>;

  static constexpr std::size_t kMostConnections = 8;
  static constexpr std::chrono::milliseconds kPatience{5000};

  // Listens at `socket`, replacing a socket a dead first start left there.
  CommandLineReceiver(const QString& socket, Handler handler,
                      std::chrono::milliseconds patience = kPatience, QObject* parent = nullptr);

  bool listening() const { return static_cast<bool>(listener_); }

 private:
  void accept();
  void pauseAccepting();
  void ended(IncomingHandOver& connection, const std::optional<HandOver>& handOver);
  void forget(const IncomingHandOver& connection);

  posix::UniqueFd listener_;
  std::optional<QSocketNotifier> newConnections_;
  Handler handler_;
  std::chrono::milliseconds patience_;
  std::deque<IncomingHandOver*> connections_;  // still to send their message, oldest first
};

enum class HandOverResult {
  Taken,
  NoAnswer,   // none answered within the patience given
  OtherUser,  // the socket is another user's, who is told nothing
  TooLong,    // the texts are longer than a hand-over may hold
};

// Hands `arguments` and `folder` to the program listening at `socket`,
// trying again until `patience` runs out: the first start may hold the lock
// a moment before it listens, or close a connection it has no room for.
HandOverResult handOverCommandLine(const QString& socket, const std::string& arguments,
                                   const std::string& folder, std::chrono::milliseconds patience);

}  // namespace kiv
