#pragma once

#include "shell/database_files.h"

namespace kiv {

// The database checks and copies of the Windows programs. A lock file is
// held while the database program has it open: opening it for exclusive use
// then fails with a sharing violation; one that opens so is left behind.
class Win32DatabaseFiles final : public DatabaseFiles {
 public:
  LockFileState lockFile(const std::string& path) override;
  Result<FileFacts, std::string> examineFile(const std::string& path) override;
  Result<VolumeSpace, std::string> volumeSpace(const std::string& folder) override;
  Result<void, std::string> makeFolder(const std::string& folder) override;
  Result<std::vector<std::string>, std::string> folderNames(const std::string& folder) override;
  Result<void, std::string> copyFile(const std::string& from, const std::string& to) override;
  Result<void, std::string> removeFile(const std::string& path) override;
};

}  // namespace kiv
