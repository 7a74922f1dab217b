#pragma once

#include "windows_api.h"

#include "form/main_form.h"

namespace kiv {

// Hands what the user did in a control's window (a WM_COMMAND notification)
// to the form, through the setter the core itself uses: typed text, a list
// pick, a check box click, a button press, or the focus arriving. An `echo`
// (a notification raised while the program itself changes the window) passes
// on only the focus. Notifications that carry nothing for the form are ignored.
void forwardUserEdit(MainForm& form, Control& control, int notification, HWND window, bool echo);

}  // namespace kiv
