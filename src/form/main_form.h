#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/names.h"
#include "engine/scheduler.h"
#include "form/controls.h"
#include "shell/platform.h"
#include "shell/stored_metrics_file.h"
#include "shell/tray_icon.h"
#include "tasks/task.h"

namespace kiv {

struct LoadedSchedule;

// Told of every change a front-end must draw: a control's property, or where
// the input focus now is.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void propertyChanged(const Control& control, Property property) = 0;
  virtual void focusChanged(const Control* control) = 0;
};

// The program's one window as data: its controls, the task table it edits and
// the handlers that carry the behaviour. Handlers are defined in this folder,
// one file per feature (editing.cpp, compile.cpp, tick.cpp, ...); the rules
// they apply live in the folders below (tasks/, compile/, scheduler/, ...),
// and the scheduling of the tasks in the engine the window drives.
//
// Handlers that call into the Platform may be re-entered (a modal question
// runs a nested event loop, so a timer tick can arrive): they hold no
// reference into the form's state across such a call.
class MainForm : private SchedulerEvents {
 public:
  explicit MainForm(Platform& platform);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // The window itself; its caption is the window caption.
  Control KIV{ControlKind::Window, "KIV"};
  Frame Frame1{"Frame1", 0};
  ComboBox cmbTask{"cmbTask"};
  std::array<TextBox, 8> TBox{{{"TBox", 0},
                               {"TBox", 1},
                               {"TBox", 2},
                               {"TBox", 3},
                               {"TBox", 4},
                               {"TBox", 5},
                               {"TBox", 6},
                               {"TBox", 7}}};
  ComboBox cmbVer{"cmbVer"};
  ComboBox cmbAction{"cmbAction"};
  ComboBox cmbDays{"cmbDays"};
  // "C&lose KIV after running?"; its enabled state is also the compiled lock.
  CheckBox Check1{"Check1"};
  // "&Open exclusively?".
  CheckBox Check2{"Check2"};
  std::array<CommandButton, 3> Command1{{{"Command1", 0}, {"Command1", 1}, {"Command1", 2}}};
  CommandButton cmdCompile{"cmdCompile"};
  CommandButton cmdRun{"cmdRun"};
  std::array<Label, 12> Lbl1{{{"Lbl1", 0},
                              {"Lbl1", 1},
                              {"Lbl1", 2},
                              {"Lbl1", 3},
                              {"Lbl1", 4},
                              {"Lbl1", 5},
                              {"Lbl1", 6},
                              {"Lbl1", 7},
                              {"Lbl1", 8},
                              {"Lbl1", 9},
                              {"Lbl1", 10},
                              {"Lbl1", 11}}};

  MenuItem mnuSchedule{"mnuSchedule"};
  MenuItem mnuNew{"mnuNew", &mnuSchedule};
  MenuItem mnuOpen{"mnuOpen", &mnuSchedule};
  MenuItem mnuSave{"mnuSave", &mnuSchedule};
  MenuItem mnuSaveAs{"mnuSaveAs", &mnuSchedule};
  MenuItem mnuExit{"mnuExit", &mnuSchedule};
  MenuItem mnuTask{"mnuTask"};
  MenuItem mnuCompile{"mnuCompile", &mnuTask};
  MenuItem mnuRun{"mnuRun", &mnuTask};
  MenuItem mnuDuplicate{"mnuDuplicate", &mnuTask};
  MenuItem mnuErase{"mnuErase", &mnuTask};
  MenuItem mnuOptions{"mnuOptions", &mnuTask};
  MenuItem mnuHelp{"mnuHelp"};
  MenuItem mnuHlp{"mnuHlp", &mnuHelp};
  MenuItem mnuAbout{"mnuAbout", &mnuHelp};
  // Never on the menu bar: shown only as a pop-up over the location boxes.
  MenuItem mnuAccess{"mnuAccess"};
  MenuItem mnuStore{"mnuStore", &mnuAccess};
  MenuItem mnuRetrieve{"mnuRetrieve", &mnuAccess};

  TaskTable tasks;

  // The notification-area icon and the window hook, for the life of the process.
  TrayIcon tray;
  WindowHook hook;

  // Every control and menu item, in the order they were declared.
  const std::vector<Control*>& controls() const { return controls_; }
  // The top-level menus, left to right, the pop-up menu last.
  std::vector<MenuItem*> menus();

  void addObserver(FormObserver* observer);
  void removeObserver(FormObserver* observer);

  // Focus. Moving it runs the lost-focus handler of the control that had it,
  // after the new control has become the active one.
  const Control* activeControl() const { return activeControl_; }
  void setFocus(Control& control);

  Platform& platform() { return platform_; }
  // The scheduler of the tasks: the front-end tells it of each started
  // program that ends.
  Scheduler& scheduler() { return scheduler_; }

  // Start-up and shutdown. Main loads the window hidden, hooks it and adds
  // the notification-area icon. Form_Load resets to the schedule named by
  // "/o <path>" on the command line, or to an untitled one.
  void Main();
  void Form_Load();
  // UnloadMode is a CloseReason. Setting Cancel to 1 refuses the close.
  void Form_QueryUnload(int& Cancel, int UnloadMode);
  // A mouse press reported for the window; the icon's callback arrives here
  // with X the mouse message (kTrayLeftButtonDown or
  // kTrayRightButtonDown) and Y 0.
  void Form_MouseDown(int Button, int Shift, float X, float Y);
  void mnuExit_Click();
  void mnuAbout_Click();
  void mnuHlp_Click();
  // F1: help at the context of the highlighted menu item, or else of the
  // focused control; nullptr when no menu is open.
  void helpRequested(const Control* highlightedMenu);

  // Keyboard and mouse conveniences of the text boxes. KeyAscii is set to 0
  // when the key is refused.
  void TBox_KeyPress(int Index, int& KeyAscii);
  void TBox_DblClick(int Index);

  // Stored default locations, kept per user in the settings store.
  void mnuAccess_Click();
  void mnuStore_Click();
  void mnuRetrieve_Click();

  // Schedule documents.
  bool fctnSave(bool Ask, bool SaveAs);
  void fctnOpen(std::string& strFile);
  void mnuNew_Click();
  void mnuOpen_Click();
  void mnuSave_Click();
  void mnuSaveAs_Click();

  // Task table.
  void fctnClearTask(int TaskNum);
  void fctnChange(bool Verity);

  // Task editing.
  void fctnPopulate(int TaskNum);
  void cmbTask_Click();
  void TBox_Change(int Index);
  void cmbVer_Click();
  void cmbAction_Click();
  void cmbDays_Click();
  void Check1_Click();
  void Check2_Click();

  // Scheduling: the one-second tick, the launch-time check, Run now. The
  // tick and Run now drive the scheduler.
  void Timer1_Timer();
  void TBox_LostFocus(int Index);
  void cmdRun_Click();
  void mnuRun_Click();

  // A second start of the program, made in `folder`, handed over its command
  // line: a schedule named by "/o <path>" is opened as an open from the menu
  // would (asking to save first when needed), and the window is shown.
  void commandLineHandedOver(const std::string& arguments, const std::string& folder);

  // Duplicate and erase.
  void mnuDuplicate_Click();
  void mnuErase_Click();

  // The Options dialog of the shown task.
  void mnuOptions_Click();

  // Compilation.
  void cmdCompile_Click();
  void mnuCompile_Click();

  // File dialogs.
  void fctnCommonDialog(int ModeCode);
  void Command1_Click(int Index);

  // Document state: the path of the schedule file the window holds (empty
  // when untitled), the path of an open in progress, and whether the Save As
  // dialog returned a path during the current save.
  std::string ScheduleFileName;
  std::string OpenFileName;
  bool SaveChosen = false;
  // The start-up command line until it has been acted on; "DUM" after that.
  std::string CommandText;

 private:
  void registerControls();
  void applyLayout();
  void wireHandlers();
  void notifyChanged(const Control& control, Property property);

  // Shows a message with an OK button under the application's title.
  void tell(const std::string& text, MessageIcon icon);
  // Asks a question under the application's title. The default button is the
  // answer that loses nothing: No for a confirmation, unless No is the answer
  // that throws work away (the questions on the way out).
  MessageAnswer ask(const std::string& text, MessageButtons buttons,
                    MessageAnswer harmless = MessageAnswer::No);

  // The task selected in cmbTask, or nullptr while nothing is selected.
  Task* shownTask();
  void showMacroBoxFor(int action);
  void lockTaskControls(bool locked);
  // The scheduler's launches, as the window shows them: the task before its
  // launch, the last-launch status in the icon's tip, and the end of the
  // program after a task that closes it.
  void launchStarting(const LaunchNotice& notice) override;
  void launchStarted(const LaunchNotice& notice) override;
  // Takes the schedule lock of `file` (of none when empty); false, after
  // telling the user, when another process schedules it.
  bool claimScheduleFile(const std::string& file);
  // Removes the icon and the hook, then ends the process at once.
  void endProgram();
  TextBox* focusedLocationBox();
  std::string storedDefault(const TextBox& box);
  // Shows the tasks just read, sets the marker as their layout asks and has
  // the scheduler name the schedule by its file.
  void takeOverLoadedSchedule(const LoadedSchedule& loaded);
  void tellScheduleNotLoadable(const std::string& file);
  void finishCompileToggle();

  Platform& platform_;
  std::vector<Control*> controls_;
  std::vector<FormObserver*> observers_;
  Control* activeControl_ = nullptr;
  // The metrics file the stored setting names, which the scheduler rewrites.
  std::optional<StoredMetricsFile> metricsFile_;
  Scheduler scheduler_;
};

}  // namespace kiv
