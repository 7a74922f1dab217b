#include <cmath>

#include "base/identity.h"
#include "form/main_form.h"
#include "form/schedule_argument.h"

namespace kiv {
namespace {

// Launches that went well reach the system's log only when the user asked for
// them: the stored setting Kiv, SystemLog, LogSuccesses is "1".
SuccessLogging storedSuccessLogging(SettingsStore& settings) {
  return settings.readSetting(std::string(identity::kTitle), "SystemLog", "LogSuccesses") == "1"
             ? SuccessLogging::On
             : SuccessLogging::Off;
}

// The metrics file is the one the stored setting Kiv, Metrics, File names;
// none when it is empty.
std::string storedMetricsFile(SettingsStore& settings) {
  return settings.readSetting(std::string(identity::kTitle), "Metrics", "File");
}

}  // namespace

void MainForm::Main() {
  scheduler_.setSystemLog(platform_.systemLog(), storedSuccessLogging(platform_));
  if (const std::string metrics = storedMetricsFile(platform_); !metrics.empty()) {
    metricsFile_.emplace(metrics, platform_.fileStorage(), [this](const std::string& text) {
      platform_.notify(std::string(identity::kTitle), text);
    });
    scheduler_.setMetricsFile(&*metricsFile_);
  }
  scheduler_.start();
  Form_Load();
  hook.HookWindow();
  tray.SetTrayIcon(true);
}

void MainForm::Form_Load() {
  if (CommandText != kCommandTextConsumed) CommandText = platform_.commandArguments();
  for (int task = 0; task < kTaskCount; ++task) fctnClearTask(task);
  // The reset table is a new, untitled schedule with no task shown yet. An
  // open below that is cancelled leaves it so: it must neither be offered for
  // saving again nor be saved over the file the window held before.
  cmbTask.setListIndex(-1);
  ScheduleFileName.clear();
  scheduler_.setSchedule("");
  platform_.claimSchedule("");
  fctnChange(false);

  // "/o " is case-sensitive and the path after it is taken as it stands,
  // blanks included.
  if (auto file = scheduleNamedBy(CommandText, platform_.currentFolder())) {
    fctnOpen(*file);
    return;
  }
  cmbTask.setListIndex(0);
  // Showing task 1 runs the edit handlers and the compile toggle, which mark
  // the schedule changed.
  fctnChange(false);
}

void MainForm::Form_QueryUnload(int& Cancel, int UnloadMode) {
  if (Cancel == 1) return;
  if (UnloadMode == kUserClosed || UnloadMode == kProgramAsked || UnloadMode == kMdiParentClosing) {
    // No ends the program: Enter keeps the icon and the scheduling.
    switch (ask("Do you want to retain the system tray icon?", MessageButtons::YesNoCancel,
                MessageAnswer::Yes)) {
      case MessageAnswer::Yes:
        platform_.hideWindow();
        Cancel = 1;
        return;
      case MessageAnswer::No: {
        const bool unsavedChanges = mnuSave.enabled();
        if (!fctnSave(true, false) && unsavedChanges) {
          Cancel = 1;
          return;
        }
        break;
      }
      default:
        Cancel = 1;
        return;
    }
  }
  endProgram();
}

void MainForm::endProgram() {
  scheduler_.stop();
  tray.SetTrayIcon(false);
  hook.UnhookWindow();
  platform_.endProcess();
}

void MainForm::Form_MouseDown(int /*Button*/, int /*Shift*/, float X, float Y) {
  // The icon's callback carries the mouse message in X; a press inside the
  // window's margin never adds up to either value.
  const double message = static_cast<double>(X) + std::pow(static_cast<double>(Y), 16);
  if (message == kTrayLeftButtonDown) {
    platform_.showWindow();
  } else if (message == kTrayRightButtonDown) {
    int cancel = 0;
    Form_QueryUnload(cancel, kProgramAsked);
  }
}

void MainForm::mnuExit_Click() {
  int cancel = 0;
  Form_QueryUnload(cancel, kUserClosed);
}

void MainForm::mnuAbout_Click() {
  const std::string paragraphs = identity::versionLine() + "\r\n\r\n" +
                                 std::string(identity::kDescription) + "\r\n\r\n" +
                                 std::string(identity::kComments);
  tell(paragraphs, MessageIcon::None);
}

void MainForm::mnuHlp_Click() {
  helpRequested(nullptr);
}

void MainForm::helpRequested(const Control* highlightedMenu) {
  const Control* subject = highlightedMenu != nullptr ? highlightedMenu : activeControl_;
  platform_.showHelp(subject != nullptr ? subject->helpContext : 0);
}

}  // namespace kiv
