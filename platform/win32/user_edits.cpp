#include "user_edits.h"

#include <algorithm>
#include <array>

#include "window_text.h"

namespace kiv {
namespace {

using Forward = void (*)(MainForm&, Control&, HWND);

void takeFocus(MainForm& form, Control& control, HWND) {
  form.setFocus(control);
}

void takeText(MainForm&, Control& control, HWND window) {
  static_cast<TextBox&>(control).setText(windowText(window));
}

void takeListIndex(MainForm&, Control& control, HWND window) {
  static_cast<ComboBox&>(control).setListIndex(
      static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
}

// Check box values by position: unchecked, checked, grayed.
constexpr std::array<LRESULT, 3> kCheckStates{BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE};

void takeCheckValue(MainForm&, Control& control, HWND window) {
  const LRESULT state = SendMessageW(window, BM_GETCHECK, 0, 0);
  const auto found = std::find(kCheckStates.begin(), kCheckStates.end(), state);
  const int value = found == kCheckStates.end() ? CheckBox::kUnchecked
                                                : static_cast<int>(found - kCheckStates.begin());
  static_cast<CheckBox&>(control).setValue(value);
}

void press(MainForm&, Control& control, HWND) {
  static_cast<CommandButton&>(control).press();
}

struct Notification {
  ControlKind kind;
  int code;   // the codes of different window classes overlap
  bool edit;  // false for the focus, which is forwarded also while the program changes the window
  Forward forward;
};

constexpr std::array<Notification, 8> kNotifications{{
    {ControlKind::TextBox, EN_SETFOCUS, false, takeFocus},
    {ControlKind::TextBox, EN_CHANGE, true, takeText},
    {ControlKind::ComboBox, CBN_SETFOCUS, false, takeFocus},
    {ControlKind::ComboBox, CBN_SELCHANGE, true, takeListIndex},
    {ControlKind::CheckBox, BN_SETFOCUS, false, takeFocus},
    {ControlKind::CheckBox, BN_CLICKED, true, takeCheckValue},
    {ControlKind::CommandButton, BN_SETFOCUS, false, takeFocus},
    {ControlKind::CommandButton, BN_CLICKED, true, press},
}};

}  // namespace

void forwardUserEdit(MainForm& form, Control& control, int notification, HWND window, bool echo) {
  const auto found =
      std::find_if(kNotifications.begin(), kNotifications.end(), [&](const Notification& entry) {
        return entry.kind == control.kind() && entry.code == notification;
      });
  if (found == kNotifications.end() || (echo && found->edit)) return;
  found->forward(form, control, window);
}

}  // namespace kiv
