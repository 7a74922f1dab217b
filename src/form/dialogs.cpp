#include <array>
#include <optional>

#include "base/utf8_path.h"
#include "form/main_form.h"
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

struct DialogSetup {
  std::string_view title;
  std::string_view filter;
  bool iniFilterForOldestVersion;  // preselect the second entry for version "2"
  bool picksAProgram;
  Target target;
};

// Indexed by DialogMode: the three Browse buttons, opening and saving.
constexpr std::array<DialogSetup, kDialogModeCount> kModes{{
    {"Select", kAccessFilter, false, true, Target::LocationBox},
    {"Select", kDatabaseFilter, false, false, Target::LocationBox},
    {"Select", kWorkgroupFilter, true, false, Target::LocationBox},
    {"Open", kScheduleFilter, false, false, Target::OpenSchedule},
    {"Save As", kScheduleFilter, false, false, Target::SaveSchedule},
}};

}  // namespace

void MainForm::fctnCommonDialog(int ModeCode) {
  if (ModeCode < 0 || ModeCode >= static_cast<int>(kModes.size())) return;
  const DialogSetup& mode = kModes[ModeCode];

  const Task* shown = shownTask();
  const bool oldestVersion = shown != nullptr && shown->Version == 0;
  OpenSaveRequest request;
  request.Filter = mode.filter;
  if (mode.picksAProgram && platform_.programsHaveNoExtension()) {
    request.Filter += kEveryFileEntry;
  }
  request.FilterIndex = mode.iniFilterForOldestVersion && oldestVersion ? 2 : 1;
  request.InitDir = mode.target == Target::LocationBox
                        ? TBox.at(ModeCode + kFirstLocationBox).text()
                        : platform_.currentFolder();
  request.DlgTitle = mode.title;
  request.Owner = kMainWindowOwner;
  request.flags = OFN_HIDEREADONLY;

  cOpenSave dialog(platform_);
  const bool chosen =
      mode.target == Target::SaveSchedule ? dialog.save(request) : dialog.open(request);
  if (!chosen) return;
  const std::string& path = request.Filename;

  switch (mode.target) {
    case Target::LocationBox:
      TBox.at(ModeCode + kFirstLocationBox).setText(path);
      break;
    case Target::OpenSchedule:
      OpenFileName = absoluteFilePath(path, platform_.currentFolder());
      ScheduleFileName = OpenFileName;
      break;
    case Target::SaveSchedule:
      ScheduleFileName = absoluteFilePath(path, platform_.currentFolder());
      SaveChosen = true;
      break;
  }
}

void MainForm::Command1_Click(int Index) {
  fctnCommonDialog(Index);
}

}  // namespace kiv
