// The names of the copies kept of a database, and which of them go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/backup_copies.h"
#include "support/written_launches.h"

namespace kiv {
namespace {

using Names = std::vector<std::string>;

TEST(BackupCopyName, IsTheDatabasesNameAndTheDueMinute) {
  const LocalTime due = testing::time("2027-03-28 02:00:59");
  EXPECT_EQ(backupCopyName("Orders.mdb", due, 1), "Orders 2027-03-28 0200.mdb");
  EXPECT_EQ(backupCopyName("Orders.mdb", due, 2), "Orders 2027-03-28 0200 (2).mdb");
  EXPECT_EQ(backupCopyName("Sales 2026.v2.accdb", due, 1), "Sales 2026.v2 2027-03-28 0200.accdb");
  EXPECT_EQ(backupCopyName("Orders", due, 1), "Orders 2027-03-28 0200");
  EXPECT_EQ(backupCopyName("Caf\xC3\xA9.mdb", due, 12), "Caf\xC3\xA9 2027-03-28 0200 (12).mdb");
}

TEST(BackupCopies, AreThoseOfTheDatabaseNewestFirst) {
  const Names names{
      "Orders 2027-03-27 0200.mdb",
      "Orders 2027-03-28 0200.mdb",
      "Orders 2027-03-28 0200 (2).mdb",
      "Orders 2027-03-28 0200 (10).mdb",
      "Orders 2026-12-31 2359.mdb",
      // Not copies of Orders.mdb:
      "Orders.mdb",
      "Orders 2027-03-28 0200.accdb",
      "Orders Old 2027-03-28 0200.mdb",
      "Orders 2027-03-28 02000.mdb",
      "Orders 2027-3-28 0200.mdb",
      "Orders 2027-03-28 0200 (0).mdb",
      "Orders 2027-03-28 0200 (x).mdb",
      "Orders 2027-03-28 0200(2).mdb",
      "Sales 2027-03-28 0200.mdb",
      "notes.txt",
  };
  EXPECT_EQ(backupCopiesOf(names, "Orders.mdb"),
            (Names{"Orders 2027-03-28 0200 (10).mdb", "Orders 2027-03-28 0200 (2).mdb",
                   "Orders 2027-03-28 0200.mdb", "Orders 2027-03-27 0200.mdb",
                   "Orders 2026-12-31 2359.mdb"}));
}

TEST(BackupCopies, BeyondTheNumberKeptAreTheOldest) {
  const Names names{"Orders 2027-03-26 0200.mdb", "Orders 2027-03-28 0200.mdb", "readme.txt",
                    "Orders 2027-03-27 0200.mdb"};
  EXPECT_EQ(copiesBeyond(names, "Orders.mdb", 2), (Names{"Orders 2027-03-26 0200.mdb"}));
  EXPECT_EQ(copiesBeyond(names, "Orders.mdb", 0),
            (Names{"Orders 2027-03-28 0200.mdb", "Orders 2027-03-27 0200.mdb",
                   "Orders 2027-03-26 0200.mdb"}));
  EXPECT_EQ(copiesBeyond(names, "Orders.mdb", 3), Names{});
  EXPECT_EQ(copiesBeyond(names, "Orders.mdb", 99), Names{});
}

}  // namespace
}  // namespace kiv
