#include "task_options_dialog.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "base/identity.h"
#include "message_box.h"
#include "resource_ids.h"
#include "wide_text.h"
#include "window_text.h"

namespace kiv {
namespace {

struct DialogState {
  const TaskOptionsRequest& request;
  const std::function<void()>& showHelp;
  std::optional<TaskOptions> answer;
};

// A number field: its edit control, the up-down control beside it, its range
// and the check box that switches it (0 for one always on).
struct NumberField {
  int edit;
  int spin;
  int lowest;
  int highest;
  int switchedBy;
};

const NumberField kWait{IDC_OPTIONS_WAIT, IDC_OPTIONS_WAIT_SPIN, 0,
                        static_cast<int>(kLongestWait.count()), 0};
const NumberField kTimeLimit{IDC_OPTIONS_TIME_LIMIT, IDC_OPTIONS_TIME_LIMIT_SPIN,
                             static_cast<int>(kShortestTimeLimit.count()),
                             static_cast<int>(kLongestTimeLimit.count()),
                             IDC_OPTIONS_HAS_TIME_LIMIT};
const NumberField kCatchUp{IDC_OPTIONS_CATCH_UP, IDC_OPTIONS_CATCH_UP_SPIN,
                           static_cast<int>(kShortestCatchUp.count()),
                           static_cast<int>(kLongestCatchUp.count()), IDC_OPTIONS_HAS_CATCH_UP};
const NumberField kBackups{IDC_OPTIONS_BACKUPS, IDC_OPTIONS_BACKUPS_SPIN, 0, kMostBackups, 0};
const std::array kFields{kWait, kTimeLimit, kCatchUp, kBackups};

void setText(HWND dialog, int id, std::string_view text) {
  SetDlgItemTextW(dialog, id, toWide(text).c_str());
}

bool isChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void showNumber(HWND dialog, const NumberField& field, int value) {
  HWND spin = GetDlgItem(dialog, field.spin);
  SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(field.lowest),
               static_cast<LPARAM>(field.highest));
  SendMessageW(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
  // No more digits than the highest value has.
  const auto digits = std::to_string(field.highest).size();
  SendDlgItemMessageW(dialog, field.edit, EM_SETLIMITTEXT, digits, 0);
}

void showSwitch(HWND dialog, const NumberField& field, bool on) {
  CheckDlgButton(dialog, field.switchedBy, on ? BST_CHECKED : BST_UNCHECKED);
}

// A field is open to typing while its switch is on and the task not locked.
void enableFields(HWND dialog, bool locked) {
  for (const NumberField& field : kFields) {
    const bool on = !locked && (field.switchedBy == 0 || isChecked(dialog, field.switchedBy));
    EnableWindow(GetDlgItem(dialog, field.edit), on ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dialog, field.spin), on ? TRUE : FALSE);
    if (field.switchedBy != 0) {
      EnableWindow(GetDlgItem(dialog, field.switchedBy), locked ? FALSE : TRUE);
    }
  }
  EnableWindow(GetDlgItem(dialog, IDC_OPTIONS_FOLDER), locked ? FALSE : TRUE);
}

void showRequest(HWND dialog, const TaskOptionsRequest& request) {
  const TaskOptions& options = request.options;
  SetWindowTextW(dialog, toWide(request.title).c_str());
  setText(dialog, IDC_OPTIONS_WAIT_LABEL, options_dialog::kWaitLabel);
  setText(dialog, IDC_OPTIONS_HAS_TIME_LIMIT, options_dialog::kTimeLimitCheck);
  setText(dialog, IDC_OPTIONS_HAS_CATCH_UP, options_dialog::kCatchUpCheck);
  setText(dialog, IDC_OPTIONS_BACKUPS_LABEL, options_dialog::kBackupsLabel);
  setText(dialog, IDC_OPTIONS_FOLDER_LABEL, options_dialog::kBackupFolderLabel);
  setText(dialog, IDC_OPTIONS_LOCKED_NOTE, options_dialog::kLockedNote);
  setText(dialog, IDHELP, options_dialog::kHelpButton);

  showNumber(dialog, kWait, static_cast<int>(options.wait.count()));
  showNumber(
      dialog, kTimeLimit,
      static_cast<int>(options.timeLimit.value_or(options_dialog::kOfferedTimeLimit).count()));
  showNumber(dialog, kCatchUp,
             static_cast<int>(options.catchUp.value_or(options_dialog::kOfferedCatchUp).count()));
  showNumber(dialog, kBackups, options.backups);
  setText(dialog, IDC_OPTIONS_FOLDER, options.backupFolder);
  const std::wstring hint = toWide(options_dialog::kBackupFolderHint);
  SendDlgItemMessageW(dialog, IDC_OPTIONS_FOLDER, EM_SETCUEBANNER, TRUE,
                      reinterpret_cast<LPARAM>(hint.c_str()));
  showSwitch(dialog, kTimeLimit, options.timeLimit.has_value());
  showSwitch(dialog, kCatchUp, options.catchUp.has_value());
  enableFields(dialog, request.locked);

  if (request.locked) {
    ShowWindow(GetDlgItem(dialog, IDOK), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_OPTIONS_LOCKED_NOTE), SW_SHOW);
    setText(dialog, IDCANCEL, options_dialog::kCloseButton);
    SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
  }
}

// The number in a field, or nothing when its text is no number of its range.
std::optional<int> numberIn(HWND dialog, const NumberField& field) {
  BOOL failed = FALSE;
  const auto value = static_cast<int>(
      SendDlgItemMessageW(dialog, field.spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
  if (failed != FALSE || value < field.lowest || value > field.highest) return std::nullopt;
  return value;
}

// What cannot be stopped key by key here (a number past its range, a folder
// the schedule file cannot hold) OK refuses, says why and puts the field back
// in the user's hands.
void refuse(HWND dialog, int field, const std::string& why) {
  const MessageBoxRequest refusal{why, MessageButtons::Ok, MessageIcon::Exclamation, 0,
                                  std::string(identity::kTitle)};
  showMessageBox(dialog, refusal);
  HWND edit = GetDlgItem(dialog, field);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
}

void refuseOutOfRange(HWND dialog, const NumberField& field) {
  refuse(dialog, field.edit,
         "Enter a whole number from " + std::to_string(field.lowest) + " to " +
             std::to_string(field.highest) + ".");
}

// The options shown, or nothing after refusing a number out of its range or
// a folder the schedule file cannot hold.
std::optional<TaskOptions> shownOptions(HWND dialog, const TaskOptionsRequest& request) {
  std::array<int, kFields.size()> values{};
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const NumberField& field = kFields.at(i);
    if (field.switchedBy != 0 && !isChecked(dialog, field.switchedBy)) continue;
    const std::optional<int> value = numberIn(dialog, field);
    if (!value) {
      refuseOutOfRange(dialog, field);
      return std::nullopt;
    }
    values.at(i) = *value;
  }
  TaskOptions options;
  options.wait = std::chrono::minutes{values[0]};
  if (isChecked(dialog, IDC_OPTIONS_HAS_TIME_LIMIT))
    options.timeLimit = std::chrono::minutes{values[1]};
  if (isChecked(dialog, IDC_OPTIONS_HAS_CATCH_UP)) options.catchUp = std::chrono::hours{values[2]};
  options.backups = values[3];
  options.backupFolder = windowText(GetDlgItem(dialog, IDC_OPTIONS_FOLDER));
  if (request.folderProblem) {
    if (const std::string why = request.folderProblem(options.backupFolder); !why.empty()) {
      refuse(dialog, IDC_OPTIONS_FOLDER, why);
      return std::nullopt;
    }
  }
  return options;
}

INT_PTR CALLBACK taskOptionsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    const auto& state = *reinterpret_cast<const DialogState*>(lParam);
    showRequest(dialog, state.request);
    if (!state.request.locked) return TRUE;  // the wait, first in tab order, takes the focus
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)),
                 TRUE);
    return FALSE;
  }
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (state == nullptr) return FALSE;
  // F1 arrives as WM_HELP from whichever control has the focus.
  if (message == WM_HELP) {
    state->showHelp();
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      if (state->request.locked) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      state->answer = shownOptions(dialog, state->request);
      if (state->answer) EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDHELP:
      state->showHelp();
      return TRUE;
    case IDC_OPTIONS_HAS_TIME_LIMIT:
    case IDC_OPTIONS_HAS_CATCH_UP:
      enableFields(dialog, state->request.locked);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<TaskOptions> showTaskOptionsDialog(HINSTANCE instance, HWND owner,
                                                 const TaskOptionsRequest& request,
                                                 const std::function<void()>& showHelp) {
  const INITCOMMONCONTROLSEX upDown{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&upDown);
  DialogState state{request, showHelp, std::nullopt};
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TASK_OPTIONS), owner, taskOptionsProcedure,
                  reinterpret_cast<LPARAM>(&state));
  return state.answer;
}

}  // namespace kiv
