// The window program's socket takes connections from any program of the
// user, well-behaved or not; these tests make such connections for real.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "hand_over_message.h"
#include "posix/child_watcher.h"
#include "posix/process_starter.h"
#include "posix/unique_fd.h"
#include "single_instance.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;
using Received = std::vector<std::pair<std::string, std::string>>;

sockaddr_un addressOf(const QString& socket) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = socket.toUtf8();
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  return address;
}

// A descriptor connected to `address`, or none.
posix::UniqueFd connectTo(const sockaddr_un& address) {
  posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
  if (fd && ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return {};
  }
  return fd;
}

// A connection made with the system's calls alone, as any program may.
class RawConnection {
 public:
  explicit RawConnection(const QString& socket) : fd_(connectTo(addressOf(socket))) {}

  bool connected() const { return static_cast<bool>(fd_); }
  void send(const QByteArray& bytes) const {
    [[maybe_unused]] const ssize_t sent =
        ::send(fd_.get(), bytes.constData(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL);
  }
  // Whether the other end has closed the connection; never waits.
  bool closedByPeer() const {
    char byte = 0;
    const ssize_t count = ::recv(fd_.get(), &byte, 1, MSG_DONTWAIT);
    return count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
  }

 private:
  posix::UniqueFd fd_;
};

QByteArray header(quint32 argumentsLength, quint32 folderLength) {
  QByteArray bytes;
  for (const quint32 length : {argumentsLength, folderLength}) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.append(static_cast<char>(length >> shift));
  }
  return bytes;
}

// A receiver at a fresh socket, keeping what it is handed.
class Listening {
 public:
  explicit Listening(std::chrono::milliseconds patience = CommandLineReceiver::kPatience)
      : socket_(QString::fromStdString((folder_.path() / "kiv.socket").string())),
        receiver_(
            socket_,
            [this](const std::string& arguments, const std::string& from) {
              received_.emplace_back(arguments, from);
            },
            patience) {}

  const QString& socket() const { return socket_; }
  bool listening() const { return receiver_.listening(); }
  const Received& received() const { return received_; }

  // Hands a command line over from another thread, as a second start does,
  // while this one's event loop runs.
  bool handOverWorks(const std::string& arguments) {
    const std::size_t before = received_.size();
    HandOverResult result = HandOverResult::NoAnswer;
    std::thread sender([&] {
      result = handOverCommandLine(socket_, arguments, "/home/me", std::chrono::seconds{20});
    });
    const bool arrived = QTest::qWaitFor([&] { return received_.size() > before; }, 30000);
    sender.join();
    return arrived && result == HandOverResult::Taken && received_.back().first == arguments;
  }

 private:
  TempFolder folder_;
  QString socket_;
  Received received_;
  CommandLineReceiver receiver_;
};

int openDescriptors() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                        std::filesystem::directory_iterator{}));
}

// A forked process holding `count` connections to `socket` until it is
// killed; it writes a byte to `done` once all are made. The child only makes
// system calls: the test process may have other threads.
pid_t flood(const QString& socket, int count, int done, const rlimit& limit) {
  const sockaddr_un address = addressOf(socket);
  const pid_t child = ::fork();
  if (child != 0) return child;
  ::setrlimit(RLIMIT_NOFILE, &limit);
  for (int made = 0; made < count; ++made) {
    // Each connection stays open until this process ends.
    if (connectTo(address).release() < 0) std::_Exit(1);
  }
  [[maybe_unused]] const ssize_t told = ::write(done, "y", 1);
  ::pause();
  std::_Exit(0);
}

}  // namespace

class HandOverTest : public QObject {
  Q_OBJECT

 private slots:
  void connectionsThatAreNoHandOverAreClosed();
  void aFloodOfIdleConnectionsLeavesRoomForAHandOverAndALaunch();
  void aMomentWithoutDescriptorsDoesNotEndListening();
  void aCommandLineTooLongToHandOverIsRefused();
};

// Each connection is closed by the receiver: one that is no hand-over at
// once (its patience is an hour), a silent one when its patience ends. The
// real hand-over after it still arrives, and nothing else does.
void HandOverTest::connectionsThatAreNoHandOverAreClosed() {
  struct Case {
    const char* name;
    QByteArray sent;
    std::chrono::milliseconds patience;
  };
  const QByteArray message = handOverMessage("/o a.kiv", "/home/me").value();
  const std::vector<Case> cases = {
      {"Silent", {}, 200ms},
      {"HalfAMessageThenSilent", message.left(message.size() / 2), 200ms},
      {"ALengthOfTwoGigabytes", header(0x7FFFFFFE, 0) + QByteArray(4096, 'x'), 1h},
      {"LengthsTogetherBeyondTheBound", header(kHandOverTextBytes, 1) + QByteArray(4096, 'x'), 1h},
      {"TextsThatAreNotUtf8", header(2, 1) + QByteArray("\xC3\x28/"), 1h},
      {"BytesAfterTheMessage", message + "more", 1h},
  };
  for (const Case& c : cases) {
    Listening listening(c.patience);
    QVERIFY2(listening.listening(), c.name);
    const RawConnection connection(listening.socket());
    QVERIFY2(connection.connected(), c.name);
    connection.send(c.sent);
    QVERIFY2(QTest::qWaitFor([&] { return connection.closedByPeer(); }, 30000), c.name);
    QVERIFY2(listening.handOverWorks("/o nightly.kiv"), c.name);
    QVERIFY2(listening.received().size() == 1, c.name);
  }
}

// Far more idle connections than descriptors are left to the program: the
// receiver keeps only a few, so a later hand-over still arrives and a
// program can still be started.
void HandOverTest::aFloodOfIdleConnectionsLeavesRoomForAHandOverAndALaunch() {
  Listening listening;
  QVERIFY(listening.listening());
  rlimit saved{};
  QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(openDescriptors()) + 32;
  int done[2];
  QCOMPARE(::pipe2(done, O_NONBLOCK), 0);
  QCOMPARE(::setrlimit(RLIMIT_NOFILE, &tight), 0);
  const pid_t flooder = flood(listening.socket(), 300, done[1], saved);
  ::close(done[1]);

  char told = 0;
  const bool flooded = QTest::qWaitFor([&] { return ::read(done[0], &told, 1) == 1; }, 60000);
  const bool handedOver = flooded && listening.handOverWorks("/o after the flood.kiv");
  posix::ChildWatcher children;
  const StartResult launch = posix::start("\"/bin/true\" /compact", children);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  ::kill(flooder, SIGKILL);
  ::waitpid(flooder, nullptr, 0);
  ::close(done[0]);

  QVERIFY(flooded);
  QVERIFY(handedOver);
  QVERIFY2(launch.ok(), launch.ok() ? "" : launch.error().c_str());
}

// A program connects while this one has no descriptor to spare, so the
// connection cannot be accepted: the receiver goes on listening, and once
// descriptors are free again a hand-over still arrives.
void HandOverTest::aMomentWithoutDescriptorsDoesNotEndListening() {
  Listening listening;
  QVERIFY(listening.listening());
  int done[2];
  QCOMPARE(::pipe2(done, O_NONBLOCK | O_CLOEXEC), 0);
  rlimit saved{};
  QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(openDescriptors()) + 8;
  QCOMPARE(::setrlimit(RLIMIT_NOFILE, &tight), 0);
  std::vector<int> taken;
  for (int fd = 0; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) taken.push_back(fd);
  const bool exhausted = errno == EMFILE;
  const pid_t connecting = flood(listening.socket(), 1, done[1], saved);

  char told = 0;
  const bool connected = QTest::qWaitFor([&] { return ::read(done[0], &told, 1) == 1; }, 60000);
  QTest::qWait(200);  // the receiver sees the connection and cannot take it
  for (const int fd : taken) ::close(fd);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  const bool handedOver = listening.handOverWorks("/o afterwards.kiv");
  ::kill(connecting, SIGKILL);
  ::waitpid(connecting, nullptr, 0);
  ::close(done[0]);
  ::close(done[1]);

  QVERIFY(exhausted);
  QVERIFY(connected);
  QVERIFY(handedOver);
}

void HandOverTest::aCommandLineTooLongToHandOverIsRefused() {
  Listening listening;
  const std::string folder = "/home/me";
  const std::string longest(kHandOverTextBytes - folder.size(), 'a');
  QCOMPARE(handOverCommandLine(listening.socket(), longest + "a", folder, 10s),
           HandOverResult::TooLong);
  QVERIFY(listening.handOverWorks(longest));
  QCOMPARE(listening.received().size(), std::size_t{1});
}

}  // namespace kiv

QTEST_MAIN(kiv::HandOverTest)
#include "hand_over_test.moc"
