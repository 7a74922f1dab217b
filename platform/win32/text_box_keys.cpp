#include "text_box_keys.h"

#include <commctrl.h>

namespace kiv {
namespace {

constexpr WPARAM kSelectAll = 1;  // the character Ctrl+A types

// The form's key filter sees the box's caret and selection as they are, and
// the box takes back the selection the filter chose (overtype selects the
// character at the caret). False when the filter discarded the key.
bool passKeyFilter(HWND edit, MainForm& form, int index, WPARAM& character) {
  TextBox& box = form.TBox.at(static_cast<std::size_t>(index));
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  box.selStart = static_cast<int>(start);
  box.selLength = static_cast<int>(end - start);
  // A Unicode window receives the character's UTF-16 code unit, whole.
  int KeyAscii = static_cast<int>(character & 0xFFFF);
  form.TBox_KeyPress(index, KeyAscii);
  if (KeyAscii == 0) return false;
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(box.selStart),
               static_cast<LPARAM>(box.selStart + box.selLength));
  character = static_cast<WPARAM>(KeyAscii);
  return true;
}

LRESULT CALLBACK textBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR index, DWORD_PTR formAddress) {
  MainForm& form = *reinterpret_cast<MainForm*>(formAddress);
  const int box = static_cast<int>(index);
  switch (message) {
    // Some edit controls select everything on Ctrl+A itself, before the
    // character it types reaches the key filter; others not at all. The box
    // selects on the character instead, once the filter has admitted it, as
    // it cuts, copies and pastes on theirs.
    case WM_KEYDOWN:
      if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) return 0;
      break;
    case WM_CHAR:
      if (!passKeyFilter(edit, form, box, wParam)) return 0;
      if (wParam == kSelectAll) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      form.TBox_DblClick(box);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, textBoxProcedure, index);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void attachTextBoxKeys(HWND edit, MainForm& form, int index) {
  SetWindowSubclass(edit, textBoxProcedure, static_cast<UINT_PTR>(index),
                    reinterpret_cast<DWORD_PTR>(&form));
}

}  // namespace kiv
