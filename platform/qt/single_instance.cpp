#include "single_instance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <thread>

#include "posix/user_folders.h"
#include "qt_text.h"

namespace kiv {
namespace {

constexpr char kTaken = 'k';

QString inRuntimeFolder(const char* name) {
  return QString::fromStdString((posix::runtimeFolder() / name).string());
}

}  // namespace

InstancePlaces instancePlaces() {
  return {inRuntimeFolder("kiv.lock"), inRuntimeFolder("kiv.socket")};
}

CommandLineReceiver::CommandLineReceiver(const QString& socket, Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
  // Whoever holds the instance lock owns the socket's name: one left there
  // is a dead holder's.
  QLocalServer::removeServer(socket);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(socket);
  connect(&server_, &QLocalServer::newConnection, this, &CommandLineReceiver::accept);
}

void CommandLineReceiver::accept() {
  while (QLocalSocket* connection = server_.nextPendingConnection()) {
    connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
    connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
      QDataStream in(connection);
      in.startTransaction();
      QString arguments;
      QString folder;
      in >> arguments >> folder;
      if (!in.commitTransaction()) return;  // the rest is still on its way
      connection->write(&kTaken, 1);
      connection->flush();
      // Opening a schedule may ask a question, which runs an event loop of
      // its own: not inside this connection's signal.
      QMetaObject::invokeMethod(
          this, [this, arguments, folder] { handler_(toCoreText(arguments), toCoreText(folder)); },
          Qt::QueuedConnection);
    });
  }
}

bool handOverCommandLine(const QString& socket, const std::string& arguments,
                         const std::string& folder, std::chrono::milliseconds patience) {
  const QDeadlineTimer deadline(patience);
  // The first start may hold the lock a moment before it listens.
  QLocalSocket connection;
  for (;;) {
    connection.connectToServer(socket);
    if (connection.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
    if (deadline.hasExpired()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds{50});
  }
  QByteArray message;
  QDataStream out(&message, QIODevice::WriteOnly);
  out << toQString(arguments) << toQString(folder);
  connection.write(message);
  if (!connection.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
  while (connection.bytesAvailable() < 1) {
    if (!connection.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
  }
  char answer = 0;
  return connection.read(&answer, 1) == 1 && answer == kTaken;
}

}  // namespace kiv
