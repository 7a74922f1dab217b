#include "input_box.h"

#include "resource_ids.h"
#include "wide_text.h"
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
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    const auto& state = *reinterpret_cast<const InputBoxState*>(lParam);
    SetWindowTextW(dialog, toWide(state.title).c_str());
    SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, toWide(state.prompt).c_str());
    return TRUE;  // the text field, first in tab order, takes the focus
  }
  if (message != WM_COMMAND) return FALSE;
  auto& state = *reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
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
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INPUT_BOX), owner, inputBoxProcedure,
                  reinterpret_cast<LPARAM>(&state));
  return state.answer;
}

}  // namespace kiv
