#include "single_instance.h"

#include <QDataStream>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <atomic>
#include <cstdlib>
#include <thread>

#include <unistd.h>

#include "posix/local_socket.h"
#include "posix/posix_file_storage.h"
#include "posix/schedule_locks.h"
#include "schedule_file/schedule_file_io.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using testing::TempFolder;

QString inFolder(const TempFolder& folder, const char* name) {
  return QString::fromStdString((folder.path() / name).string());
}

// A real `kiv` of a user whose folders are the test's.
class KivProcess {
 public:
  KivProcess(const TempFolder& home, const QStringList& arguments, const QString& workingFolder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", inFolder(home, "runtime"));
    environment.insert("XDG_STATE_HOME", inFolder(home, "state"));
    environment.insert("XDG_CONFIG_HOME", inFolder(home, "config"));
    process_.setProcessEnvironment(environment);
    process_.setWorkingDirectory(workingFolder);
    process_.start(KIV_PROGRAM, arguments);
    process_.waitForStarted();
  }
  ~KivProcess() {
    process_.kill();
    process_.waitForFinished();
  }
  KivProcess(const KivProcess&) = delete;
  KivProcess& operator=(const KivProcess&) = delete;

  QProcess& process() { return process_; }
  QString pidText() const { return QString::number(process_.processId()); }

 private:
  QProcess process_;
};

// Asks for the schedule's lock as another program of the same user would,
// and says who holds it; "free" when nobody did.
QString holderOf(const TempFolder& home, const std::string& schedule) {
  const std::string saved = std::getenv("XDG_RUNTIME_DIR");
  ::setenv("XDG_RUNTIME_DIR", (home.path() / "runtime").c_str(), 1);
  posix::ScheduleLocks probe("test");
  const ScheduleClaim claim = probe.claim(schedule);
  ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  return claim.kind == ScheduleClaim::Kind::Claimed ? QString("free")
                                                    : QString::fromStdString(claim.detail);
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void aHandedOverCommandLineArrivesInTheEventLoop();
  void aCommandLineArrivingInPiecesIsTakenWhole();
  void withNobodyListeningNothingIsHandedOver();
  void aSecondKivHandsItsScheduleToTheFirstAndEnds();
};

void SingleInstanceTest::aHandedOverCommandLineArrivesInTheEventLoop() {
  TempFolder folder;
  const QString socket = inFolder(folder, "kiv.socket");
  std::vector<std::pair<std::string, std::string>> received;
  CommandLineReceiver receiver(socket,
                               [&received](const std::string& arguments, const std::string& from) {
                                 received.emplace_back(arguments, from);
                               });
  QVERIFY(receiver.listening());

  std::atomic<int> taken{0};
  std::thread sender([&] {
    taken +=
        handOverCommandLine(socket, "/o Ωmega nightly.kiv", "/home/me/Δ", std::chrono::seconds{10});
    taken += handOverCommandLine(socket, "", "/", std::chrono::seconds{10});
  });
  QTRY_COMPARE(received.size(), std::size_t{2});
  sender.join();

  QCOMPARE(taken.load(), 2);
  QVERIFY(received[0] ==
          std::make_pair(std::string("/o Ωmega nightly.kiv"), std::string("/home/me/Δ")));
  QVERIFY(received[1] == std::make_pair(std::string(), std::string("/")));
}

// A sender's message may come in several reads: nothing is passed on before
// the whole of it has come, and then the sender is told it was taken.
void SingleInstanceTest::aCommandLineArrivingInPiecesIsTakenWhole() {
  TempFolder folder;
  const QString socket = inFolder(folder, "kiv.socket");
  std::vector<std::pair<std::string, std::string>> received;
  CommandLineReceiver receiver(socket,
                               [&received](const std::string& arguments, const std::string& from) {
                                 received.emplace_back(arguments, from);
                               });
  QVERIFY(receiver.listening());
  QByteArray message;
  QDataStream out(&message, QIODevice::WriteOnly);
  out << QString("/o nightly.kiv") << QString("/srv");
  const posix::UniqueFd sender = posix::connectTo(socket.toStdString());
  QVERIFY(sender);

  for (qsizetype at = 0; at < message.size(); at += 5) {
    const auto piece = static_cast<std::size_t>(std::min<qsizetype>(5, message.size() - at));
    QCOMPARE(::write(sender.get(), message.constData() + at, piece), static_cast<ssize_t>(piece));
    QTest::qWait(20);
    if (at + 5 < message.size()) QVERIFY(received.empty());
  }

  QTRY_COMPARE(received.size(), std::size_t{1});
  QVERIFY(received[0] == std::make_pair(std::string("/o nightly.kiv"), std::string("/srv")));
  char answer = 0;
  QCOMPARE(::read(sender.get(), &answer, 1), ssize_t{1});
  QCOMPARE(answer, 'k');
}

void SingleInstanceTest::withNobodyListeningNothingIsHandedOver() {
  TempFolder folder;
  QVERIFY(!handOverCommandLine(inFolder(folder, "kiv.socket"), "", "/",
                               std::chrono::milliseconds{300}));
}

// The second start ends at once; the first opens the schedule (its lock
// shows it), named relative to the folder the second was started in. Once
// the first is killed, its locks are free and a new start is the first.
void SingleInstanceTest::aSecondKivHandsItsScheduleToTheFirstAndEnds() {
  TempFolder home;
  const auto schedule = home.path() / "nightly.kiv";
  posix::PosixFileStorage storage;
  QVERIFY(!writeScheduleFile(schedule, TaskTable{}, storage));
  const QString elsewhere = inFolder(home, "runtime");
  std::filesystem::create_directories(home.path() / "runtime");

  KivProcess first(home, {}, elsewhere);
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(inFolder(home, "runtime/kiv/kiv.socket")), 10000);

  KivProcess second(home, {"/o", "nightly.kiv"}, inFolder(home, "."));
  QVERIFY(second.process().waitForFinished(10000));
  QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.process().exitCode(), 0);
  QTRY_COMPARE_WITH_TIMEOUT(holderOf(home, schedule.string()),
                            "process " + first.pidText() + " (kiv)", 10000);

  first.process().kill();
  QVERIFY(first.process().waitForFinished(10000));
  QCOMPARE(holderOf(home, schedule.string()), QString("free"));

  KivProcess third(home, {"/o", "nightly.kiv"}, inFolder(home, "."));
  QTRY_COMPARE_WITH_TIMEOUT(holderOf(home, schedule.string()),
                            "process " + third.pidText() + " (kiv)", 10000);
  QCOMPARE(third.process().state(), QProcess::Running);
}

}  // namespace kiv

QTEST_MAIN(kiv::SingleInstanceTest)
#include "single_instance_test.moc"
