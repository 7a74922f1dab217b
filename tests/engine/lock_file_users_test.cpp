// Who has a database open, read from the entries of its lock file, and the
// reason a compact gives for not starting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/lock_file_users.h"
#include "support/lock_file_entry.h"

namespace kiv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::lockFileEntry;

Bytes entries(int count) {
  Bytes bytes;
  for (int index = 1; index <= count; ++index) {
    const Bytes one = lockFileEntry("PC-" + std::to_string(index), "user" + std::to_string(index));
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  return bytes;
}

Bytes cutTo(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes joined(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

struct ReadCase {
  const char* name;
  Bytes bytes;
  std::vector<LockFileUser> users;
  std::string reason;
};

class LockFileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LockFileRead, NamesTheUsersOfItsEntries) {
  const ReadCase& c = GetParam();
  const std::vector<LockFileUser> users = lockFileUsers(c.bytes);
  EXPECT_EQ(users, c.users);
  EXPECT_EQ(inUseText(users), c.reason);
}

const std::string kFullName(32, 'N');  // a name that fills its field, without a NUL

INSTANTIATE_TEST_SUITE_P(
    Entries, LockFileRead,
    ::testing::Values(
        ReadCase{"Empty", {}, {}, "in use (its lock file names nobody)"},
        ReadCase{"One",
                 lockFileEntry("PC-ACCOUNTING", "Admin"),
                 {{"PC-ACCOUNTING", "Admin"}},
                 "in use by PC-ACCOUNTING (Admin)"},
        ReadCase{"Two",
                 joined(lockFileEntry("PC-ACCOUNTING", "Admin"), lockFileEntry("PC-7", "maria")),
                 {{"PC-ACCOUNTING", "Admin"}, {"PC-7", "maria"}},
                 "in use by PC-ACCOUNTING (Admin), PC-7 (maria)"},
        ReadCase{"Five",
                 entries(5),
                 {{"PC-1", "user1"},
                  {"PC-2", "user2"},
                  {"PC-3", "user3"},
                  {"PC-4", "user4"},
                  {"PC-5", "user5"}},
                 "in use by PC-1 (user1), PC-2 (user2), PC-3 (user3), PC-4 (user4), PC-5 (user5)"},
        ReadCase{"SixNameFiveThenCountTheRest",
                 entries(6),
                 {{"PC-1", "user1"},
                  {"PC-2", "user2"},
                  {"PC-3", "user3"},
                  {"PC-4", "user4"},
                  {"PC-5", "user5"},
                  {"PC-6", "user6"}},
                 "in use by PC-1 (user1), PC-2 (user2), PC-3 (user3), PC-4 (user4), PC-5 (user5)"
                 " and 1 more"},
        ReadCase{"ALastEntryCutInTheAccountName",
                 joined(lockFileEntry("PC-1", "user1"), Bytes{'P', 'C', '-', '2', 0, 0}),
                 {{"PC-1", "user1"}, {"PC-2", ""}},
                 "in use by PC-1 (user1), PC-2"},
        ReadCase{"ALastEntryCutAfterItsComputerName",
                 joined(lockFileEntry("PC-1", "user1"), cutTo(lockFileEntry("PC-2", "maria"), 36)),
                 {{"PC-1", "user1"}, {"PC-2", "mari"}},
                 "in use by PC-1 (user1), PC-2 (mari)"},
        ReadCase{"AnEntryOfNulsNamesNobody",
                 joined(Bytes(64, 0), lockFileEntry("PC-7", "maria")),
                 {{"PC-7", "maria"}},
                 "in use by PC-7 (maria)"},
        ReadCase{"NamesThatFillTheirFields",
                 lockFileEntry(kFullName, kFullName),
                 {{kFullName, kFullName}},
                 "in use by " + kFullName + " (" + kFullName + ")"},
        ReadCase{"BytesOutsideAsciiReadAsWindows1252",
                 lockFileEntry("B\xDcRO-\xC9T\xC9", "Jos\xE9 \x80"),
                 {{"B\xC3\x9CRO-\xC3\x89T\xC3\x89", "Jos\xC3\xA9 \xE2\x82\xAC"}},
                 "in use by B\xC3\x9CRO-\xC3\x89T\xC3\x89 (Jos\xC3\xA9 \xE2\x82\xAC)"},
        ReadCase{"AnAccountWithoutAComputer",
                 lockFileEntry("", "maria"),
                 {{"", "maria"}},
                 "in use by (maria)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv
