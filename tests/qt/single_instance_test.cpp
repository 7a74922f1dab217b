#include "single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "hand_over_message.h"
#include "posix/file_lock.h"
#include "posix/local_socket.h"
#include "posix/posix_file_storage.h"
#include "posix/schedule_locks.h"
#include "schedule_file/schedule_file_io.h"
#include "support/other_user.h"
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
  KivProcess(const TempFolder& home, const QStringList& arguments, const QString& workingFolder,
             const QString& runtime = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.isEmpty() ? inFolder(home, "runtime") : runtime);
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

// Who holds the schedule's lock, as another program would be told; "free"
// when nobody does. It only looks, in the system's list of locks: taking the
// lock to see, even for a moment, could turn away a kiv claiming it just then.
QString holderOf(const std::string& schedule) {
  const std::filesystem::path file = posix::scheduleLockFile(schedule);
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) return "free";
  // "1: FLOCK  ADVISORY  WRITE 4242 fe:00:1234 0 EOF"
  const std::string lockedFile =
      QString::asprintf("%02x:%02x:%llu", ::major(status.st_dev), ::minor(status.st_dev),
                        static_cast<unsigned long long>(status.st_ino))
          .toStdString();
  std::ifstream locks("/proc/locks");
  bool held = false;
  for (std::string line; !held && std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, kind, advisory, access, pid, id;
    fields >> number >> kind >> advisory >> access >> pid >> id;
    held = kind == "FLOCK" && id == lockedFile;
  }
  if (!held) return "free";
  // "4242 kiv", as the holder wrote it once it held the lock.
  std::ifstream holder(file);
  std::string pid, program;
  holder >> pid >> program;
  return "process " + QString::fromStdString(pid) + " (" + QString::fromStdString(program) + ")";
}

// A receiver listening at `socket` that keeps each command line it is handed
// with its folder.
struct Receiving {
  explicit Receiving(const QString& socket)
      : receiver(socket, [this](const std::string& arguments, const std::string& from) {
          received.emplace_back(arguments, from);
        }) {}

  std::vector<std::pair<std::string, std::string>> received;
  CommandLineReceiver receiver;
};

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void aHandedOverCommandLineArrivesInTheEventLoop();
  void aCommandLineArrivingInPiecesIsTakenWhole();
  void withNobodyListeningNothingIsHandedOver();
  void aSecondKivHandsItsScheduleToTheFirstAndEnds();
  void aRuntimeFolderTooLongForASocketAddressStillServes();
  void aRuntimeFolderNotTheUsersOwnIsRefused();
};

void SingleInstanceTest::aHandedOverCommandLineArrivesInTheEventLoop() {
  TempFolder folder;
  const QString socket = inFolder(folder, "kiv.socket");
  Receiving receiving(socket);
  const auto& received = receiving.received;
  QVERIFY(receiving.receiver.listening());

  std::atomic<int> taken{0};
  std::thread sender([&] {
    for (const auto& [arguments, from] :
         {std::pair{"/o Ωmega nightly.kiv", "/home/me/Δ"}, std::pair{"", "/"}}) {
      taken += handOverCommandLine(socket, arguments, from, std::chrono::seconds{10}) ==
               HandOverResult::Taken;
    }
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
  Receiving receiving(socket);
  const auto& received = receiving.received;
  QVERIFY(receiving.receiver.listening());
  const QByteArray message = handOverMessage("/o nightly.kiv", "/srv").value();
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
  QCOMPARE(answer, kHandOverTaken);
}

void SingleInstanceTest::withNobodyListeningNothingIsHandedOver() {
  TempFolder folder;
  QCOMPARE(
      handOverCommandLine(inFolder(folder, "kiv.socket"), "", "/", std::chrono::milliseconds{300}),
      HandOverResult::NoAnswer);
}

// The second start ends at once; the first opens the schedule (its lock
// shows it), named relative to the folder the second was started in. Once
// the first is killed, its locks are free and a new start is the first.
void SingleInstanceTest::aSecondKivHandsItsScheduleToTheFirstAndEnds() {
  TempFolder home;
  const auto schedule = home.path() / "nightly.kiv";
  posix::PosixFileStorage storage;
  QVERIFY(writeScheduleFile(schedule, TaskTable{}, storage));
  const QString elsewhere = inFolder(home, "runtime");
  std::filesystem::create_directories(home.path() / "runtime");

  KivProcess first(home, {}, elsewhere);
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(inFolder(home, "runtime/kiv/kiv.socket")), 10000);

  KivProcess second(home, {"/o", "nightly.kiv"}, inFolder(home, "."));
  QVERIFY(second.process().waitForFinished(10000));
  QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.process().exitCode(), 0);
  QTRY_COMPARE_WITH_TIMEOUT(holderOf(schedule.string()), "process " + first.pidText() + " (kiv)",
                            10000);

  first.process().kill();
  QVERIFY(first.process().waitForFinished(10000));
  QCOMPARE(holderOf(schedule.string()), QString("free"));

  KivProcess third(home, {"/o", "nightly.kiv"}, inFolder(home, "."));
  QTRY_COMPARE_WITH_TIMEOUT(holderOf(schedule.string()), "process " + third.pidText() + " (kiv)",
                            10000);
  QCOMPARE(third.process().state(), QProcess::Running);
}

// A socket's address holds about a hundred bytes: with a runtime folder
// further down, the second start still reaches the first at once.
void SingleInstanceTest::aRuntimeFolderTooLongForASocketAddressStillServes() {
  TempFolder home;
  const auto schedule = home.path() / "nightly.kiv";
  posix::PosixFileStorage storage;
  QVERIFY(writeScheduleFile(schedule, TaskTable{}, storage));
  const std::filesystem::path runtime =
      home.path() / std::string(60, 'r') / std::string(60, 'u') / "runtime";
  std::filesystem::create_directories(runtime);
  const QString runtimeText = QString::fromStdString(runtime.string());

  KivProcess first(home, {}, inFolder(home, "."), runtimeText);
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtimeText + "/kiv/kiv.socket"), 10000);
  KivProcess second(home, {"/o", "nightly.kiv"}, inFolder(home, "."), runtimeText);
  QVERIFY(second.process().waitForFinished(10000));
  QCOMPARE(second.process().exitCode(), 0);
  QTRY_COMPARE_WITH_TIMEOUT(holderOf(schedule.string()), "process " + first.pidText() + " (kiv)",
                            10000);
}

// A runtime folder someone else can arrange (a link into another folder, a
// folder others may write into, another user's) is refused: what waits
// there, a made-up holder of the lock and a socket listening, hears nothing
// of the new start, which runs from the state folder as the first.
void SingleInstanceTest::aRuntimeFolderNotTheUsersOwnIsRefused() {
  struct Case {
    const char* name;
    bool needsOtherUser;
    const char* refusal;
    // Makes the runtime folder's place at `kiv` in the shared runtime
    // folder; returns where the things planted for it go.
    std::function<std::filesystem::path(const std::filesystem::path& kiv)> arrange;
    // Then hands the place over to its owner; false when it could not.
    std::function<bool(const std::filesystem::path& planted)> finish;
  };
  namespace fs = std::filesystem;
  const std::vector<Case> cases = {
      {"ALinkToAnotherFolder", false, ": a link, not a folder of this user's own",
       [](const fs::path& kiv) {
         fs::create_directory(kiv.parent_path() / "elsewhere");
         fs::create_directory_symlink(kiv.parent_path() / "elsewhere", kiv);
         return kiv.parent_path() / "elsewhere";
       },
       [](const fs::path&) { return true; }},
      {"AFolderOthersMayWriteInto", false, ": other users may write into it",
       [](const fs::path& kiv) {
         fs::create_directory(kiv);
         return kiv;
       },
       [](const fs::path& planted) {
         fs::permissions(planted, fs::perms(0777));
         return true;
       }},
      {"AFolderOfAnotherUser", true, ": belongs to another user",
       [](const fs::path& kiv) {
         fs::create_directory(kiv);
         return kiv;
       },
       [](const fs::path& planted) {
         return ::chown(planted.c_str(), *testing::otherUser(), static_cast<gid_t>(-1)) == 0;
       }},
  };
  for (const Case& c : cases) {
    if (c.needsOtherUser && !testing::otherUser()) {
      qInfo("skipped %s: giving a folder away needs root", c.name);
      continue;
    }
    TempFolder home;
    const auto schedule = home.path() / "nightly.kiv";
    posix::PosixFileStorage storage;
    QVERIFY(writeScheduleFile(schedule, TaskTable{}, storage));
    const fs::path shared = home.path() / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(01777));
    const fs::path planted = c.arrange(shared / "kiv");
    // The holder named in the lock is made up; the lock is held all the same.
    const int lock = ::open((planted / "kiv.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    QVERIFY2(lock >= 0 && ::flock(lock, LOCK_EX) == 0, c.name);
    QVERIFY2(::write(lock, "1 systemd\n", 10) == 10, c.name);
    std::vector<std::string> handedOver;
    const CommandLineReceiver listener(
        QString::fromStdString((planted / "kiv.socket").string()),
        [&handedOver](const std::string& arguments, const std::string&) {
          handedOver.push_back(arguments);
        });
    QVERIFY2(listener.listening(), c.name);
    QVERIFY2(c.finish(planted), c.name);

    KivProcess kiv(home, {"/o", "nightly.kiv"}, inFolder(home, "."),
                   QString::fromStdString(shared.string()));
    QTRY_COMPARE_WITH_TIMEOUT(holderOf(schedule.string()), "process " + kiv.pidText() + " (kiv)",
                              10000);
    ::close(lock);
    QVERIFY2(handedOver.empty(), c.name);
    QCOMPARE(kiv.process().state(), QProcess::Running);
    QVERIFY2(QFileInfo::exists(inFolder(home, "state/kiv/kiv.socket")), c.name);
    // Written before the lock was taken, but perhaps not yet read from the pipe.
    const QString refusal = QString::fromStdString((shared / "kiv").string()) + c.refusal;
    QString told;
    QTRY_VERIFY2_WITH_TIMEOUT(
        (told += QString::fromLocal8Bit(kiv.process().readAllStandardError())).contains(refusal),
        qPrintable(told), 10000);
  }
}

}  // namespace kiv

QTEST_MAIN(kiv::SingleInstanceTest)
#include "single_instance_test.moc"
