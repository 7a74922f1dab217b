#include <array>
#include <optional>

#include "app/main_form.h"
#include "shell/open_save.h"

namespace kiv {
namespace {

constexpr std::string_view kAccessFilter =
    "Access (msaccess.exe)|msaccess.exe|Program files (*.exe)|*.exe";
constexpr std::string_view kDatabaseFilter = "Database files (*.md?)|*.md?|All files (*.*)|*.*";
constexpr std::string_view kWorkgroupFilter =
    "Workgroup files (*.mdw)|*.mdw|INI files (*.ini)|*.ini";
constexpr std::string_view kScheduleFilter = "Schedule files (*.kiv)|*.kiv";
// Where programs have no extension, the program's dialog also offers every
// file, after its own entries.
constexpr std::string_view kEveryFileEntry = "|All files (*)|*";

enum class Target { LocationBox, OpenSchedule, SaveSchedule };

struct DialogMode {
  std::string_view title;
  std::string_view filter;
  bool iniFilterForOldestVersion;  // preselect the second entry for version "2"
  bool picksAProgram;
  Target target;
};

// ModeCode 0 to 2 are the three Browse buttons (location boxes TBox 4 to 6),
// 3 opens a schedule and 4 saves one.
constexpr std::array<DialogMode, 5> kModes{{
    {"Select", kAccessFilter, false, true, Target::LocationBox},
    {"Select", kDatabaseFilter, false, false, Target::LocationBox},
    {"Select", kWorkgroupFilter, true, false, Target::LocationBox},
    {"Open", kScheduleFilter, false, false, Target::OpenSchedule},
    {"Save As", kScheduleFilter, false, false, Target::SaveSchedule},
}};

constexpr int kFirstLocationBox = 4;

}  // namespace

void MainForm::fctnCommonDialog(int ModeCode) {
  if (ModeCode < 0 || ModeCode >= static_cast<int>(kModes.size())) return;
  const DialogMode& mode = kModes[ModeCode];

  const Task* shown = shownTask();
  const bool oldestVersion = shown != nullptr && shown->Version == 0;
  std::int32_t filterIndex = mode.iniFilterForOldestVersion && oldestVersion ? 2 : 1;
  const std::string initialDir = mode.target == Target::LocationBox
                                     ? TBox.at(ModeCode + kFirstLocationBox).text()
                                     : platform_.currentFolder();
  std::string filter(mode.filter);
  if (mode.picksAProgram && platform_.programsHaveNoExtension()) filter += kEveryFileEntry;
  std::string path;
  std::string title;
  std::int32_t flags = OFN_HIDEREADONLY;

  cOpenSave dialog(platform_);
  bool chosen = false;
  if (mode.target == Target::SaveSchedule) {
    chosen = dialog.VBGetSaveFileName(path, title, true, filter, filterIndex, initialDir,
                                      std::string(mode.title), "", kMainWindowOwner, flags);
  } else {
    bool readOnly = false;
    chosen =
        dialog.VBGetOpenFileName(path, title, true, false, readOnly, false, filter, filterIndex,
                                 initialDir, std::string(mode.title), "", kMainWindowOwner, flags);
  }
  if (!chosen) return;

  switch (mode.target) {
    case Target::LocationBox:
      TBox.at(ModeCode + kFirstLocationBox).setText(path);
      break;
    case Target::OpenSchedule:
      OpenFileName = path;
      ScheduleFileName = path;
      break;
    case Target::SaveSchedule:
      ScheduleFileName = path;
      SaveChosen = true;
      break;
  }
}

void MainForm::Command1_Click(int Index) {
  fctnCommonDialog(Index);
}

}  // namespace kiv
