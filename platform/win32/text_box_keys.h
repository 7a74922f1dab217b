#pragma once

#include "windows_api.h"

#include "form/main_form.h"

namespace kiv {

// Gives the edit control of TBox(index) the form's keyboard and mouse
// conveniences: every typed character passes TBox_KeyPress before the box
// takes it (with the caret and selection handed over both ways), Ctrl+A
// selects the whole text once the filter has admitted it, and a
// double-click reaches TBox_DblClick after the box has selected its word.
void attachTextBoxKeys(HWND edit, MainForm& form, int index);

}  // namespace kiv
