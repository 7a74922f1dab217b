#include <string>

#include "base/text_characters.h"
#include "base/utf8_path.h"
#include "form/main_form.h"
#include "form/schedule_argument.h"
#include "schedule_file/schedule_file_io.h"

namespace kiv {

// True when the caller may go on: the schedule was written, or the user chose
// not to save. False when the user cancelled or the write failed.
bool MainForm::fctnSave(bool Ask, bool SaveAs) {
  SaveChosen = false;
  if (Ask) {
    // No throws the changes away: Enter saves them.
    const MessageAnswer answer =
        ask("Save this schedule?", MessageButtons::YesNoCancel, MessageAnswer::Yes);
    if (answer == MessageAnswer::Cancel) return false;
    if (answer == MessageAnswer::No) return true;
  }

  const bool direct = !ScheduleFileName.empty() && !SaveAs;
  if (!direct) {
    const std::string previousFileName = ScheduleFileName;
    fctnCommonDialog(kSaveScheduleDialog);
    if (!SaveChosen) return false;
    if (!claimScheduleFile(ScheduleFileName)) {
      ScheduleFileName = previousFileName;
      return false;
    }
  }

  const auto written = writeScheduleFile(pathFromUtf8(ScheduleFileName), tasks,
                                         platform_.fileStorage(), platform_.ansiCodePage());
  if (!written) {
    tell(written.error().description, MessageIcon::None);
    return false;
  }
  fctnChange(false);
  scheduler_.setSchedule(ScheduleFileName);
  // Saving replaced the file: the lock follows the file now under the name.
  claimScheduleFile(ScheduleFileName);
  if (direct) {
    tell("Schedule saved to '" + asciiLowerCase(ScheduleFileName) + "'.", MessageIcon::Information);
  }
  return true;
}

// Opens the schedule at strFile, or the one the user picks when it is empty.
// A file that cannot be read leaves the schedule in memory, the shown task,
// the file name and the marker as they were.
void MainForm::fctnOpen(std::string& strFile) {
  if (mnuSave.enabled() && !fctnSave(true, false)) return;

  const std::string previousFileName = ScheduleFileName;
  if (strFile.empty()) {
    fctnCommonDialog(kOpenScheduleDialog);
    if (OpenFileName.empty()) return;
  } else {
    OpenFileName = absoluteFilePath(strFile, platform_.currentFolder());
    ScheduleFileName = OpenFileName;
  }

  if (!isScheduleCandidate(OpenFileName)) {
    tellScheduleNotLoadable(strFile);
    CommandText = kCommandTextConsumed;
    ScheduleFileName.clear();
    Form_Load();
  } else if (const auto loaded = readScheduleFile(
                 pathFromUtf8(OpenFileName), platform_.fileStorage(), platform_.ansiCodePage())) {
    if (claimScheduleFile(OpenFileName)) {
      takeOverLoadedSchedule(loaded.value());
    } else {
      ScheduleFileName = previousFileName;
    }
  } else {
    ScheduleFileName = previousFileName;
    tell(std::to_string(loaded.error().number) + ": " + loaded.error().description,
         MessageIcon::None);
  }

  CommandText = kCommandTextConsumed;
  OpenFileName.clear();
  strFile.clear();
}

void MainForm::tellScheduleNotLoadable(const std::string& file) {
  tell("Schedule '" + file + "' could not be loaded; check the path & filename are valid.",
       MessageIcon::Exclamation);
}

void MainForm::takeOverLoadedSchedule(const LoadedSchedule& loaded) {
  if (loaded.layout != ScheduleLayout::Current) tell(oldLayoutNotice(), MessageIcon::Information);
  applyLoadedTasks(loaded, tasks);
  scheduler_.setSchedule(ScheduleFileName);
  cmbTask.setListIndex(0);
  // The oldest layout lacks task names: the converted schedule needs saving.
  fctnChange(loaded.layout == ScheduleLayout::FormatA);
}

void MainForm::mnuNew_Click() {
  if (mnuSave.enabled() && !fctnSave(true, false)) return;
  Form_Load();
}

void MainForm::mnuOpen_Click() {
  std::string file;
  fctnOpen(file);
}

void MainForm::mnuSave_Click() {
  fctnSave(false, false);
}

void MainForm::mnuSaveAs_Click() {
  fctnSave(false, true);
}

}  // namespace kiv
