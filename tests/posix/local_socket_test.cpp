#include "posix/local_socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

using testing::TempFolder;
using namespace std::chrono_literals;

bool closesOnExec(int fd) {
  return (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
}

// A listener replaces what a dead one left at its name, admits only its
// owner, and passes bytes both ways to a program that connects.
TEST(LocalSocket, ListensWhereADeadListenerLeftItsSocket) {
  TempFolder folder;
  const std::string path = (folder.path() / "kiv.socket").string();
  std::ofstream(path) << "left behind";

  const UniqueFd listener = listenAt(path);
  ASSERT_TRUE(listener) << std::strerror(errno);
  struct stat made {};
  ASSERT_EQ(::stat(path.c_str(), &made), 0);
  EXPECT_TRUE(S_ISSOCK(made.st_mode));
  EXPECT_EQ(made.st_mode & 0777, 0600U);
  EXPECT_TRUE(closesOnExec(listener.get()));
  // Nobody has connected yet: accepting does not block.
  EXPECT_LT(::accept(listener.get(), nullptr, nullptr), 0);
  EXPECT_EQ(errno, EAGAIN);

  const UniqueFd sender = connectTo(path);
  ASSERT_TRUE(sender) << std::strerror(errno);
  EXPECT_TRUE(closesOnExec(sender.get()));
  ASSERT_TRUE(waitUntilReady(listener.get(), false, 10s));
  const UniqueFd receiver(::accept(listener.get(), nullptr, nullptr));
  ASSERT_TRUE(receiver);
  ASSERT_TRUE(waitUntilReady(sender.get(), true, 10s));
  ASSERT_EQ(::write(sender.get(), "/o x", 4), 4);
  ASSERT_TRUE(waitUntilReady(receiver.get(), false, 10s));
  char got[8] = {};
  EXPECT_EQ(::read(receiver.get(), got, sizeof got), 4);
  EXPECT_STREQ(got, "/o x");
}

TEST(LocalSocket, ConnectsToNothingWhereNobodyListens) {
  TempFolder folder;
  const std::string path = (folder.path() / "kiv.socket").string();
  EXPECT_FALSE(connectTo(path));
  { const UniqueFd gone = listenAt(path); }  // closed: its name stays, refusing
  EXPECT_FALSE(connectTo(path));
  EXPECT_EQ(errno, ECONNREFUSED);
}

TEST(LocalSocket, RefusesANameTooLongForASocket) {
  TempFolder folder;
  const std::string path = (folder.path() / std::string(120, 's')).string();
  EXPECT_FALSE(listenAt(path));
  EXPECT_FALSE(connectTo(path));
}

TEST(LocalSocket, WaitingEndsWhenNothingComesInTime) {
  TempFolder folder;
  const std::string path = (folder.path() / "kiv.socket").string();
  const UniqueFd listener = listenAt(path);
  ASSERT_TRUE(listener);
  const UniqueFd sender = connectTo(path);
  ASSERT_TRUE(sender);
  EXPECT_FALSE(waitUntilReady(sender.get(), false, 20ms));
}

}  // namespace
}  // namespace kiv::posix
