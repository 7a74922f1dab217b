#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"

namespace kiv {

// What the file system says of a database's lock file, which the database
// program keeps beside the database while anybody has it open.
struct LockFileState {
  enum class Holder {
    Nobody,   // no lock file, or one left behind that nobody holds
    Someone,  // a program holds it: the database is open
    Unknown,  // the system cannot tell: it counts as held
  };
  Holder holder = Holder::Nobody;
  bool exists = false;
  // Its first bytes, which name who opened the database; read only when it
  // is held or may be.
  std::vector<std::uint8_t> bytes;
};

// A regular file as found.
struct FileFacts {
  std::uint64_t size = 0;
  // Whether this user may write it and replace it under its name.
  bool replaceable = false;
};

// The free space of the volume a folder is on, and which volume that is.
struct VolumeSpace {
  std::uint64_t volume = 0;
  std::uint64_t freeBytes = 0;
};

// The file checks and copies that guard a compact, repair or decompile.
// Paths are UTF-8 texts in the system's own form; every failure is a text
// for the user that names what failed and why, as the system says it.
class DatabaseFiles {
 public:
  virtual ~DatabaseFiles() = default;

  virtual LockFileState lockFile(const std::string& path) = 0;
  // The regular file at `path` (a link is followed); missing, a folder or
  // anything but a regular file fails.
  virtual Result<FileFacts, std::string> examineFile(const std::string& path) = 0;
  virtual Result<VolumeSpace, std::string> volumeSpace(const std::string& folder) = 0;
  // The folder, made owner-only if it is not there yet.
  virtual Result<void, std::string> makeFolder(const std::string& folder) = 0;
  // The names in a folder; a missing folder has none.
  virtual Result<std::vector<std::string>, std::string> folderNames(const std::string& folder) = 0;
  // Copies `from` to `to` whole or not at all: the bytes go to a file
  // nobody else may open, which gets the name `to` (replacing what has it)
  // only once both files are read back and agree in length and checksum.
  // The copy keeps the permissions of the file it replaces, or else those
  // of `from`.
  virtual Result<void, std::string> copyFile(const std::string& from, const std::string& to) = 0;
  virtual Result<void, std::string> removeFile(const std::string& path) = 0;
};

}  // namespace kiv
