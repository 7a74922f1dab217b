#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "posix/file_lock.h"
#include "posix/launch_journal_file.h"
#include "posix/user_folders.h"
#include "support/failure_of.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

namespace kiv::posix {
namespace {

namespace fs = std::filesystem;
using testing::failureOf;
using testing::otherUser;
using testing::TempFolder;

mode_t modeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

void giveAway(const fs::path& path, uid_t user) {
  ASSERT_EQ(::lchown(path.c_str(), user, static_cast<gid_t>(-1)), 0) << path;
}

// A place Kiv is pointed at, as someone may have arranged it before.
struct FolderCase {
  const char* name;
  bool needsOtherUser;
  std::function<void(const fs::path& place, const fs::path& elsewhere)> arrange;
  // The message refusing the place; empty when the place is taken.
  std::function<std::string(const fs::path& place)> refusal;
};

std::function<std::string(const fs::path&)> endingWith(std::string ending) {
  return [ending](const fs::path& place) { return place.string() + ending; };
}

const std::vector<FolderCase>& folderCases() {
  static const std::vector<FolderCase> cases = {
      {"MadeWithItsParents", false, [](const fs::path&, const fs::path&) {}, {}},
      {"AFolderOfTheUsersOwn",
       false,
       [](const fs::path& place, const fs::path&) {
         fs::create_directories(place);
         fs::permissions(place, fs::perms(0755));
       },
       {}},
      {"ALinkToAFolderOfTheUsersOwn", false,
       [](const fs::path& place, const fs::path& elsewhere) {
         fs::create_directories(place.parent_path());
         fs::create_directory_symlink(elsewhere, place);
       },
       endingWith(": a link, not a folder of this user's own")},
      {"AFolderTheGroupMayWriteInto", false,
       [](const fs::path& place, const fs::path&) {
         fs::create_directories(place);
         fs::permissions(place, fs::perms(0770));
       },
       endingWith(": other users may write into it")},
      {"AFolderAnyoneMayWriteIntoAsTemporaryFoldersAre", false,
       [](const fs::path& place, const fs::path&) {
         fs::create_directories(place);
         fs::permissions(place, fs::perms(01777));
       },
       endingWith(": other users may write into it")},
      {"AFileInItsPlace", false,
       [](const fs::path& place, const fs::path&) {
         fs::create_directories(place.parent_path());
         testing::writeAll(place, {'x'});
       },
       [](const fs::path& place) { return "Not a directory: " + place.string(); }},
      {"AFolderOfAnotherUser", true,
       [](const fs::path& place, const fs::path&) {
         fs::create_directories(place);
         fs::permissions(place, fs::perms(0700));
         giveAway(place, *otherUser());
       },
       endingWith(": belongs to another user (user id " + std::to_string(otherUser().value_or(0)) +
                  ")")},
  };
  return cases;
}

// Only a real folder of the user's, which no one else may write into, is
// taken; every other place is refused with a message naming it.
TEST(PrivateFolder, OnlyARealFolderOfTheUsersOwnIsTaken) {
  for (const FolderCase& c : folderCases()) {
    if (c.needsOtherUser && !otherUser()) {
      std::printf("skipped %s: giving a folder away needs root\n", c.name);
      continue;
    }
    TempFolder folder;
    const fs::path place = folder.path() / "state" / "kiv";
    const fs::path elsewhere = folder.path() / "elsewhere";
    fs::create_directory(elsewhere);
    c.arrange(place, elsewhere);

    const auto opened = openPrivateFolder(place);
    if (!c.refusal) {
      ASSERT_TRUE(opened) << c.name << ": " << opened.error();
      EXPECT_TRUE(opened.value().fd) << c.name;
      EXPECT_EQ(opened.value().path, place) << c.name;
      EXPECT_EQ(modeOf(place) & 022, 0U) << c.name;
      continue;
    }
    ASSERT_FALSE(opened) << c.name;
    EXPECT_EQ(opened.error(), c.refusal(place)) << c.name;
  }
}

TEST(PrivateFolder, AFolderNotThereIsMadeReadableByItsOwnerOnlyOrLeftAlone) {
  TempFolder folder;
  const fs::path place = folder.path() / "state" / "kiv";
  const auto absent = openPrivateFolder(place, MissingFolder::Absent);
  ASSERT_TRUE(absent) << absent.error();
  EXPECT_FALSE(absent.value().fd);
  EXPECT_FALSE(fs::exists(folder.path() / "state"));

  const auto made = openPrivateFolder(place);
  ASSERT_TRUE(made) << made.error();
  EXPECT_EQ(modeOf(place), 0700U);
}

// The journal is kept only in a state folder of the user's own: a link
// planted there leads it into a folder someone else can read and write.
TEST(PrivateFolder, TheJournalRefusesALinkPlantedAtTheStateFolder) {
  TempFolder folder;
  const fs::path theirs = folder.path() / "theirs";
  fs::create_directory(theirs);
  testing::writeAll(theirs / "launches.jsonl", {'{', '}', '\n'});
  fs::create_directory_symlink(theirs, folder.path() / "kiv");
  const LaunchJournalFile journal(folder.path() / "kiv" / "launches.jsonl");

  const std::string refusal =
      (folder.path() / "kiv").string() + ": a link, not a folder of this user's own";
  EXPECT_EQ(failureOf(journal.append(R"({"record":"launch"})")), refusal);
  const auto read = journal.read();
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().reason, refusal);
  EXPECT_EQ(testing::readAll(theirs / "launches.jsonl"),
            (std::vector<std::uint8_t>{'{', '}', '\n'}));
}

// A journal or lock file another user made in the folder (before it was the
// user's, say) is refused: its owner could read the journal, plant lines in
// it, hold the lock or name a holder of their choosing.
TEST(PrivateFolder, AJournalOrLockFileOfAnotherUserIsRefused) {
  const std::optional<uid_t> other = otherUser();
  if (!other) GTEST_SKIP() << "giving a file away needs root";
  TempFolder folder;
  const fs::path journalFile = folder.path() / "launches.jsonl";
  const fs::path lockFile = folder.path() / "kiv.lock";
  const std::vector<std::uint8_t> planted = {'1', ' ', 's', 'y', 's', 't', 'e', 'm', 'd', '\n'};
  for (const fs::path& file : {journalFile, lockFile}) {
    testing::writeAll(file, planted);
    fs::permissions(file, fs::perms(0666));
    giveAway(file, *other);
  }
  const std::string theirs = ": belongs to another user (user id " + std::to_string(*other) + ")";

  const LaunchJournalFile journal(journalFile);
  EXPECT_EQ(failureOf(journal.append("{}")), journalFile.string() + theirs);
  const auto read = journal.read();
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().reason, journalFile.string() + theirs);
  EXPECT_EQ(testing::readAll(journalFile), planted);

  const FileLock lock(lockFile, "kiv");
  EXPECT_EQ(lock.state(), FileLock::State::Failed);
  EXPECT_EQ(lock.detail(), lockFile.string() + theirs);
  EXPECT_EQ(testing::readAll(lockFile), planted);
}

// The runtime folder is often a shared one; a refused runtime place falls
// back to the state folder, and the user is told once.
TEST(PrivateFolder, ARefusedRuntimeFolderFallsBackToTheStateFolder) {
  TempFolder folder;
  const fs::path shared = folder.path() / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms(01777));
  fs::create_directory(folder.path() / "theirs");
  fs::create_directory_symlink(folder.path() / "theirs", shared / "kiv");
  const std::string savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedState = std::getenv("XDG_STATE_HOME");
  ::setenv("XDG_RUNTIME_DIR", shared.c_str(), 1);
  ::setenv("XDG_STATE_HOME", (folder.path() / "state").c_str(), 1);

  std::vector<std::string> told;
  const auto opened = openRuntimeFolder([&told](const std::string& why) { told.push_back(why); });
  ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);

  ASSERT_TRUE(opened) << opened.error();
  EXPECT_EQ(opened.value().path, folder.path() / "state" / "kiv");
  EXPECT_EQ(told,
            (std::vector<std::string>{(shared / "kiv").string() +
                                      ": a link, not a folder of this user's own; using " +
                                      (folder.path() / "state" / "kiv").string() + " instead"}));
  EXPECT_TRUE(fs::is_empty(folder.path() / "theirs"));
}

}  // namespace
}  // namespace kiv::posix
