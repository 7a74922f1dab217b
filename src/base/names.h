#pragma once

#include <string_view>

// One name for each number the window, the tray and the dialogs agree on, so
// that the core, both front-ends, kivctl and the tests say the same thing.
namespace kiv {

// The text boxes of the `TBox` family, by index.
enum TextBoxIndex : int {
  kLaunchAtBox = 0,
  kUserNameBox = 1,
  kPasswordBox = 2,
  kMacroBox = 3,
  kAccessLocationBox = 4,
  kDatabaseLocationBox = 5,
  kSecurityFileBox = 6,
  kTaskNameBox = 7,
};
inline constexpr int kTextBoxCount = 8;
// The first of the three location boxes; each has a Browse button of the
// `Command1` family with the index counted from here.
inline constexpr int kFirstLocationBox = kAccessLocationBox;
inline constexpr int kLocationBoxCount = 3;

// The labels of the `Lbl1` family whose captions follow the shown task.
enum LabelIndex : int {
  kMacroLabel = 6,
  kSecurityFileLabel = 9,
};

// Why the window is asked to close (the UnloadMode of `Form_QueryUnload`).
enum CloseReason : int {
  kUserClosed = 0,        // the close button, the system menu, Alt+F4, Exit
  kProgramAsked = 1,      // the program itself (the icon's right button)
  kSessionEnds = 2,       // log-off or shutdown
  kTaskManager = 3,       // ended from outside the program
  kMdiParentClosing = 4,  // an MDI parent closes
  kOwnerClosing = 5,      // the owner closes
};

// The mouse messages the notification-area icon's callback carries.
inline constexpr int kTrayLeftButtonDown = 513;
inline constexpr int kTrayRightButtonDown = 516;

// The five dialogs of `fctnCommonDialog`: the three Browse buttons (one per
// location box, in box order), then opening and saving a schedule.
enum DialogMode : int {
  kBrowseAccessDialog = 0,
  kBrowseDatabaseDialog = 1,
  kBrowseSecurityFileDialog = 2,
  kOpenScheduleDialog = 3,
  kSaveScheduleDialog = 4,
};
inline constexpr int kDialogModeCount = 5;

// The start-up switch that names a schedule to open: "/o " and the path.
inline constexpr std::string_view kOpenSwitch = "/o ";

// `CommandText` once the start-up command line has been acted on.
inline constexpr std::string_view kCommandTextConsumed = "DUM";

}  // namespace kiv
