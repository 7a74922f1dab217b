#include "engine/maintenance_guard.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "base/text_characters.h"
#include "base/utf8_path.h"
#include "engine/backup_copies.h"
#include "engine/lock_file_users.h"

namespace kiv {
namespace {

// The extensions of the newer database format, whose lock file is .laccdb.
constexpr std::array<std::string_view, 4> kNewFormatExtensions{".accdb", ".accde", ".accdr",
                                                               ".accdt"};
// A database that a failed run left under a tenth of its copy's size has
// lost what the copy still holds.
constexpr std::uint64_t kDamagedFraction = 10;

std::string nameOf(const std::string& path) {
  return utf8FromPath(pathFromUtf8(path).filename());
}

std::string extensionOf(const std::string& path) {
  return asciiLowerCase(utf8FromPath(pathFromUtf8(path).extension()));
}

std::string pathIn(const std::string& folder, const std::string& name) {
  return utf8FromPath(pathFromUtf8(folder) / pathFromUtf8(name));
}

// A relative backup folder lies in the database's folder, as the default
// does: "Backups" means the one beside the database, wherever Kiv runs.
std::string backupFolderOf(const Task& task) {
  const std::string& chosen = task.Options.backupFolder;
  if (!chosen.empty() && pathFromUtf8(chosen).is_absolute()) return chosen;
  return pathIn(folderOfPath(task.DatabaseLocation), chosen.empty() ? "Kiv backups" : chosen);
}

std::string notEnoughSpace(const std::string& where, std::uint64_t needed,
                           std::uint64_t available) {
  return "not enough free space " + where + ": " + byteSizeText(needed) + " needed, " +
         byteSizeText(available) + " free";
}

// Whether the backup folder is made when missing: not when only looking.
enum class BackupFolder { Make, LookOnly };

// The free space the program's own second copy of the database needs, and
// the kept copy too where that goes to the same volume. A backup folder not
// made yet is looked at through the folder it would be made in.
Result<void, std::string> checkSpace(DatabaseFiles& files, const Task& task, std::uint64_t size,
                                     BackupFolder backupFolder) {
  const std::string folder = folderOfPath(task.DatabaseLocation);
  const auto beside = files.volumeSpace(folder);
  if (!beside) return "cannot learn the free space of " + folder + ": " + beside.error();
  std::uint64_t needed = size;
  if (task.Options.backups > 0) {
    std::string backups = backupFolderOf(task);
    if (backupFolder == BackupFolder::Make) {
      if (auto made = files.makeFolder(backups); !made) {
        return "cannot make the backup folder " + backups + ": " + made.error();
      }
    }
    auto copies = files.volumeSpace(backups);
    if (!copies && backupFolder == BackupFolder::LookOnly) {
      backups = folderOfPath(backups);
      copies = files.volumeSpace(backups);
    }
    if (!copies) return "cannot learn the free space of " + backups + ": " + copies.error();
    if (copies.value().volume == beside.value().volume) {
      needed += size;
    } else if (copies.value().freeBytes < size) {
      return notEnoughSpace("for the copy in " + backups, size, copies.value().freeBytes);
    }
  }
  if (beside.value().freeBytes < needed) {
    return notEnoughSpace("beside the database", needed, beside.value().freeBytes);
  }
  return {};
}

struct KeptCopy {
  std::string path;
};

// The copy kept before the run, under a name no other copy has; then the
// copies beyond the number kept go, oldest first. One that cannot be removed
// now is removed by a later run. The new copy stays whatever its name says:
// after the clock was set back it may sort before older ones, and the check
// after the run needs it.
Result<KeptCopy, std::string> keepCopy(DatabaseFiles& files, const Task& task, LocalTime due) {
  const std::string folder = backupFolderOf(task);
  auto listed = files.folderNames(folder);
  if (!listed) return "cannot read the backup folder " + folder + ": " + listed.error();
  std::vector<std::string> names = std::move(listed).value();
  const std::string database = nameOf(task.DatabaseLocation);
  std::string name;
  for (int attempt = 1; name.empty() || std::ranges::find(names, name) != names.end(); ++attempt) {
    name = backupCopyName(database, due, attempt);
  }
  const std::string copy = pathIn(folder, name);
  if (auto copied = files.copyFile(task.DatabaseLocation, copy); !copied) {
    return "the copy of the database to " + copy + " failed: " + copied.error();
  }
  names.push_back(name);
  const auto keep = static_cast<std::size_t>(task.Options.backups);
  for (const std::string& old : copiesBeyond(names, database, keep)) {
    if (old != name) static_cast<void>(files.removeFile(pathIn(folder, old)));
  }
  return KeptCopy{copy};
}

// What the run did to the database that its copy must undo; empty when
// nothing.
std::string damageOf(const Result<FileFacts, std::string>& facts, const MaintenanceRun& run,
                     const ProgramOutcome& outcome) {
  if (!facts) return "missing (" + facts.error() + ")";
  const std::uint64_t size = facts.value().size;
  if (size == 0) return "empty";
  if (outcome.failed() && !run.copy.empty() && size < run.size / kDamagedFraction) {
    return "cut to " + byteSizeText(size) + " of " + byteSizeText(run.size);
  }
  return {};
}

void putBack(DatabaseFiles& files, const MaintenanceRun& run, const std::string& damage,
             MaintenanceCheck& check) {
  const std::string database = "the database " + run.database;
  if (run.copy.empty()) {
    check.found = "database " + damage + "; no copy to put back";
    check.problem =
        database + " is " + damage + " after the run and needs attention: no copy of it was kept";
    return;
  }
  const std::string copyName = nameOf(run.copy);
  if (auto restored = files.copyFile(run.copy, run.database); !restored) {
    check.found =
        "database " + damage + "; putting back " + copyName + " failed: " + restored.error();
    check.problem = database + " is " + damage +
                    " after the run and needs attention: putting back its copy " + run.copy +
                    " failed: " + restored.error();
    return;
  }
  check.found = "database " + damage + "; put back from " + copyName;
  check.restoredFrom = copyName;
  check.problem =
      database + " was " + damage + " after the run and was put back from its copy " + run.copy;
}

// The lock file and the new database files the run left beside the database.
std::vector<std::string> leftBeside(DatabaseFiles& files, const MaintenanceRun& run) {
  std::vector<std::string> left;
  const std::string lockFile = lockFileOf(run.database);
  const LockFileState lock = files.lockFile(lockFile);
  if (lock.exists && lock.holder != LockFileState::Holder::Someone)
    left.push_back(nameOf(lockFile));
  const auto names = files.folderNames(folderOfPath(run.database));
  if (!names) return left;
  const std::string database = nameOf(run.database);
  const std::string extension = extensionOf(run.database);
  for (const std::string& name : names.value()) {
    if (name != database && extensionOf(name) == extension &&
        std::ranges::find(run.namesBeside, name) == run.namesBeside.end()) {
      left.push_back(name);
    }
  }
  return left;
}

// The size of a database that a compact, repair or decompile may rewrite.
Result<std::uint64_t, std::string> maintainableSize(DatabaseFiles& files, const Task& task,
                                                    BackupFolder backupFolder) {
  const std::string& database = task.DatabaseLocation;
  const auto facts = files.examineFile(database);
  if (!facts) return "cannot use the database " + database + ": " + facts.error();
  if (!facts.value().replaceable) return "this user may not replace the database " + database;
  const std::uint64_t size = facts.value().size;
  if (auto space = checkSpace(files, task, size, backupFolder); !space) return space.error();
  return size;
}

}  // namespace

bool isMaintenance(const Task& task) {
  return task.Action == kCompact || task.Action == kRepair || task.Action == kDecompile;
}

std::string lockFileOf(const std::string& database) {
  const bool newFormat =
      std::ranges::find(kNewFormatExtensions, extensionOf(database)) != kNewFormatExtensions.end();
  std::filesystem::path lockFile = pathFromUtf8(database);
  lockFile.replace_extension(newFormat ? ".laccdb" : ".ldb");
  return utf8FromPath(lockFile);
}

std::optional<std::string> databaseInUse(DatabaseFiles& files, const std::string& database) {
  const LockFileState lock = files.lockFile(lockFileOf(database));
  if (lock.holder == LockFileState::Holder::Nobody) return std::nullopt;
  return inUseText(lockFileUsers(lock.bytes));
}

Result<MaintenanceRun, std::string> prepareMaintenance(DatabaseFiles& files, const Task& task,
                                                       LocalTime due) {
  const auto size = maintainableSize(files, task, BackupFolder::Make);
  if (!size) return size.error();
  const std::string& database = task.DatabaseLocation;
  MaintenanceRun run{database, size.value(), {}, {}};
  if (task.Options.backups > 0) {
    auto copy = keepCopy(files, task, due);
    if (!copy) return copy.error();
    run.copy = std::move(copy).value().path;
  }
  if (auto names = files.folderNames(folderOfPath(database)))
    run.namesBeside = std::move(names).value();
  return run;
}

std::optional<std::string> maintenanceWarning(DatabaseFiles& files, const Task& task) {
  const auto size = maintainableSize(files, task, BackupFolder::LookOnly);
  if (size) return std::nullopt;
  return size.error();
}

std::optional<std::string> newestCopyOf(DatabaseFiles& files, const Task& task) {
  const std::string folder = backupFolderOf(task);
  const auto names = files.folderNames(folder);
  if (!names) return std::nullopt;
  const std::vector<std::string> copies =
      backupCopiesOf(names.value(), nameOf(task.DatabaseLocation));
  if (copies.empty()) return std::nullopt;
  return pathIn(folder, copies.front());
}

MaintenanceCheck checkAfterMaintenance(DatabaseFiles& files, const MaintenanceRun& run,
                                       const ProgramOutcome& outcome) {
  MaintenanceCheck check;
  const auto facts = files.examineFile(run.database);
  if (const std::string damage = damageOf(facts, run, outcome); !damage.empty()) {
    putBack(files, run, damage, check);
  } else {
    check.found = "database intact (" + byteSizeText(facts.value().size) + ")";
  }
  const std::vector<std::string> left = leftBeside(files, run);
  for (std::size_t index = 0; index < left.size(); ++index) {
    check.found += (index == 0 ? "; left beside it: " : ", ") + left[index];
  }
  return check;
}

std::string byteSizeText(std::uint64_t bytes) {
  constexpr std::array<std::string_view, 4> kUnits{"KB", "MB", "GB", "TB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  std::uint64_t scale = 1024;
  std::size_t unit = 0;
  while (unit + 1 < kUnits.size() && bytes / scale >= 1024) {
    scale *= 1024;
    ++unit;
  }
  const std::uint64_t tenths = bytes / scale * 10 + bytes % scale * 10 / scale;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " +
         std::string(kUnits[unit]);
}

}  // namespace kiv
