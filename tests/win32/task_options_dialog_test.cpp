#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_answerer.h"

#include <commctrl.h>

#include "resource_ids.h"
#include "task_options_dialog.h"
#include "waiting.h"
#include "wide_text.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using testing::DialogAnswerer;

constexpr const char* kTitle = "Options of task 3";
const TaskOptions kAllSet{minutes{30}, minutes{90}, hours{12}, 5, "D:\\Copies"};
constexpr const char* kFolderTooLong = "The backup folder is too long.";

// The reason the dialog is given for a folder: the core's says more, but
// the dialog only shows it.
std::string tooLong(std::string_view folder) {
  return folder.size() > kLongestBackupFolder ? kFolderTooLong : "";
}

TaskOptionsRequest requestFor(const TaskOptions& options, bool locked = false) {
  return {kTitle, options, locked, 2, tooLong};
}

// The keys a user presses, in order: virtual keys, with Alt held for those
// marked so. Sent to the dialog once it is in the foreground; false when it
// never came there.
struct Key {
  WORD key;
  bool alt = false;
};

bool press(HWND dialog, const std::vector<Key>& keys) {
  SetForegroundWindow(dialog);
  if (!testing::waitUntil([&] { return GetForegroundWindow() == dialog; })) return false;
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
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// Digits and capital letters are their own virtual keys; the letters type in
// lower case.
std::vector<Key> digits(const std::string& number) {
  std::vector<Key> keys;
  for (const char digit : number) keys.push_back({static_cast<WORD>(digit)});
  return keys;
}

std::vector<Key> letters(const std::string& capitals) {
  return digits(capitals);
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

// Opens the dialog for `request` and has `user` answer it from a second
// thread, which only records what it sees: the test checks it afterwards.
// Should the dialog stay open after the user is done, it is cancelled, so a
// failing test ends; `closedByUser` tells.
struct Outcome {
  bool shown = false;
  bool closedByUser = false;
  std::optional<TaskOptions> answer;
  int helpCalls = 0;
};

Outcome answeredBy(const TaskOptionsRequest& request, const std::function<void(HWND)>& user,
                   std::atomic<int>& helpCalls) {
  Outcome outcome;
  DialogAnswerer answerer("#32770", kTitle, [&](HWND dialog) {
    user(dialog);
    outcome.closedByUser =
        testing::waitUntil([&] { return IsWindow(dialog) == FALSE; }, std::chrono::seconds{10});
    if (!outcome.closedByUser) testing::pressButton(dialog, IDCANCEL);
  });
  outcome.answer =
      showTaskOptionsDialog(GetModuleHandleA(nullptr), nullptr, request, [&] { ++helpCalls; });
  outcome.shown = answerer.answered();
  outcome.helpCalls = helpCalls;
  return outcome;
}

Outcome answeredBy(const TaskOptionsRequest& request, const std::function<void(HWND)>& user) {
  std::atomic<int> helpCalls = 0;
  return answeredBy(request, user, helpCalls);
}

TEST(TaskOptionsDialog, KeyboardSetsEveryOption) {
  HWND focus = nullptr;
  HWND wait = nullptr;
  int preselected = 0;
  bool limitOpen = true;
  bool catchUpOpen = true;
  std::string waitText;
  std::string limitCaption;
  std::string folderCaption;
  std::wstring folderHint(64, L'\0');
  bool pressed = false;
  const Outcome outcome = answeredBy(requestFor(TaskOptions{}), [&](HWND dialog) {
    focus = focusOf(dialog);
    wait = GetDlgItem(dialog, IDC_OPTIONS_WAIT);
    preselected = testing::defaultButton(dialog);
    limitOpen = enabled(dialog, IDC_OPTIONS_TIME_LIMIT);
    catchUpOpen = enabled(dialog, IDC_OPTIONS_CATCH_UP);
    waitText = testing::dialogItemText(dialog, IDC_OPTIONS_WAIT);
    limitCaption = testing::dialogItemText(dialog, IDC_OPTIONS_HAS_TIME_LIMIT);
    folderCaption = testing::dialogItemText(dialog, IDC_OPTIONS_FOLDER_LABEL);
    SendDlgItemMessageW(dialog, IDC_OPTIONS_FOLDER, EM_GETCUEBANNER,
                        reinterpret_cast<WPARAM>(folderHint.data()),
                        static_cast<LPARAM>(folderHint.size()));
    // Focus on a field selects its number, so typing replaces it.
    pressed =
        press(dialog, digits("15") + kTab + kSpace + kTab + digits("90") + kTab + kSpace + kTab +
                          digits("48") + kTab + digits("7") + kTab + letters("COPIES") + kEnter);
  });
  ASSERT_TRUE(outcome.shown);
  EXPECT_EQ(focus, wait);
  EXPECT_EQ(preselected, IDOK);
  EXPECT_FALSE(limitOpen);
  EXPECT_FALSE(catchUpOpen);
  EXPECT_EQ(waitText, "60");
  EXPECT_EQ(limitCaption, "&Time limit (minutes):");
  EXPECT_EQ(folderCaption, "&Backup folder:");
  EXPECT_EQ(folderHint.c_str(), std::wstring(L"Kiv backups beside the database"));
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(outcome.closedByUser);
  EXPECT_EQ(outcome.answer, (TaskOptions{minutes{15}, minutes{90}, hours{48}, 7, "copies"}));
}

// Each case: the keys pressed in a dialog opened on `shown`, and the options
// they leave (nothing: cancelled).
struct KeysCase {
  const char* name;
  TaskOptions shown;
  std::vector<Key> keys;
  std::optional<TaskOptions> answer;
};

void PrintTo(const KeysCase& c, std::ostream* os) {
  *os << c.name;
}

class Keys : public ::testing::TestWithParam<KeysCase> {};

TEST_P(Keys, LeaveTheirOptions) {
  bool pressed = false;
  const Outcome outcome = answeredBy(
      requestFor(GetParam().shown), [&](HWND dialog) { pressed = press(dialog, GetParam().keys); });
  ASSERT_TRUE(outcome.shown);
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(outcome.closedByUser);
  EXPECT_EQ(outcome.answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, Keys,
    ::testing::Values(KeysCase{"MnemonicsSwitchTheCheckBoxes",
                               TaskOptions{},
                               {{'T', true}, {'C', true}, {VK_RETURN}},
                               TaskOptions{minutes{60}, minutes{60}, hours{24}, 1, {}}},
                      KeysCase{"SpaceSwitchesOffTheTimeLimit", kAllSet, kTab + kSpace + kEnter,
                               TaskOptions{minutes{30}, std::nullopt, hours{12}, 5, "D:\\Copies"}},
                      KeysCase{"UpArrowCountsUp", kAllSet, std::vector<Key>{{VK_UP}} + kEnter,
                               TaskOptions{minutes{31}, minutes{90}, hours{12}, 5, "D:\\Copies"}},
                      // No more digits than 99 has.
                      KeysCase{"CopiesTakeTwoDigits", kAllSet,
                               kTab + kTab + kTab + kTab + kTab + digits("100") + kEnter,
                               TaskOptions{minutes{30}, minutes{90}, hours{12}, 10, "D:\\Copies"}},
                      KeysCase{"MnemonicsReachTheCopiesAndTheFolder", kAllSet,
                               std::vector<Key>{{'K', true}} + digits("0") +
                                   std::vector<Key>{{'B', true}} + letters("X") + kEnter,
                               TaskOptions{minutes{30}, minutes{90}, hours{12}, 0, "x"}},
                      KeysCase{"EscapeCancels", kAllSet, digits("5") + kTab + kSpace + kEscape,
                               std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

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
  bool pressed = false;
  bool refused = false;
  std::string refusal;
  bool focusBack = false;
  bool stillOpen = false;
  const Outcome outcome = answeredBy(requestFor(kAllSet), [&](HWND dialog) {
    std::vector<Key> keys;
    for (int tab = 0; tab < c.tabs; ++tab) keys = keys + kTab;
    DialogAnswerer box("#32770", "Kiv", [&](HWND message) {
      refusal = testing::dialogItemText(message, testing::kMessageBoxText);
      testing::pressButton(message, IDOK);
    });
    pressed = press(dialog, keys + digits(c.typed) + kEnter);
    refused = box.answered();
    HWND field = GetDlgItem(dialog, c.field);
    focusBack = testing::waitUntil([&] { return focusOf(dialog) == field; });
    stillOpen = IsWindowVisible(dialog) != FALSE;
    testing::pressButton(dialog, IDCANCEL);
  });
  ASSERT_TRUE(outcome.shown);
  EXPECT_TRUE(pressed);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refusal, c.refusal);
  EXPECT_TRUE(focusBack);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(outcome.answer, std::nullopt);
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

// OK says why the schedule file cannot hold the folder and leaves the dialog
// open with the focus back in the folder, which keeps every character.
TEST(TaskOptionsDialog, AFolderTheFileCannotHoldIsRefusedAndKeepsTheFocus) {
  const std::string typed(kLongestBackupFolder + 1, 'x');
  bool pressed = false;
  bool refused = false;
  std::string refusal;
  bool focusBack = false;
  std::string kept;
  const Outcome outcome = answeredBy(requestFor(kAllSet), [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_OPTIONS_FOLDER, toWide(typed).c_str());
    DialogAnswerer box("#32770", "Kiv", [&](HWND message) {
      refusal = testing::dialogItemText(message, testing::kMessageBoxText);
      testing::pressButton(message, IDOK);
    });
    pressed = press(dialog, kEnter);
    refused = box.answered();
    HWND field = GetDlgItem(dialog, IDC_OPTIONS_FOLDER);
    focusBack = testing::waitUntil([&] { return focusOf(dialog) == field; });
    kept = testing::dialogItemText(dialog, IDC_OPTIONS_FOLDER);
    testing::pressButton(dialog, IDCANCEL);
  });
  ASSERT_TRUE(outcome.shown);
  EXPECT_TRUE(pressed);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refusal, kFolderTooLong);
  EXPECT_TRUE(focusBack);
  EXPECT_EQ(kept, typed);
  EXPECT_EQ(outcome.answer, std::nullopt);
}

TEST(TaskOptionsDialog, LockedRequestOnlyShowsTheOptions) {
  std::vector<int> openFields;
  bool limitChecked = false;
  bool okShown = true;
  bool noteShown = false;
  std::string note;
  std::string close;
  int preselected = 0;
  bool pressed = false;
  const Outcome outcome = answeredBy(requestFor(kAllSet, true), [&](HWND dialog) {
    for (const int id : {IDC_OPTIONS_WAIT, IDC_OPTIONS_HAS_TIME_LIMIT, IDC_OPTIONS_TIME_LIMIT,
                         IDC_OPTIONS_HAS_CATCH_UP, IDC_OPTIONS_CATCH_UP, IDC_OPTIONS_BACKUPS,
                         IDC_OPTIONS_FOLDER}) {
      if (enabled(dialog, id)) openFields.push_back(id);
    }
    limitChecked = IsDlgButtonChecked(dialog, IDC_OPTIONS_HAS_TIME_LIMIT) == BST_CHECKED;
    okShown = IsWindowVisible(GetDlgItem(dialog, IDOK)) != FALSE;
    noteShown = IsWindowVisible(GetDlgItem(dialog, IDC_OPTIONS_LOCKED_NOTE)) != FALSE;
    note = testing::dialogItemText(dialog, IDC_OPTIONS_LOCKED_NOTE);
    close = testing::dialogItemText(dialog, IDCANCEL);
    preselected = testing::defaultButton(dialog);
    pressed = press(dialog, kEnter);
  });
  ASSERT_TRUE(outcome.shown);
  EXPECT_EQ(openFields, std::vector<int>{});
  EXPECT_TRUE(limitChecked);
  EXPECT_FALSE(okShown);
  EXPECT_TRUE(noteShown);
  EXPECT_EQ(note, "Decompile the task to change its options.");
  EXPECT_EQ(close, "Close");
  EXPECT_EQ(preselected, IDCANCEL);
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(outcome.closedByUser);
  EXPECT_EQ(outcome.answer, std::nullopt);
}

TEST(TaskOptionsDialog, HelpButtonAndF1AskForHelp) {
  std::atomic<int> helpCalls = 0;
  std::string help;
  bool byF1 = false;
  bool byButton = false;
  const Outcome outcome = answeredBy(
      requestFor(kAllSet),
      [&](HWND dialog) {
        help = testing::dialogItemText(dialog, IDHELP);
        byF1 = press(dialog, {{VK_F1}}) && testing::waitUntil([&] { return helpCalls == 1; });
        testing::pressButton(dialog, IDHELP);
        byButton = testing::waitUntil([&] { return helpCalls == 2; });
        press(dialog, kEscape);
      },
      helpCalls);
  ASSERT_TRUE(outcome.shown);
  EXPECT_EQ(help, "&Help");
  EXPECT_TRUE(byF1);
  EXPECT_TRUE(byButton);
  EXPECT_TRUE(outcome.closedByUser);
  EXPECT_EQ(outcome.helpCalls, 2);
  EXPECT_EQ(outcome.answer, std::nullopt);
}

}  // namespace
}  // namespace kiv
