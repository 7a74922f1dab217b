#include "single_instance.h"

#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "hand_over_message.h"
#include "posix/peer_user.h"

namespace kiv {
namespace {

constexpr char kTaken = 'k';

// No more of a connection is read than a whole message and a byte beyond it,
// which tells that it is no hand-over.
constexpr qint64 kReadLimit = kHandOverHeaderBytes + kHandOverTextBytes + 1;

int remaining(const QDeadlineTimer& deadline) {
  return static_cast<int>(deadline.remainingTime());
}

HandOverResult tryHandOver(const QString& socket, const QByteArray& message,
                           const QDeadlineTimer& deadline) {
  QLocalSocket connection;
  connection.connectToServer(socket);
  if (!connection.waitForConnected(remaining(deadline))) return HandOverResult::NoAnswer;
  if (!posix::peerIsThisUser(static_cast<int>(connection.socketDescriptor()))) {
    return HandOverResult::OtherUser;
  }
  connection.write(message);
  if (!connection.waitForBytesWritten(remaining(deadline))) return HandOverResult::NoAnswer;
  while (connection.bytesAvailable() < 1) {
    if (!connection.waitForReadyRead(remaining(deadline))) return HandOverResult::NoAnswer;
  }
  char answer = 0;
  return connection.read(&answer, 1) == 1 && answer == kTaken ? HandOverResult::Taken
                                                              : HandOverResult::NoAnswer;
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

CommandLineReceiver::CommandLineReceiver(const QString& socket, Handler handler,
                                         std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), patience_(patience) {
  // Whoever holds the instance lock owns the socket's name: one left there
  // is a dead holder's.
  QLocalServer::removeServer(socket);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(socket);
  connect(&server_, &QLocalServer::newConnection, this, &CommandLineReceiver::accept);
}

void CommandLineReceiver::accept() {
  while (QLocalSocket* connection = server_.nextPendingConnection()) {
    if (!posix::peerIsThisUser(static_cast<int>(connection->socketDescriptor()))) {
      connection->abort();
      connection->deleteLater();
      continue;
    }
    if (connections_.size() == kMostConnections) close(connections_.front());
    connections_.push_back(connection);
    connection->setReadBufferSize(kReadLimit);
    connect(connection, &QLocalSocket::readyRead, this,
            [this, connection] { readFrom(connection); });
    connect(connection, &QLocalSocket::disconnected, this,
            [this, connection] { close(connection); });
    QTimer::singleShot(patience_, connection, [this, connection] {
      readFrom(connection);  // what came in time, should its signal not have been handled yet
      close(connection);
    });
  }
}

void CommandLineReceiver::readFrom(QLocalSocket* connection) {
  if (!open(connection)) return;
  HandOver handOver;
  switch (readHandOver(connection->peek(kReadLimit), handOver)) {
    case HandOverReading::Incomplete:
      return;
    case HandOverReading::Malformed:
      close(connection);
      return;
    case HandOverReading::Complete:
      break;
  }
  connections_.erase(std::find(connections_.begin(), connections_.end(), connection));
  disconnect(connection, nullptr, this, nullptr);
  connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
  connection->write(&kTaken, 1);
  connection->disconnectFromServer();  // once the answer is written
  // Opening a schedule may ask a question, which runs an event loop of its
  // own: not inside this connection's signal.
  QMetaObject::invokeMethod(
      this, [this, handOver] { handler_(handOver.arguments, handOver.folder); },
      Qt::QueuedConnection);
}

bool CommandLineReceiver::open(const QLocalSocket* connection) const {
  return std::find(connections_.begin(), connections_.end(), connection) != connections_.end();
}

void CommandLineReceiver::close(QLocalSocket* connection) {
  const auto found = std::find(connections_.begin(), connections_.end(), connection);
  if (found == connections_.end()) return;
  connections_.erase(found);
  disconnect(connection, nullptr, this, nullptr);
  connection->abort();
  connection->deleteLater();
}

HandOverResult handOverCommandLine(const QString& socket, const std::string& arguments,
                                   const std::string& folder, std::chrono::milliseconds patience) {
  const std::optional<QByteArray> message = handOverMessage(arguments, folder);
  if (!message) return HandOverResult::TooLong;
  const QDeadlineTimer deadline(patience);
  for (;;) {
    const HandOverResult result = tryHandOver(socket, *message, deadline);
    if (result != HandOverResult::NoAnswer || deadline.hasExpired()) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
  }
}

}  // namespace kiv
