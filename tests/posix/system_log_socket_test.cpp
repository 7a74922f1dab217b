// The entries reach a real datagram socket as the system's log daemon reads
// them at /dev/log; here the socket is a private one in a temporary folder.
#include "posix/system_log_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <regex>
#include <string>

#include "posix/local_socket.h"
#include "posix/unique_fd.h"
#include "shell/system_log_entries.h"
#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

using std::chrono::seconds;

// A stand-in for the log daemon: a datagram socket bound at `path`.
class LogDaemon {
 public:
  explicit LogDaemon(const std::string& path)
      : socket_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    bound_ = socket_ &&
             ::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }

  bool bound() const { return bound_; }

  // The next datagram, or "" when none came within a generous bound.
  std::string receive() const {
    if (!waitUntilReady(socket_.get(), false, std::chrono::seconds{30})) return {};
    std::array<char, 4096> buffer{};
    const ssize_t size = ::recv(socket_.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
    return size > 0 ? std::string(buffer.data(), static_cast<std::size_t>(size)) : std::string();
  }

 private:
  UniqueFd socket_;
  bool bound_ = false;
};

TEST(SystemLogSocket, EachEntryIsOneDatagramWithKivsNameItsPriorityAndItsMessage) {
  const testing::TempFolder folder;
  const std::string path = (folder.path() / "log").string();
  const LogDaemon daemon(path);
  ASSERT_TRUE(daemon.bound());
  SystemLogSocket log(path);

  struct Case {
    SystemLogPriority priority;
    const char* pri;  // facility user (1) times 8 plus the severity
  };
  const Case cases[] = {{SystemLogPriority::Error, "<11>"},
                        {SystemLogPriority::Warning, "<12>"},
                        {SystemLogPriority::Information, "<14>"}};
  for (const Case& c : cases) {
    const std::string message = "Task 3 (Nightly \"compact\") of /home/me/nightly.kiv: ünïcode";
    log.writeSystemLog({SystemLogKind::Failed, c.priority, message});
    const std::string received = daemon.receive();
    EXPECT_TRUE(received.starts_with(c.pri)) << received;
    static const std::regex kHeader(
        R"(<[0-9]+>[A-Z][a-z]{2} [ 1-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] kiv\[([0-9]+)\]: )");
    std::smatch header;
    ASSERT_TRUE(
        std::regex_search(received, header, kHeader, std::regex_constants::match_continuous))
        << received;
    EXPECT_EQ(header[1].str(), std::to_string(::getpid()));
    EXPECT_EQ(received.substr(static_cast<std::size_t>(header.length())), message);
  }
}

TEST(SystemLogSocket, TheTimeStampIsRfc3164sWhateverTheLocale) {
  std::tm time{};
  time.tm_year = 127;
  time.tm_mon = 2;
  time.tm_mday = 8;
  time.tm_hour = 2;
  time.tm_min = 0;
  time.tm_sec = 5;
  EXPECT_EQ(
      systemLogDatagram({SystemLogKind::Missed, SystemLogPriority::Warning, "missed"}, time, 42),
      "<12>Mar  8 02:00:05 kiv[42]: missed");
  time.tm_mon = 11;
  time.tm_mday = 31;
  time.tm_hour = 23;
  EXPECT_EQ(systemLogDatagram({SystemLogKind::Failed, SystemLogPriority::Error, "failed"}, time, 7),
            "<11>Dec 31 23:00:05 kiv[7]: failed");
}

TEST(SystemLogSocket, ALaunchNotStartedReachesTheLogWithoutItsCommandLine) {
  const testing::TempFolder folder;
  const std::string path = (folder.path() / "log").string();
  const LogDaemon daemon(path);
  ASSERT_TRUE(daemon.bound());
  LaunchRecord launch;
  launch.at = "2027-03-28 02:00:00";
  launch.schedule = "/home/me/nightly.kiv";
  launch.task = 3;
  launch.taskName = "Nightly compact";
  launch.commandLine = R"("/opt/db/access" "/srv/orders.mdb" /pwd s3cret /compact)";
  launch.reason = "No such file or directory";
  SystemLogSocket log(path);
  for (const SystemLogEntry& entry : systemLogEntries(launch, SuccessLogging::On)) {
    log.writeSystemLog(entry);
  }

  const std::string received = daemon.receive();
  EXPECT_NE(received.find("<11>"), std::string::npos) << received;
  EXPECT_NE(received.find("Task 3 (Nightly compact) of /home/me/nightly.kiv"), std::string::npos)
      << received;
  EXPECT_NE(received.find("not started: No such file or directory"), std::string::npos) << received;
  EXPECT_EQ(received.find("s3cret"), std::string::npos) << received;
}

// No daemon listening drops the entry without a fault; once one listens it
// gets the next.
TEST(SystemLogSocket, AnEntryWithoutADaemonIsDroppedAndTheNextReachesOneStartedSince) {
  const testing::TempFolder folder;
  const std::string path = (folder.path() / "log").string();
  SystemLogSocket log(path);
  log.writeSystemLog({SystemLogKind::Failed, SystemLogPriority::Error, "before"});

  const LogDaemon daemon(path);
  ASSERT_TRUE(daemon.bound());
  log.writeSystemLog({SystemLogKind::Failed, SystemLogPriority::Error, "after"});
  const std::string received = daemon.receive();
  EXPECT_TRUE(received.ends_with("kiv[" + std::to_string(::getpid()) + "]: after")) << received;
}

}  // namespace
}  // namespace kiv::posix
