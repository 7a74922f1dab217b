#include "single_instance.h"

#include <QByteArray>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

#include "posix/local_socket.h"
#include "posix/user_folders.h"
#include "qt_text.h"

// The hand-over runs over a plain socket rather than Qt's local sockets: the
// Qt Network module would be loaded, with the libraries it needs, into every
// Kiv idling in the notification area for this one message.

namespace kiv {
namespace {

constexpr char kTaken = 'k';

QString inRuntimeFolder(const char* name) {
  return QString::fromStdString((posix::runtimeFolder() / name).string());
}

std::string socketPath(const QString& socket) {
  return QFile::encodeName(socket).toStdString();
}

std::chrono::milliseconds remainingTime(const QDeadlineTimer& deadline) {
  return std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
}

// One later start's connection: its message, as much as has come, is read
// whenever the socket has more; once it is whole the sender is told it has
// been taken and let go.
class IncomingCommandLine : public QObject {
 public:
  using Taken = std::function<void(const QString& arguments, const QString& folder)>;

  IncomingCommandLine(posix::UniqueFd connection, Taken taken, QObject* parent)
      : QObject(parent),
        connection_(std::move(connection)),
        readable_(connection_.get(), QSocketNotifier::Read),
        taken_(std::move(taken)) {
    connect(&readable_, &QSocketNotifier::activated, this, &IncomingCommandLine::readMore);
  }

 private:
  void readMore() {
    char chunk[4096];
    for (;;) {
      const ssize_t got = ::read(connection_.get(), chunk, sizeof chunk);
      if (got > 0) {
        received_.append(chunk, got);
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && errno == EAGAIN) break;
      // The sender has gone, or the socket failed, before the message was whole.
      if (!takeWholeMessage()) end();
      return;
    }
    takeWholeMessage();
  }

  bool takeWholeMessage() {
    QDataStream in(received_);
    in.startTransaction();
    QString arguments;
    QString folder;
    in >> arguments >> folder;
    if (!in.commitTransaction()) return false;  // the rest is still on its way
    // A sender that has gone meanwhile needs no answer.
    static_cast<void>(::send(connection_.get(), &kTaken, 1, MSG_NOSIGNAL));
    taken_(arguments, folder);
    end();
    return true;
  }

  void end() {
    readable_.setEnabled(false);
    deleteLater();
  }

  posix::UniqueFd connection_;
  QSocketNotifier readable_;
  Taken taken_;
  QByteArray received_;
};

}  // namespace

InstancePlaces instancePlaces() {
  return {inRuntimeFolder("kiv.lock"), inRuntimeFolder("kiv.socket")};
}

// Whoever holds the instance lock owns the socket's name: one left there is
// a dead holder's.
CommandLineReceiver::CommandLineReceiver(const QString& socket, Handler handler, QObject* parent)
    : QObject(parent),
      listener_(posix::listenAt(socketPath(socket))),
      handler_(std::move(handler)) {
  if (!listener_) return;
  newConnections_.emplace(listener_.get(), QSocketNotifier::Read);
  connect(&*newConnections_, &QSocketNotifier::activated, this, &CommandLineReceiver::accept);
}

void CommandLineReceiver::accept() {
  for (;;) {
    posix::UniqueFd connection(
        ::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!connection) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    new IncomingCommandLine(
        std::move(connection),
        [this](const QString& arguments, const QString& folder) {
          // Opening a schedule may ask a question, which runs an event loop of
          // its own: not inside this connection's signal.
          QMetaObject::invokeMethod(
              this,
              [this, arguments, folder] { handler_(toCoreText(arguments), toCoreText(folder)); },
              Qt::QueuedConnection);
        },
        this);
  }
}

bool handOverCommandLine(const QString& socket, const std::string& arguments,
                         const std::string& folder, std::chrono::milliseconds patience) {
  const QDeadlineTimer deadline(patience);
  // The first start may hold the lock a moment before it listens.
  posix::UniqueFd connection;
  for (;;) {
    connection = posix::connectTo(socketPath(socket));
    if (connection) break;
    if (deadline.hasExpired()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
  }
  QByteArray message;
  QDataStream out(&message, QIODevice::WriteOnly);
  out << toQString(arguments) << toQString(folder);
  for (qsizetype written = 0; written < message.size();) {
    if (!posix::waitUntilReady(connection.get(), true, remainingTime(deadline))) return false;
    const ssize_t sent = ::send(connection.get(), message.constData() + written,
                                static_cast<std::size_t>(message.size() - written), MSG_NOSIGNAL);
    if (sent < 0 && errno != EINTR && errno != EAGAIN) return false;
    if (sent > 0) written += sent;
  }
  char answer = 0;
  ssize_t got = -1;
  while (got < 0) {
    if (!posix::waitUntilReady(connection.get(), false, remainingTime(deadline))) return false;
    got = ::read(connection.get(), &answer, 1);
    if (got < 0 && errno != EINTR) return false;
  }
  return got == 1 && answer == kTaken;
}

}  // namespace kiv
