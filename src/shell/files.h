#pragma once

#include <cstdint>
#include <string>

#include "schedule_file/file_storage.h"
#include "shell/database_files.h"

namespace kiv {

class CodePage;

enum class FileDialogKind { Open, Save };

// The inputs and outputs of one open or save dialog, as the dialog record of
// the common dialogs carries them. `filter` holds description and pattern
// pairs separated by NUL characters and ends with two NULs.
struct FileDialogRecord {
  FileDialogKind kind = FileDialogKind::Open;
  std::string filter;
  std::uint32_t filterIndex = 1;  // 1-based entry preselected; the entry in use afterwards
  std::string file;               // initial name; the chosen path afterwards
  std::string fileTitle;          // the chosen name without its folder afterwards
  std::string initialDir;
  std::string title;
  std::string defaultExt;
  std::uint32_t flags = 0;  // OFN_* bits in; as the dialog returned them out
  bool ownedByMainWindow = false;
};

// What the dialog function returned: 1 when a file was chosen, 0 when the user
// cancelled, anything else with an extended error code when it failed.
struct FileDialogOutcome {
  std::int32_t apiReturn = 0;
  std::int32_t extendedError = 0;
};

// Files: the dialogs that pick them and how they are read and written.
class Files {
 public:
  virtual ~Files() = default;
  // Modal, as questions are.
  virtual FileDialogOutcome fileDialog(FileDialogRecord& record) = 0;
  virtual std::string currentFolder() = 0;
  // The code page of the schedule file's texts: the system's ANSI code page,
  // Windows-1252 unless a front-end knows better.
  virtual const CodePage& ansiCodePage() const;
  // How schedule files are read and saved on this system.
  virtual FileStorage& fileStorage() = 0;
  // How databases are checked and copied around a compact, repair or
  // decompile on this system.
  virtual DatabaseFiles& databaseFiles() = 0;
  // Whether programs are files without an extension, as on POSIX systems,
  // rather than ".exe" files the program dialog's own filters pick; false
  // unless a front-end knows better.
  virtual bool programsHaveNoExtension() const { return false; }
};

}  // namespace kiv
