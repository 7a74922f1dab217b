#include "single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <thread>

#include "hand_over_message.h"
#include "posix/local_socket.h"
#include "posix/peer_user.h"

// The hand-over runs over a plain socket rather than Qt's local sockets: the
// Qt Network module would be loaded, with the libraries it needs, into every
// Kiv idling in the notification area for this one message.

namespace kiv {
namespace {

// How long accepting rests when the program has no descriptor to spare for
// a connection: the socket stays ready meanwhile, and would be tried again
// and again.
constexpr std::chrono::milliseconds kAcceptPause{100};

std::string socketPath(const QString& socket) {
  return socket.toStdString();
}

std::chrono::milliseconds remaining(const QDeadlineTimer& deadline) {
  return std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
}

HandOverResult tryHandOver(const std::string& socket, const QByteArray& message,
                           const QDeadlineTimer& deadline) {
  const posix::UniqueFd connection = posix::connectTo(socket);
  if (!connection) return HandOverResult::NoAnswer;
  if (!posix::peerIsThisUser(connection.get())) return HandOverResult::OtherUser;
  for (qsizetype written = 0; written < message.size();) {
    if (!posix::waitUntilReady(connection.get(), true, remaining(deadline))) {
      return HandOverResult::NoAnswer;
    }
    const ssize_t sent =
        ::send(connection.get(), message.constData() + written,
               static_cast<std::size_t>(message.size() - written), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno != EINTR && errno != EAGAIN) return HandOverResult::NoAnswer;
    if (sent > 0) written += sent;
  }
  char answer = 0;
  ssize_t got = -1;
  while (got < 0) {
    if (!posix::waitUntilReady(connection.get(), false, remaining(deadline))) {
      return HandOverResult::NoAnswer;
    }
    got = ::recv(connection.get(), &answer, 1, MSG_DONTWAIT);
    if (got < 0 && errno != EINTR && errno != EAGAIN) return HandOverResult::NoAnswer;
  }
  return got == 1 && answer == kHandOverTaken ? HandOverResult::Taken : HandOverResult::NoAnswer;
}

}  // namespace

InstancePlaces instancePlaces(const std::function<void(const std::string&)>& told) {
  auto folder = posix::openRuntimeFolder(told);
  if (!folder) {
    told(folder.error() + "; not looking for a running Kiv");
    return {};
  }
  InstancePlaces places{std::move(folder).value(), {}, {}};
  places.lockFile = QString::fromStdString((places.folder.path / "kiv.lock").string());
  places.socket = socketAddress(places.folder, "kiv.socket");
  if (places.socket.isEmpty()) {
    told((places.folder.path / "kiv.socket").string() + ": too long a path for a socket");
  }
  return places;
}

QString socketAddress(const posix::PrivateFolder& folder, const char* name) {
  const std::string path = (folder.path / name).string();
  if (path.size() < sizeof(sockaddr_un{}.sun_path)) return QString::fromStdString(path);
  const std::string throughFolder = "/proc/self/fd/" + std::to_string(folder.fd.get());
  if (!folder.fd || ::access(throughFolder.c_str(), X_OK) != 0) return {};
  return QString::fromStdString(throughFolder + "/" + name);
}

// Whoever holds the instance lock owns the socket's name: one left there is
// a dead holder's.
CommandLineReceiver::CommandLineReceiver(const QString& socket, Handler handler,
                                         std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent),
      listener_(posix::listenAt(socketPath(socket))),
      handler_(std::move(handler)),
      patience_(patience) {
  if (!listener_) return;
  newConnections_.emplace(listener_.get(), QSocketNotifier::Read);
  connect(&*newConnections_, &QSocketNotifier::activated, this, &CommandLineReceiver::accept);
}

void CommandLineReceiver::accept() {
  // No more at a time than are kept: a flood of connections never holds the
  // event loop; the rest wait for its next round.
  for (std::size_t accepted = 0; accepted < kMostConnections;) {
    posix::UniqueFd connection(
        ::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!connection) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) pauseAccepting();
      return;
    }
    ++accepted;
    if (!posix::peerIsThisUser(connection.get())) continue;  // closed as it goes
    if (connections_.size() == kMostConnections) {
      IncomingHandOver* oldest = connections_.front();
      forget(*oldest);
      oldest->close();
    }
    connections_.push_back(new IncomingHandOver(
        std::move(connection), patience_,
        [this](IncomingHandOver& ending, const std::optional<HandOver>& handOver) {
          ended(ending, handOver);
        },
        this));
  }
}

void CommandLineReceiver::pauseAccepting() {
  newConnections_->setEnabled(false);
  QTimer::singleShot(kAcceptPause, this, [this] { newConnections_->setEnabled(true); });
}

void CommandLineReceiver::ended(IncomingHandOver& connection,
                                const std::optional<HandOver>& handOver) {
  forget(connection);
  if (!handOver) return;
  // Opening a schedule may ask a question, which runs an event loop of its
  // own: not inside this connection's notice.
  QMetaObject::invokeMethod(
      this, [this, handOver = *handOver] { handler_(handOver.arguments, handOver.folder); },
      Qt::QueuedConnection);
}

void CommandLineReceiver::forget(const IncomingHandOver& connection) {
  connections_.erase(std::find(connections_.begin(), connections_.end(), &connection));
}

HandOverResult handOverCommandLine(const QString& socket, const std::string& arguments,
                                   const std::string& folder, std::chrono::milliseconds patience) {
  const std::optional<QByteArray> message = handOverMessage(arguments, folder);
  if (!message) return HandOverResult::TooLong;
  const QDeadlineTimer deadline(patience);
  for (;;) {
    const HandOverResult result = tryHandOver(socketPath(socket), *message, deadline);
    if (result != HandOverResult::NoAnswer || deadline.hasExpired()) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
  }
}

}  // namespace kiv
