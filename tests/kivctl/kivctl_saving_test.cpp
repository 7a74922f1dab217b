// Saving with the real kivctl: what another local user, a kill, a power cut
// or an odd target does to a schedule while `convert` writes it.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <ostream>
#include <random>
#include <thread>

#include "kivctl_process.h"
#include "posix/unique_fd.h"
#include "schedule_files.h"
#include "support/temp_folder.h"

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// kivctl inherits the test's file mode creation mask.
class MaskScope {
 public:
  explicit MaskScope(mode_t mask) : previous_(::umask(mask)) {}
  ~MaskScope() { ::umask(previous_); }
  MaskScope(const MaskScope&) = delete;
  MaskScope& operator=(const MaskScope&) = delete;

 private:
  mode_t previous_;
};

std::vector<std::string> sortedNames(const TempFolder& folder) {
  std::vector<std::string> names = folder.names();
  std::ranges::sort(names);
  return names;
}

mode_t modeOf(const fs::path& file) {
  struct stat status {};
  EXPECT_EQ(::stat(file.c_str(), &status), 0) << file;
  return status.st_mode & 07777;
}

Finished convert(const fs::path& in, const fs::path& out,
                 const std::vector<std::string>& environment = {}) {
  const TempFolder logs;
  KivctlProcess process({"convert", in.string(), out.string()}, logs.path(), environment);
  const Ending ending = process.wait();
  return {ending, process.out(), process.err()};
}

// Watches a folder from another thread and notes every file created or moved
// in, with the permissions it has when the watcher looks: a file that group
// or others may open at that moment is one another local user could have
// opened and kept open.
class FolderWatcher {
 public:
  explicit FolderWatcher(const fs::path& folder)
      : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
        folder_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    EXPECT_GE(::inotify_add_watch(inotify_.get(), folder.c_str(), IN_CREATE | IN_MOVED_TO), 0);
    thread_ = std::thread([this] { watch(); });
  }
  ~FolderWatcher() { stop(); }
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  void stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    thread_.join();
  }

  // Each name that appeared, with " open to others" when it was.
  std::vector<std::string> appeared;
  int openToOthers = 0;

 private:
  void watch() {
    alignas(inotify_event) char buffer[4096];
    while (!stopping_) {
      pollfd ready{inotify_.get(), POLLIN, 0};
      if (::poll(&ready, 1, 10) <= 0) continue;
      const ssize_t length = ::read(inotify_.get(), buffer, sizeof buffer);
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0) look(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  void look(const char* name) {
    struct stat status {};
    const bool open = ::fstatat(folder_.get(), name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISREG(status.st_mode) && (status.st_mode & 077) != 0;
    openToOthers += open ? 1 : 0;
    appeared.push_back(std::string(name) + (open ? " open to others" : ""));
  }

  posix::UniqueFd inotify_;
  posix::UniqueFd folder_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

class KivctlSaving : public ::testing::Test {
 protected:
  KivctlSaving() { writeSchedule(in, variedTasks()); }

  // The bytes every save here writes.
  std::vector<std::uint8_t> expectedBytes() {
    const fs::path reference = references.path() / "reference.kiv";
    if (!fs::exists(reference)) {
      EXPECT_EQ(convert(in, reference).ending.status, 0);
    }
    return readAll(reference);
  }

  TempFolder folder;
  TempFolder references;
  fs::path in = folder.path() / "in.kiv";
  fs::path out = folder.path() / "out.kiv";
};

// With the usual mask a file is created readable by all; the schedule's
// bytes must never sit in such a file, not even until a later chmod.
TEST_F(KivctlSaving, NoOtherUserCanOpenTheNewBytesWhileTheyAreWritten) {
  const MaskScope mask(022);
  FolderWatcher watcher(folder.path());
  constexpr int kSaves = 200;
  for (int save = 0; save < kSaves && watcher.openToOthers == 0; ++save) {
    const Finished finished = convert(in, out);
    ASSERT_EQ(finished.ending.status, 0) << finished.err;
    fs::remove(out);
  }
  watcher.stop();
  EXPECT_EQ(watcher.openToOthers, 0) << ::testing::PrintToString(watcher.appeared);
}

// A save killed at any moment leaves at most files that the next complete
// save of the same target removes.
TEST_F(KivctlSaving, KilledSavesLeaveNothingBehindOnceASaveCompletes) {
  const auto started = Clock::now();
  ASSERT_EQ(convert(in, out).ending.status, 0);
  const auto wholeSave =
      std::chrono::duration_cast<std::chrono::microseconds>((Clock::now() - started) * 3 / 2);
  std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::int64_t> moment(0, wholeSave.count());
  const TempFolder logs;

  constexpr int kKills = 120;
  for (int kill = 0; kill < kKills; ++kill) {
    KivctlProcess save({"convert", in.string(), out.string()}, logs.path());
    std::this_thread::sleep_for(std::chrono::microseconds{moment(random)});
    save.signal(SIGKILL);
    save.wait();
  }
  const Finished last = convert(in, out);

  ASSERT_EQ(last.ending.status, 0) << last.err;
  EXPECT_EQ(sortedNames(folder), (std::vector<std::string>{"in.kiv", "out.kiv"}));
  EXPECT_EQ(readAll(out), expectedBytes());
}

// After the rename the folder itself is forced to the disk: until then a
// power cut may bring the old file back although the save reported success.
TEST_F(KivctlSaving, ForcesTheFolderToTheDiskAfterTheRename) {
  const fs::path trace = references.path() / "trace.txt";
  // Under AddressSanitizer the tracing library comes before the sanitizer's
  // runtime in the library list, which the runtime refuses unless told not
  // to check; elsewhere the setting means nothing.
  const Finished finished =
      convert(in, out,
              {"LD_PRELOAD=" KIV_SYNC_TRACE_LIBRARY, "KIV_SYNC_TRACE=" + trace.string(),
               "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"});
  ASSERT_EQ(finished.ending.status, 0) << finished.err;

  const std::string steps = fileText(trace);
  const std::size_t renamed = steps.rfind("rename " + out.string() + "\n");
  ASSERT_NE(renamed, std::string::npos) << steps;
  EXPECT_NE(steps.find("sync folder " + folder.path().string() + "\n", renamed), std::string::npos)
      << steps;
  EXPECT_NE(steps.rfind("sync file ", renamed), std::string::npos) << steps;
}

struct ModeCase {
  const char* name;
  std::optional<mode_t> existing;  // the target's mode before the save; none: no target
  mode_t mask;
  mode_t saved;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << c.name;
}

class SavedMode : public KivctlSaving, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SavedMode, KeepsAnExistingFilesModeAndMakesNewFilesOwnerOnly) {
  const ModeCase& c = GetParam();
  if (c.existing) {
    writeAll(out, {1, 2, 3});
    ASSERT_EQ(::chmod(out.c_str(), *c.existing), 0);
  }
  const MaskScope mask(c.mask);
  const Finished finished = convert(in, out);
  ASSERT_EQ(finished.ending.status, 0) << finished.err;
  EXPECT_EQ(modeOf(out), c.saved);
  EXPECT_EQ(readAll(out), expectedBytes());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SavedMode,
    ::testing::Values(ModeCase{"NewUnderTheUsualMask", std::nullopt, 022, 0600},
                      ModeCase{"NewUnderAnEmptyMask", std::nullopt, 0, 0600},
                      ModeCase{"NewUnderAMaskThatTakesTheOwnersWrite", std::nullopt, 0277, 0600},
                      ModeCase{"SharedWithTheGroup", 0640, 022, 0640},
                      ModeCase{"ReadableByAll", 0644, 077, 0644},
                      ModeCase{"GroupMayWrite", 0660, 022, 0660},
                      ModeCase{"OwnerOnly", 0600, 0, 0600}),
    [](const auto& info) { return std::string(info.param.name); });

// A group other than the user's own that the user may give a file: any group
// for root, else one of the user's other groups.
std::optional<gid_t> anotherGroup() {
  if (::geteuid() == 0) return ::getegid() + 4242;
  std::vector<gid_t> groups(static_cast<std::size_t>(::getgroups(0, nullptr)));
  groups.resize(
      static_cast<std::size_t>(::getgroups(static_cast<int>(groups.size()), groups.data())));
  for (const gid_t group : groups) {
    if (group != ::getegid()) return group;
  }
  return std::nullopt;
}

TEST_F(KivctlSaving, KeepsTheGroupOfTheFileItReplaces) {
  const std::optional<gid_t> group = anotherGroup();
  if (!group) GTEST_SKIP() << "this user belongs to one group only";
  writeAll(out, {1, 2, 3});
  ASSERT_EQ(::chown(out.c_str(), static_cast<uid_t>(-1), *group), 0);
  ASSERT_EQ(::chmod(out.c_str(), 0640), 0);

  const Finished finished = convert(in, out);

  ASSERT_EQ(finished.ending.status, 0) << finished.err;
  struct stat status {};
  ASSERT_EQ(::stat(out.c_str(), &status), 0);
  EXPECT_EQ(status.st_gid, *group);
  EXPECT_EQ(status.st_mode & 07777, 0640U);
}

// What the target is when the save starts; each case prepares it in `folder`.
enum class Target { Folder, LinkToFile, DanglingLink, LinkToFolder, LinkLoop, Pipe };

struct TargetCase {
  const char* name;
  Target target;
  std::string error;  // the line on standard error after "kivctl: OUT: "; "" for success
};

void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveTarget : public KivctlSaving, public ::testing::WithParamInterface<TargetCase> {
 protected:
  void prepare(Target target) {
    switch (target) {
      case Target::Folder:
        fs::create_directory(out);
        break;
      case Target::LinkToFile:
        writeAll(linked, {1, 2, 3});
        fs::create_symlink("linked.kiv", out);
        break;
      case Target::DanglingLink:
        fs::create_symlink("linked.kiv", out);
        break;
      case Target::LinkToFolder:
        fs::create_directory(linked);
        fs::create_symlink(linked, out);
        break;
      case Target::LinkLoop:
        fs::create_symlink("out.kiv", out);
        break;
      case Target::Pipe:
        ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
        break;
    }
  }

  fs::path linked = folder.path() / "linked.kiv";
};

TEST_P(SaveTarget, IsCheckedBeforeAnythingIsWritten) {
  const TargetCase& c = GetParam();
  prepare(c.target);
  const auto before = sortedNames(folder);
  const fs::file_type outType = fs::symlink_status(out).type();
  // A file behind a link keeps its mode; one the save creates is owner-only.
  const mode_t linkedMode = fs::exists(linked) ? modeOf(linked) : 0600;

  FolderWatcher watcher(folder.path());
  const Finished finished = convert(in, out);
  watcher.stop();

  EXPECT_EQ(fs::symlink_status(out).type(), outType);
  if (c.error.empty()) {
    EXPECT_EQ(finished.ending.status, 0) << finished.err;
    EXPECT_EQ(finished.err, "");
    EXPECT_EQ(readAll(linked), expectedBytes());
    EXPECT_EQ(modeOf(linked), linkedMode);
  } else {
    EXPECT_EQ(finished.ending.status, 1);
    EXPECT_EQ(finished.err, "kivctl: " + out.string() + ": " + c.error + "\n");
    EXPECT_TRUE(watcher.appeared.empty()) << ::testing::PrintToString(watcher.appeared);
  }
  const std::vector<std::string> created = c.target == Target::DanglingLink
                                               ? std::vector<std::string>{"linked.kiv"}
                                               : std::vector<std::string>{};
  std::vector<std::string> expected = before;
  expected.insert(expected.end(), created.begin(), created.end());
  std::ranges::sort(expected);
  EXPECT_EQ(sortedNames(folder), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTarget,
    ::testing::Values(TargetCase{"Folder", Target::Folder, "Is a directory"},
                      TargetCase{"LinkToAFile", Target::LinkToFile, ""},
                      TargetCase{"DanglingLinkCreatesWhatItNames", Target::DanglingLink, ""},
                      TargetCase{"LinkToAFolder", Target::LinkToFolder, "Is a directory"},
                      TargetCase{"LinkLoop", Target::LinkLoop, "Too many levels of symbolic links"},
                      TargetCase{"Pipe", Target::Pipe, "The schedule file is not a regular file."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv::testing
