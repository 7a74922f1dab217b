#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "dialog_answerer.h"
#include "resource_ids.h"
#include "task_options_dialog.h"
#include "waiting.h"
#include "window_search.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using testing::DialogAnswerer;

constexpr const char* kTitle = "Options of task 3";
constexpr TaskOptions kAllSet{minutes{30}, minutes{90}, hours{12}};

TaskOptionsRequest requestFor(const TaskOptions& options, bool locked = false) {
  return {kTitle, options, locked, 2};
}

// The keys a user presses, in order: virtual keys, with Alt held for those
// marked so. Sent to the dialog once it is in the foreground.
struct Key {
  WORD key;
  bool alt = false;
};

void press(HWND dialog, const std::vector<Key>& keys) {
  SetForegroundWindow(dialog);
  ASSERT_TRUE(testing::waitUntil([&] { return GetForegroundWindow() == dialog; }));
  std::vector<INPUT> inputs;
  const auto add = [&](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (const Key& k : keys) {
    if (k.alt) add(VK_MENU, 0);
    add(k.key, 0);
    add(k.key, KEYEVENTF_KEYUP);
    if (k.alt) add(VK_MENU, KEYEVENTF_KEYUP);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<Key> digits(const std::string& number) {
  std::vector<Key> keys;
  for (const char digit : number) keys.push_back({static_cast<WORD>(digit)});
  return keys;
}

std::vector<Key> operator+(std::vector<Key> first, const std::vector<Key>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

const std::vector<Key> kTab{{VK_TAB}};
const std::vector<Key> kSpace{{VK_SPACE}};
const std::vector<Key> kEnter{{VK_RETURN}};
const std::vector<Key> kEscape{{VK_ESCAPE}};

HWND focusOf(HWND dialog) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
  return gui.hwndFocus;
}

bool enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Opens the dialog for `request` and has `user` answer it, from a second
// thread; `helpCalls` counts the dialog's calls for help.
std::optional<TaskOptions> answeredBy(const TaskOptionsRequest& request,
                                      std::function<void(HWND)> user,
                                      std::atomic<int>* helpCalls = nullptr) {
  DialogAnswerer answerer("#32770", kTitle, std::move(user));
  const auto answer = showTaskOptionsDialog(GetModuleHandleA(nullptr), nullptr, request, [&] {
    if (helpCalls != nullptr) ++*helpCalls;
  });
  EXPECT_TRUE(answerer.answered());
  return answer;
}

TEST(TaskOptionsDialog, KeyboardSetsEveryOption) {
  const auto answer = answeredBy(requestFor(TaskOptions{}), [](HWND dialog) {
    EXPECT_EQ(focusOf(dialog), GetDlgItem(dialog, IDC_OPTIONS_WAIT));
    EXPECT_EQ(testing::defaultButton(dialog), IDOK);
    EXPECT_FALSE(enabled(dialog, IDC_OPTIONS_TIME_LIMIT));
    EXPECT_FALSE(enabled(dialog, IDC_OPTIONS_CATCH_UP));
    EXPECT_EQ(testing::dialogItemText(dialog, IDC_OPTIONS_WAIT), "60");
    EXPECT_EQ(testing::dialogItemText(dialog, IDC_OPTIONS_HAS_TIME_LIMIT),
              "&Time limit (minutes):");
    // Focus on a field selects its number, so typing replaces it.
    press(dialog, digits("15") + kTab + kSpace + kTab + digits("90") + kTab + kSpace + kTab +
                      digits("48") + kEnter);
  });
  EXPECT_EQ(answer, (TaskOptions{minutes{15}, minutes{90}, hours{48}}));
}

TEST(TaskOptionsDialog, MnemonicsSwitchTheCheckBoxes) {
  const auto answer = answeredBy(requestFor(TaskOptions{}), [](HWND dialog) {
    press(dialog, {{'T', true}, {'C', true}});
    EXPECT_TRUE(testing::waitUntil([&] { return enabled(dialog, IDC_OPTIONS_CATCH_UP); }));
    EXPECT_TRUE(enabled(dialog, IDC_OPTIONS_TIME_LIMIT));
    press(dialog, kEnter);
  });
  EXPECT_EQ(answer, (TaskOptions{minutes{60}, minutes{60}, hours{24}}));
}

TEST(TaskOptionsDialog, SwitchingOffDropsTheNumber) {
  const auto answer = answeredBy(requestFor(kAllSet), [](HWND dialog) {
    EXPECT_EQ(testing::dialogItemText(dialog, IDC_OPTIONS_TIME_LIMIT), "90");
    EXPECT_EQ(testing::dialogItemText(dialog, IDC_OPTIONS_CATCH_UP), "12");
    press(dialog, kTab + kSpace);
    EXPECT_TRUE(testing::waitUntil([&] { return !enabled(dialog, IDC_OPTIONS_TIME_LIMIT); }));
    press(dialog, kEnter);
  });
  EXPECT_EQ(answer, (TaskOptions{minutes{30}, std::nullopt, hours{12}}));
}

TEST(TaskOptionsDialog, EscapeCancels) {
  const auto answer = answeredBy(requestFor(kAllSet), [](HWND dialog) {
    press(dialog, digits("5") + kTab + kSpace + kEscape);
  });
  EXPECT_EQ(answer, std::nullopt);
}

struct OutOfRangeCase {
  const char* name;
  int tabs;  // from the wait to the field
  const char* typed;
  int field;
  const char* refusal;
};

void PrintTo(const OutOfRangeCase& c, std::ostream* os) {
  *os << c.name;
}

class OutOfRange : public ::testing::TestWithParam<OutOfRangeCase> {};

// OK refuses the number, names the range, and leaves the dialog open with the
// focus back in the field.
TEST_P(OutOfRange, IsRefusedAndTheFieldKeepsTheFocus) {
  const OutOfRangeCase& c = GetParam();
  std::string refusal;
  HWND focusAfter = nullptr;
  HWND field = nullptr;
  const auto answer = answeredBy(requestFor(kAllSet), [&](HWND dialog) {
    field = GetDlgItem(dialog, c.field);
    std::vector<Key> keys;
    for (int tab = 0; tab < c.tabs; ++tab) keys = keys + kTab;
    press(dialog, keys + digits(c.typed) + kEnter);
    DialogAnswerer user("#32770", "Kiv", [&](HWND box) {
      refusal = testing::dialogItemText(box, testing::kMessageBoxText);
      testing::pressButton(box, IDOK);
    });
    ASSERT_TRUE(user.answered());
    ASSERT_TRUE(testing::waitUntil([&] { return focusOf(dialog) == field; }));
    focusAfter = focusOf(dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    testing::pressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(answer, std::nullopt);
  EXPECT_EQ(refusal, c.refusal);
  EXPECT_EQ(focusAfter, field);
}

INSTANTIATE_TEST_SUITE_P(
    EachField, OutOfRange,
    ::testing::Values(OutOfRangeCase{"WaitPastADay", 0, "1441", IDC_OPTIONS_WAIT,
                                     "Enter a whole number from 0 to 1440."},
                      OutOfRangeCase{"NoughtLimit", 2, "0", IDC_OPTIONS_TIME_LIMIT,
                                     "Enter a whole number from 1 to 1440."},
                      OutOfRangeCase{"CatchUpPastAWeek", 4, "169", IDC_OPTIONS_CATCH_UP,
                                     "Enter a whole number from 1 to 168."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TaskOptionsDialog, LockedRequestOnlyShowsTheOptions) {
  const auto answer = answeredBy(requestFor(kAllSet, true), [](HWND dialog) {
    for (const int id : {IDC_OPTIONS_WAIT, IDC_OPTIONS_HAS_TIME_LIMIT, IDC_OPTIONS_TIME_LIMIT,
                         IDC_OPTIONS_HAS_CATCH_UP, IDC_OPTIONS_CATCH_UP}) {
      EXPECT_FALSE(enabled(dialog, id)) << id;
    }
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OPTIONS_HAS_TIME_LIMIT), BST_CHECKED);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_OPTIONS_LOCKED_NOTE)));
    EXPECT_EQ(testing::dialogItemText(dialog, IDC_OPTIONS_LOCKED_NOTE),
              "Decompile the task to change its options.");
    EXPECT_EQ(testing::dialogItemText(dialog, IDCANCEL), "Close");
    EXPECT_EQ(testing::defaultButton(dialog), IDCANCEL);
    press(dialog, kEnter);
  });
  EXPECT_EQ(answer, std::nullopt);
}

TEST(TaskOptionsDialog, HelpButtonAndF1AskForHelp) {
  std::atomic<int> helpCalls = 0;
  const auto answer = answeredBy(
      requestFor(kAllSet),
      [&](HWND dialog) {
        EXPECT_EQ(testing::dialogItemText(dialog, IDHELP), "&Help");
        press(dialog, {{VK_F1}});
        EXPECT_TRUE(testing::waitUntil([&] { return helpCalls == 1; }));
        testing::pressButton(dialog, IDHELP);
        EXPECT_TRUE(testing::waitUntil([&] { return helpCalls == 2; }));
        press(dialog, kEscape);
      },
      &helpCalls);
  EXPECT_EQ(answer, std::nullopt);
  EXPECT_EQ(helpCalls, 2);
}

}  // namespace
}  // namespace kiv
