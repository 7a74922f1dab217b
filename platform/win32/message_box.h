#pragma once

#include "windows_api.h"

#include "shell/platform.h"

namespace kiv {

// The MessageBoxW style for a question: its buttons, icon and default button.
UINT messageBoxStyle(const MessageBoxRequest& request);
// The answer for the button MessageBoxW reports (IDOK, IDYES, ...).
MessageAnswer messageAnswer(int pressed);

// Shows the question over `owner` (nullptr for none) and waits for the answer.
MessageAnswer showMessageBox(HWND owner, const MessageBoxRequest& request);

}  // namespace kiv
