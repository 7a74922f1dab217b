#pragma once

#include "shell/database_files.h"

namespace kiv::posix {

// The database checks and copies of the POSIX programs, the Qt program and
// kivctl. Whether a lock file is held is asked of the system's record
// locks, which a file server maps its clients' locks onto; where it cannot
// answer, the lock file counts as held.
class PosixDatabaseFiles final : public DatabaseFiles {
 public:
  LockFileState lockFile(const std::string& path) override;
  Result<FileFacts, std::string> examineFile(const std::string& path) override;
  Result<VolumeSpace, std::string> volumeSpace(const std::string& folder) override;
  Result<void, std::string> makeFolder(const std::string& folder) override;
  Result<std::vector<std::string>, std::string> folderNames(const std::string& folder) override;
  Result<void, std::string> copyFile(const std::string& from, const std::string& to) override;
  Result<void, std::string> removeFile(const std::string& path) override;
};

}  // namespace kiv::posix
