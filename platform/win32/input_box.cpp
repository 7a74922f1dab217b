#include "input_box.h"

#include "ansi_text.h"
#include "resource_ids.h"
#include "window_text.h"

namespace kiv {
namespace {

struct InputBoxState {
  std::string prompt;
  std::string title;
  std::string answer;
};

INT_PTR CALLBACK inputBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto& state = *reinterpret_cast<const InputBoxState*>(lParam);
    SetWindowTextA(dialog, toAnsi(state.title).c_str());
    SetDlgItemTextA(dialog, IDC_INPUT_PROMPT, toAnsi(state.prompt).c_str());
    return TRUE;  // the text field, first in tab order, takes the focus
  }
  if (message != WM_COMMAND) return FALSE;
  auto& state = *reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (LOWORD(wParam)) {
    case IDOK:
      state.answer = windowText(GetDlgItem(dialog, IDC_INPUT_TEXT));
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::string showInputBox(HINSTANCE instance, HWND owner, const std::string& prompt,
                         const std::string& title) {
  InputBoxState state{prompt, title, ""};
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_INPUT_BOX), owner, inputBoxProcedure,
                  reinterpret_cast<LPARAM>(&state));
  return state.answer;
}

}  // namespace kiv
