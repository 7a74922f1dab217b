#include <array>

#include "form/main_form.h"

namespace kiv {
namespace {

constexpr int kBackspace = 8;

// What may be typed at each caret position of "hh:mm:ss"; "?" only in the
// seventh place, where it makes the time recur.
constexpr std::array<std::string_view, 8> kAdmittedAt{
    "0123456789", "0123456789", ":", "0123456789", "0123456789", ":", "0123456789?", "0123456789",
};

bool admitted(int caret, int character) {
  if (caret < 0 || caret >= static_cast<int>(kAdmittedAt.size())) return false;
  if (character <= 0 || character > 0x7F) return false;
  return kAdmittedAt[caret].find(static_cast<char>(character)) != std::string_view::npos;
}

}  // namespace

// Typing in the launch-time box overwrites the character at the caret and
// admits only what fits the layout there. Backspace and other control
// characters are never admitted.
void MainForm::TBox_KeyPress(int Index, int& KeyAscii) {
  if (Index != kLaunchAtBox) return;
  TextBox& box = TBox[kLaunchAtBox];
  if (KeyAscii != kBackspace) box.selLength = 1;
  if (!admitted(box.selStart, KeyAscii)) KeyAscii = 0;
}

void MainForm::TBox_DblClick(int Index) {
  if (Index < kFirstLocationBox || Index >= kFirstLocationBox + kLocationBoxCount) return;
  mnuAccess_Click();
  platform_.popupMenu(mnuAccess);
}

}  // namespace kiv
