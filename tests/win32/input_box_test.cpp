#include <gtest/gtest.h>

#include "dialog_answerer.h"
#include "input_box.h"
#include "resource_ids.h"

namespace kiv {
namespace {

using testing::DialogAnswerer;

constexpr const char* kPrompt = "Enter the task number to duplicate task 3 to:";

TEST(InputBox, ReturnsTheTextEnteredWithOk) {
  std::string prompt;
  DialogAnswerer user("#32770", "Kiv", [&](HWND box) {
    prompt = testing::dialogItemText(box, IDC_INPUT_PROMPT);
    // Typed as it is, characters beyond the ANSI code page among them.
    SetDlgItemTextW(box, IDC_INPUT_TEXT, L"12 \u03A9");
    testing::pressButton(box, IDOK);
  });
  const std::string answer = showInputBox(GetModuleHandleA(nullptr), nullptr, kPrompt, "Kiv");
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(answer, "12 \xCE\xA9");
  EXPECT_EQ(prompt, kPrompt);
}

TEST(InputBox, ReturnsTheEmptyTextWhenCancelled) {
  DialogAnswerer user("#32770", "Kiv", [](HWND box) {
    SetDlgItemTextA(box, IDC_INPUT_TEXT, "12");
    testing::pressButton(box, IDCANCEL);
  });
  const std::string answer = showInputBox(GetModuleHandleA(nullptr), nullptr, kPrompt, "Kiv");
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(answer, "");
}

TEST(InputBox, OpensWithTheFocusInTheTextFieldAndOkAsTheDefault) {
  bool focusInField = false;
  int preselected = 0;
  DialogAnswerer user("#32770", "Kiv", [&](HWND box) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui);
    focusInField = gui.hwndFocus == GetDlgItem(box, IDC_INPUT_TEXT);
    preselected = testing::defaultButton(box);
    testing::pressButton(box, IDCANCEL);
  });
  showInputBox(GetModuleHandleA(nullptr), nullptr, kPrompt, "Kiv");
  ASSERT_TRUE(user.answered());
  EXPECT_TRUE(focusInField);
  EXPECT_EQ(preselected, IDOK);
}

}  // namespace
}  // namespace kiv
