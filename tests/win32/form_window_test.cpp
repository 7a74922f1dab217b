#include <gtest/gtest.h>

#include "windows_api.h"

#include <commctrl.h>
#include <dlgs.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "base/utf8_path.h"
#include "caption_ink.h"
#include "command_ids.h"
#include "dialog_answerer.h"
#include "drawn_geometry.h"
#include "form/form_layout.h"
#include "form_window.h"
#include "journal_folder.h"
#include "message_loop.h"
#include "registry_settings.h"
#include "schedule_file/schedule_file_io.h"
#include "shell/launch_journal.h"
#include "stand_in_record.h"
#include "twips.h"
#include "waiting.h"
#include "wide_text.h"
#include "win32_file_storage.h"
#include "win32_platform.h"
#include "window_text.h"

namespace kiv {
namespace {

using testing::DialogAnswerer;
using testing::pumpUntil;

// The Win32 Platform, but help requests are counted rather than opened.
class HelpRecordingPlatform : public Win32Platform {
 public:
  using Win32Platform::Win32Platform;
  void showHelp(int context) override { helpContexts.push_back(context); }
  std::vector<int> helpContexts;
};

// The real window of Kiv.exe, built by the same code, on the Win32 Platform,
// and driven with the messages that a user's actions send.
class FormWindowTest : public ::testing::Test {
 protected:
  FormWindowTest() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kiv");
    platform.setWindow(&window);
    form.Form_Load();
    ShowWindow(window.handle(), SW_SHOW);
    SetForegroundWindow(window.handle());
  }
  ~FormWindowTest() override {
    if (form.hook.hooked()) form.hook.UnhookWindow();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kiv");
  }

  HWND handleOf(const Control& control) const { return window.handleOf(control); }
  std::string textOf(const Control& control) const { return windowText(handleOf(control)); }
  DWORD styleOf(const Control& control) const {
    return static_cast<DWORD>(GetWindowLongA(handleOf(control), GWL_STYLE));
  }

  // What the user's actions send to the window.
  void select(const ComboBox& list, int index) const {
    HWND combo = handleOf(list);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }
  void type(const TextBox& box, const std::string& text) const {
    SetWindowTextW(handleOf(box), toWide(text).c_str());
  }
  void typeKeys(const TextBox& box, const std::string& keys) const {
    for (const char key : keys)
      SendMessageA(handleOf(box), WM_CHAR, static_cast<unsigned char>(key), 1);
  }
  void click(const Control& control) const { SendMessageA(handleOf(control), BM_CLICK, 0, 0); }
  void chooseMenu(const MenuItem& item) const {
    SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(ids.idOf(item), 0), 0);
  }
  // Ctrl with `key` pressed in the focused control, through the program's
  // message loop: the key-down, then whatever it is translated into.
  void pressWithCtrl(char key) const {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    MSG message{
        GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | (scanCode << 16)),
        0,          {}};
    handleMessage(window, message);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE)
      handleMessage(window, message);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  HMENU menuBar() const { return GetMenu(window.handle()); }
  UINT menuState(const MenuItem& item) const {
    return GetMenuState(menuBar(), static_cast<UINT>(ids.idOf(item)), MF_BYCOMMAND);
  }
  std::string menuText(const MenuItem& item) const {
    char text[128] = {};
    GetMenuStringA(menuBar(), static_cast<UINT>(ids.idOf(item)), text, sizeof text, MF_BYCOMMAND);
    return text;
  }

  // Task 3 with what compilation needs, the stand-in as the database program,
  // and a recurring time that never falls due while the test runs.
  void fillTaskThreeForTheStandIn() const {
    select(form.cmbTask, 2);
    type(form.TBox[kAccessLocationBox], testing::StandInRecord::program());
    type(form.TBox[kDatabaseLocationBox], R"(C:\Data\orders.mdb)");
    type(form.TBox[kLaunchAtBox], "12:30:??");
  }

  HelpRecordingPlatform platform{GetModuleHandleA(nullptr)};
  MainForm form{platform};
  FormWindow window{form, GetModuleHandleA(nullptr)};
  CommandIds ids{form};
};

TEST_F(FormWindowTest, DrawsEveryControlAtItsTwipPositionInTheFormFont) {
  const int dotsPerInch = screenDotsPerInch();
  RECT client{};
  GetClientRect(window.handle(), &client);
  EXPECT_EQ(client.right, twipsToPixels(layout::kClientWidth, dotsPerInch));
  EXPECT_EQ(client.bottom, twipsToPixels(layout::kClientHeight, dotsPerInch));

  const RECT frame = twipsToPixels(form.Frame1.geometry, dotsPerInch);
  int drawn = 0;
  for (const Control* control : form.controls()) {
    HWND handle = handleOf(*control);
    if (handle == nullptr) continue;
    ++drawn;
    const POINT origin = control == &form.Frame1 ? POINT{0, 0} : POINT{frame.left, frame.top};
    const RECT expected = twipsToPixels(drawnGeometry(form, *control), dotsPerInch, origin);
    RECT shown{};
    GetWindowRect(handle, &shown);
    MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT*>(&shown), 2);
    const std::string name = control->name() + "(" + std::to_string(control->index()) + ")";
    EXPECT_EQ(shown.left, expected.left) << name;
    EXPECT_EQ(shown.top, expected.top) << name;
    EXPECT_EQ(shown.right - shown.left, expected.right - expected.left) << name;
    // A drop-down list's window includes its dropped list.
    if (control->kind() != ControlKind::ComboBox) {
      EXPECT_EQ(shown.bottom - shown.top, expected.bottom - expected.top) << name;
    }
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma") << name;
    EXPECT_EQ(font.lfHeight, -MulDiv(825, dotsPerInch, 7200)) << name;
  }
  // The frame, 12 labels, 8 text boxes, 4 lists, 2 check boxes, 5 buttons.
  EXPECT_EQ(drawn, 32);
}

TEST_F(FormWindowTest, OrdersTheControlsForTabAsTheFormDoes) {
  const std::vector<const Control*> order{&form.cmbTask,
                                          &form.TBox[kTaskNameBox],
                                          &form.TBox[kLaunchAtBox],
                                          &form.TBox[kUserNameBox],
                                          &form.TBox[kPasswordBox],
                                          &form.cmbVer,
                                          &form.cmbAction,
                                          &form.TBox[kAccessLocationBox],
                                          &form.Command1[0]};
  // TBox 3 is hidden; the walk starts before the first control.
  HWND stop = GetNextDlgTabItem(window.handle(), nullptr, FALSE);
  for (const Control* control : order) {
    EXPECT_EQ(stop, handleOf(*control)) << control->name() << "(" << control->index() << ")";
    stop = GetNextDlgTabItem(window.handle(), stop, FALSE);
  }
}

TEST_F(FormWindowTest, ShowsTheFirstTaskAsTheFormLoadedIt) {
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "00:00:00");
  EXPECT_EQ(textOf(form.TBox[kUserNameBox]), "Admin");
  EXPECT_EQ(textOf(form.Lbl1[kSecurityFileLabel]), "Location of MDW file");
  // Showing the task ran the compile toggle, which names the button after the menu item.
  EXPECT_EQ(textOf(form.cmdCompile), "Co&mpile task");
  EXPECT_EQ(textOf(form.Check1), "C&lose KIV after running?");
  EXPECT_EQ(SendMessageA(handleOf(form.cmbTask), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageA(handleOf(form.cmbVer), CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(SendMessageA(handleOf(form.cmbTask), CB_GETCOUNT, 0, 0), 30);
  EXPECT_EQ(SendMessageA(handleOf(form.cmbAction), CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(handleOf(form.cmbDays), CB_GETCOUNT, 0, 0), 14);
  char entry[32] = {};
  SendMessageA(handleOf(form.cmbDays), CB_GETLBTEXT, 13, reinterpret_cast<LPARAM>(entry));
  EXPECT_STREQ(entry, "Last weekday of month");

  EXPECT_EQ(styleOf(form.TBox[kMacroBox]) & WS_VISIBLE, 0U);
  EXPECT_EQ(styleOf(form.Lbl1[kMacroLabel]) & WS_VISIBLE, 0U);
  EXPECT_NE(styleOf(form.TBox[kAccessLocationBox]) & WS_VISIBLE, 0U);
  EXPECT_FALSE(IsWindowEnabled(handleOf(form.cmdRun)));
  EXPECT_EQ(SendMessageA(handleOf(form.TBox[kPasswordBox]), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessageA(handleOf(form.TBox[kTaskNameBox]), EM_GETLIMITTEXT, 0, 0), 50);
  // CBS_DROPDOWNLIST: the lists take no typed text.
  EXPECT_EQ(styleOf(form.cmbVer) & 3U, static_cast<DWORD>(CBS_DROPDOWNLIST));
}

TEST_F(FormWindowTest, CarriesTheFormsMenusWithTheirShortcuts) {
  HMENU bar = menuBar();
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  const char* const menus[] = {"&Schedule", "&Task", "&Help"};
  for (int position = 0; position < 3; ++position) {
    char text[32] = {};
    GetMenuStringA(bar, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, menus[position]);
  }
  EXPECT_EQ(menuText(form.mnuNew), "&New\tCtrl+N");
  EXPECT_EQ(menuText(form.mnuSaveAs), "Save &as\tCtrl+A");
  EXPECT_EQ(menuText(form.mnuAbout), "&About");
  // The Access menu is never on the bar.
  EXPECT_EQ(menuText(form.mnuStore), "");
  EXPECT_NE(menuState(form.mnuSave) & MF_GRAYED, 0U);
  EXPECT_NE(menuState(form.mnuRun) & MF_GRAYED, 0U);
  EXPECT_EQ(menuState(form.mnuNew) & MF_GRAYED, 0U);
  // Read wide: the ellipsis has no place in every ANSI code page.
  wchar_t options[32] = {};
  GetMenuStringW(menuBar(), static_cast<UINT>(ids.idOf(form.mnuOptions)), options, 32,
                 MF_BYCOMMAND);
  EXPECT_EQ(fromWide(options), "&Options\u2026");
  EXPECT_EQ(menuState(form.mnuOptions) & MF_GRAYED, 0U);

  const HACCEL table = window.menu().accelerators();
  std::vector<ACCEL> accelerators(
      static_cast<std::size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
  CopyAcceleratorTableA(table, accelerators.data(), static_cast<int>(accelerators.size()));
  auto has = [&](BYTE flags, WORD key, int command) {
    for (const ACCEL& accelerator : accelerators) {
      if (accelerator.fVirt == flags && accelerator.key == key && accelerator.cmd == command)
        return true;
    }
    return false;
  };
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'N', ids.idOf(form.mnuNew)));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'X', ids.idOf(form.mnuExit)));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'E', ids.idOf(form.mnuErase)));
  // F1 is no shortcut: the system turns it into WM_HELP.
  EXPECT_EQ(accelerators.size(), 9U);
}

TEST_F(FormWindowTest, ShowsWhatTheFormChanges) {
  form.TBox[kTaskNameBox].setText("Nightly \xC3\xA9");
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "Nightly \xC3\xA9");
  form.cmbDays.setListIndex(3);
  EXPECT_EQ(SendMessageA(handleOf(form.cmbDays), CB_GETCURSEL, 0, 0), 3);
  form.Check2.setValue(CheckBox::kChecked);
  EXPECT_EQ(SendMessageA(handleOf(form.Check2), BM_GETCHECK, 0, 0), BST_CHECKED);
  form.Check2.setValue(CheckBox::kGrayed);
  EXPECT_EQ(SendMessageA(handleOf(form.Check2), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(menuState(form.mnuSave) & MF_GRAYED, 0U);
  form.cmbAction.setListIndex(1);
  EXPECT_NE(styleOf(form.TBox[kMacroBox]) & WS_VISIBLE, 0U);
  form.KIV.setCaption("Kiv - now");
  EXPECT_EQ(windowText(window.handle()), "Kiv - now");
}

TEST_F(FormWindowTest, HandsTheUsersEditsToTheShownTask) {
  select(form.cmbTask, 2);
  EXPECT_EQ(form.cmbTask.listIndex(), 2);
  type(form.TBox[kTaskNameBox], "Weekly compact");
  type(form.TBox[kAccessLocationBox], R"(C:\Office\msaccess.exe)");
  select(form.cmbDays, 1);
  click(form.Check2);
  select(form.cmbVer, 0);

  const Task& task = form.tasks[2];
  EXPECT_EQ(task.TaskName, "Weekly compact");
  EXPECT_EQ(task.AccessLocation, R"(C:\Office\msaccess.exe)");
  EXPECT_EQ(task.DaysToRunOn, 1);
  EXPECT_EQ(task.OpenExclusively, 1);
  EXPECT_EQ(task.Version, 0);
  // The form answered the edits: the label follows the version, Save is open.
  EXPECT_EQ(textOf(form.Lbl1[kSecurityFileLabel]), "Location of INI file");
  EXPECT_EQ(menuState(form.mnuSave) & MF_GRAYED, 0U);

  select(form.cmbTask, 0);
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "");
  select(form.cmbTask, 2);
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "Weekly compact");
}

TEST_F(FormWindowTest, PassesTypedCharactersThroughTheLaunchTimeFilter) {
  HWND launchAt = handleOf(form.TBox[kLaunchAtBox]);
  SendMessageA(launchAt, EM_SETSEL, 0, 0);
  typeKeys(form.TBox[kLaunchAtBox], "123");
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "12:00:00");
  typeKeys(form.TBox[kLaunchAtBox], ":30");
  EXPECT_EQ(form.tasks[0].LaunchAt, "12:30:00");
  DWORD caret = 0;
  SendMessageA(launchAt, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  EXPECT_EQ(caret, 5U);
  typeKeys(form.TBox[kLaunchAtBox], ":?\b");
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "12:30:?0");
  typeKeys(form.TBox[kLaunchAtBox], "xx");
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "12:30:?0");

  // The other boxes take every key.
  SendMessageA(handleOf(form.TBox[kTaskNameBox]), EM_SETSEL, 0, 0);
  typeKeys(form.TBox[kTaskNameBox], "a?:");
  EXPECT_EQ(form.tasks[0].TaskName, "a?:");
}

TEST_F(FormWindowTest, CompilesAndRunsTheShownTaskWithItsCommandLineAsItStands) {
  fillTaskThreeForTheStandIn();
  click(form.cmdCompile);
  const Task& task = form.tasks[2];
  ASSERT_EQ(task.Compiled, 1);
  EXPECT_FALSE(task.CommandLine.empty());
  EXPECT_TRUE(IsWindowEnabled(handleOf(form.cmdRun)));
  EXPECT_FALSE(IsWindowEnabled(handleOf(form.TBox[kAccessLocationBox])));
  EXPECT_EQ(textOf(form.cmdCompile), "Deco&mpile task");
  EXPECT_EQ(menuText(form.mnuCompile), "Deco&mpile\tCtrl+M");
  EXPECT_EQ(menuState(form.mnuRun) & MF_GRAYED, 0U);

  const testing::StandInRecord record;
  click(form.cmdRun);
  EXPECT_EQ(record.commandLine(), task.CommandLine);
}

// The window's tick collects the programs the platform started: one that
// fails is journalled with its status, under the process id it was launched
// with.
TEST_F(FormWindowTest, JournalsHowAProgramStartedByRunNowEnded) {
  const testing::JournalFolder journal;
  fillTaskThreeForTheStandIn();
  click(form.cmdCompile);
  const testing::StandInRecord record;
  record.exitWith(5);

  click(form.cmdRun);
  ASSERT_TRUE(pumpUntil([&] { return journal.lines().size() == 2; }));

  const std::vector<std::string> lines = journal.lines();
  const auto launch = parseJournalLine(lines[0]);
  const auto ended = parseJournalLine(lines[1]);
  ASSERT_TRUE(launch && std::holds_alternative<LaunchRecord>(*launch)) << lines[0];
  ASSERT_TRUE(ended && std::holds_alternative<EndedRecord>(*ended)) << lines[1];
  const LaunchRecord& launched = std::get<LaunchRecord>(*launch);
  const EndedRecord& end = std::get<EndedRecord>(*ended);
  EXPECT_EQ(launched.how, LaunchHow::OnDemand);
  ASSERT_TRUE(launched.pid) << lines[0];
  EXPECT_EQ(end.pid, *launched.pid);
  EXPECT_EQ(end.task, 3);
  EXPECT_EQ(end.outcome.kind, ProgramOutcome::Kind::Exited);
  EXPECT_EQ(end.outcome.code, 5);
  EXPECT_TRUE(end.outcome.duration);
}

TEST_F(FormWindowTest, DrawsTheLaunchTimeInTheFormsTextColour) {
  fillTaskThreeForTheStandIn();
  click(form.cmdCompile);
  HDC context = GetDC(handleOf(form.TBox[kLaunchAtBox]));
  SendMessageA(window.handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
               reinterpret_cast<LPARAM>(handleOf(form.TBox[kLaunchAtBox])));
  EXPECT_EQ(GetTextColor(context), RGB(255, 0, 0));
  click(form.cmdCompile);
  SendMessageA(window.handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
               reinterpret_cast<LPARAM>(handleOf(form.TBox[kLaunchAtBox])));
  EXPECT_EQ(GetTextColor(context), RGB(0, 0, 0));
  ReleaseDC(handleOf(form.TBox[kLaunchAtBox]), context);
}

TEST_F(FormWindowTest, RunsMenuCommandsFromTheMenuAndFromTheirShortcuts) {
  fillTaskThreeForTheStandIn();
  chooseMenu(form.mnuCompile);
  EXPECT_EQ(form.tasks[2].Compiled, 1);

  // Ctrl+M in a text box: the shortcut wins over the box.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  MSG message{handleOf(form.TBox[kLaunchAtBox]), WM_KEYDOWN, 'M', 1, 0, {}};
  const bool handled = window.preTranslate(message);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(handled);
  EXPECT_EQ(form.tasks[2].Compiled, 0);
}

// Ctrl+X and Ctrl+A are also Exit and Save as. In a text box they cut and
// select, in the launch-time box they do nothing, and from any other control
// they choose their menu items.
TEST_F(FormWindowTest, LeavesTheClipboardAndSelectionKeysToAFocusedTextBox) {
  int exits = 0;
  int savesAs = 0;
  form.mnuExit.onClick = [&exits] { ++exits; };
  form.mnuSaveAs.onClick = [&savesAs] { ++savesAs; };
  HWND name = handleOf(form.TBox[kTaskNameBox]);
  type(form.TBox[kTaskNameBox], "Nightly compact");
  SetFocus(name);
  SendMessageW(name, EM_SETSEL, 0, 8);

  pressWithCtrl('X');
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "compact");
  EXPECT_EQ(form.tasks[0].TaskName, "compact");
  pressWithCtrl('A');
  DWORD start = 1;
  DWORD end = 0;
  SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0U);
  EXPECT_EQ(end, 7U);

  HWND launchAt = handleOf(form.TBox[kLaunchAtBox]);
  SetFocus(launchAt);
  SendMessageW(launchAt, EM_SETSEL, 0, 2);
  pressWithCtrl('X');
  pressWithCtrl('A');
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "00:00:00");
  SendMessageW(launchAt, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end - start, 2U);
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(savesAs, 0);

  SetFocus(handleOf(form.cmbTask));
  pressWithCtrl('X');
  pressWithCtrl('A');
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(savesAs, 1);
}

TEST_F(FormWindowTest, AsksBeforeClosingAndKeepsRunningWhenTheUserCancels) {
  std::string question;
  DialogAnswerer cancel("#32770", "Kiv", [&](HWND box) {
    question = testing::dialogItemText(box, testing::kMessageBoxText);
    testing::pressButton(box, IDCANCEL);
  });
  SendMessageA(window.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(cancel.answered());
  EXPECT_EQ(question, "Do you want to retain the system tray icon?");
  EXPECT_TRUE(IsWindowVisible(window.handle()));

  DialogAnswerer keepIcon("#32770", "Kiv", [](HWND box) { testing::pressButton(box, IDYES); });
  SendMessageA(window.handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(keepIcon.answered());
  EXPECT_TRUE(IsWindow(window.handle()));
  EXPECT_FALSE(IsWindowVisible(window.handle()));
}

TEST_F(FormWindowTest, HooksTheWindowAndShowsItFromTheNotificationArea) {
  const LONG ownProcedure = GetWindowLongA(window.handle(), GWL_WNDPROC);
  form.Main();
  EXPECT_NE(GetWindowLongA(window.handle(), GWL_WNDPROC), ownProcedure);

  ShowWindow(window.handle(), SW_HIDE);
  // The icon's callback: a left press over the icon.
  SendMessageA(window.handle(), 516, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(window.handle()));

  // The hook brings a vanished icon back when the application is activated.
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Delete, form.tray.TrayData));
  SendMessageA(window.handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Delete, form.tray.TrayData));

  form.hook.UnhookWindow();
  EXPECT_EQ(GetWindowLongA(window.handle(), GWL_WNDPROC), ownProcedure);
}

TEST_F(FormWindowTest, AddsModifiesAndDeletesTheIconWithTheFormsRecord) {
  form.tray.SetTrayIcon(true);
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Modify, form.tray.TrayData));
  EXPECT_FALSE(platform.notifyIcon(TrayOperation::Add, form.tray.TrayData));
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Delete, form.tray.TrayData));
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Add, form.tray.TrayData));
  EXPECT_TRUE(platform.notifyIcon(TrayOperation::Delete, form.tray.TrayData));
}

TEST_F(FormWindowTest, FollowsTheFocusBothWays) {
  SetFocus(handleOf(form.TBox[kUserNameBox]));
  EXPECT_EQ(form.activeControl(), &form.TBox[kUserNameBox]);
  SetFocus(handleOf(form.cmbDays));
  EXPECT_EQ(form.activeControl(), &form.cmbDays);
  form.setFocus(form.TBox[kDatabaseLocationBox]);
  EXPECT_EQ(GetFocus(), handleOf(form.TBox[kDatabaseLocationBox]));
}

TEST_F(FormWindowTest, RefusesAMalformedLaunchTimeWhenTheBoxIsLeftAndReturnsTheFocus) {
  type(form.TBox[kLaunchAtBox], "7:30:00");
  SetFocus(handleOf(form.TBox[kLaunchAtBox]));
  std::string message;
  DialogAnswerer ok("#32770", "Kiv", [&](HWND box) {
    message = testing::dialogItemText(box, testing::kMessageBoxText);
    testing::pressButton(box, IDOK);
  });
  SetFocus(handleOf(form.TBox[kUserNameBox]));
  ASSERT_TRUE(ok.answered());
  EXPECT_EQ(message, "Enter the time in hh:mm:ss format.");
  EXPECT_EQ(GetFocus(), handleOf(form.TBox[kLaunchAtBox]));
  EXPECT_EQ(form.activeControl(), &form.TBox[kLaunchAtBox]);
  EXPECT_EQ(textOf(form.TBox[kLaunchAtBox]), "7:30:00");
}

TEST_F(FormWindowTest, TicksEverySecondAndShowsTheClockInTheCaption) {
  ASSERT_EQ(windowText(window.handle()), "KIV");
  EXPECT_TRUE(pumpUntil([&] { return windowText(window.handle()).starts_with("Kiv - "); }));
  EXPECT_EQ(windowText(window.handle()), form.KIV.caption());
}

// What the Access pop-up over a location box offers; the user then types the
// mnemonic of an item.
struct PopupItems {
  std::vector<std::string> captions;
  std::vector<bool> enabled;
};

void chooseByMnemonic(HWND popup, char mnemonic, PopupItems& seen) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    seen.captions.emplace_back(text);
    seen.enabled.push_back(
        (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) == 0);
  }
  PostMessageA(popup, WM_CHAR, static_cast<WPARAM>(mnemonic), 0);
}

TEST_F(FormWindowTest, StoresAndRetrievesALocationThroughThePopUpOfADoubleClick) {
  const std::string access = R"(C:\Office\msaccess.exe)";
  type(form.TBox[kAccessLocationBox], access);
  SetFocus(handleOf(form.TBox[kAccessLocationBox]));
  PopupItems storing;
  DialogAnswerer store("#32768", "", [&](HWND popup) { chooseByMnemonic(popup, 's', storing); });
  SendMessageA(handleOf(form.TBox[kAccessLocationBox]), WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(4, 4));
  ASSERT_TRUE(store.answered());
  EXPECT_EQ(storing.captions, (std::vector<std::string>{"&Store as default", "&Retrieve default"}));
  EXPECT_EQ(storing.enabled, (std::vector<bool>{true, false}));
  EXPECT_EQ(readRegistrySetting("Kiv", "FileLoc", "4"), access);

  select(form.cmbTask, 1);
  SetFocus(handleOf(form.TBox[kAccessLocationBox]));
  PopupItems retrieving;
  DialogAnswerer retrieve("#32768", "",
                          [&](HWND popup) { chooseByMnemonic(popup, 'r', retrieving); });
  SendMessageA(handleOf(form.TBox[kAccessLocationBox]), WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(4, 4));
  ASSERT_TRUE(retrieve.answered());
  EXPECT_EQ(retrieving.enabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(textOf(form.TBox[kAccessLocationBox]), access);
  EXPECT_EQ(form.tasks[1].AccessLocation, access);
}

// A later start's command line reaches the form through the window's
// WM_COPYDATA, and is acted on from the message loop: the running window
// opens the schedule, named relative to the later start's folder, and shows.
TEST_F(FormWindowTest, TakesOverTheCommandLineOfALaterStart) {
  ShowWindow(window.handle(), SW_HIDE);
  wchar_t temporary[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temporary);
  // The hand-over carries UTF-8, so a name beyond the ANSI code page arrives whole.
  const std::string folder = fromWide(temporary);
  const std::string schedule = folder + "handed-over \xCE\xA9.kiv";
  TaskTable tasks;
  tasks[0].TaskName = "Handed over";
  Win32FileStorage storage;
  ASSERT_TRUE(writeScheduleFile(pathFromUtf8(schedule), tasks, storage));

  std::string message = folder + '\0' + "/o handed-over \xCE\xA9.kiv";
  COPYDATASTRUCT data{0x4B495631, static_cast<DWORD>(message.size()), message.data()};
  EXPECT_EQ(SendMessageW(window.handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_EQ(form.ScheduleFileName, "");  // not yet: the sender is let go first

  ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(window.handle()) != FALSE; }));
  EXPECT_EQ(form.tasks[0].TaskName, "Handed over");
  EXPECT_EQ(pathFromUtf8(form.ScheduleFileName), pathFromUtf8(schedule));

  // Data of any other kind is not the window's.
  COPYDATASTRUCT other{7, static_cast<DWORD>(message.size()), message.data()};
  EXPECT_EQ(SendMessageW(window.handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other)), 0);
  form.Form_Load();
  DeleteFileW(toWide(schedule).c_str());
}

}  // namespace
}  // namespace kiv

namespace kiv {
namespace {

std::string temporaryFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return fromWide(folder);
}

void putOnClipboard(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// Greek is outside Windows-1252, the ANSI code page of the tests' Windows.
const std::wstring kTypedName = L"\u03A9mega \u03B1\u03B2\u03B3 \u00E9";
const std::string kTypedNameUtf8 = "\xCE\xA9mega \xCE\xB1\xCE\xB2\xCE\xB3 \xC3\xA9";
const std::string kPastedDatabase =
    "C:\\w32\\\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1-\xCE\x94.mdb";  // C:\w32\Ωμέγα-Δ.mdb

TEST_F(FormWindowTest, KeepsWhatTheUserTypesAndPastesAndStartsItExactly) {
  fillTaskThreeForTheStandIn();
  // Typed: one WM_CHAR for each UTF-16 code unit, as the keyboard sends them.
  HWND name = handleOf(form.TBox[7]);
  SetFocus(name);
  for (const wchar_t unit : kTypedName) SendMessageW(name, WM_CHAR, unit, 1);
  // Pasted over the whole text of the database box.
  HWND database = handleOf(form.TBox[5]);
  SetFocus(database);
  SendMessageW(database, EM_SETSEL, 0, -1);
  putOnClipboard(toWide(kPastedDatabase));
  SendMessageW(database, WM_PASTE, 0, 0);

  const Task& task = form.tasks[2];
  EXPECT_EQ(task.TaskName, kTypedNameUtf8);
  EXPECT_EQ(task.DatabaseLocation, kPastedDatabase);
  // Shown again from the core after another task.
  select(form.cmbTask, 0);
  select(form.cmbTask, 2);
  EXPECT_EQ(textOf(form.TBox[7]), kTypedNameUtf8);
  EXPECT_EQ(textOf(form.TBox[5]), kPastedDatabase);

  click(form.cmdCompile);
  ASSERT_EQ(task.Compiled, 1);
  ASSERT_NE(task.CommandLine.find("\"" + kPastedDatabase + "\""), std::string::npos)
      << task.CommandLine;
  const testing::StandInRecord record;
  click(form.cmdRun);
  EXPECT_EQ(record.commandLine(), task.CommandLine);
}

TEST_F(FormWindowTest, RefusesToSaveACharacterTheCodePageLacksAndWritesNothing) {
  type(form.TBox[7], kTypedNameUtf8);
  const std::filesystem::path folder = std::filesystem::path(toWide(temporaryFolder())) /
                                       ("kiv-save-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directory(folder);
  const std::string target = fromWide((folder / "greek.kiv").wstring());

  DialogAnswerer saveAs("#32770", "Save As", [&](HWND dialog) {
    HWND field = GetDlgItem(dialog, cmb13);
    if (field == nullptr) field = GetDlgItem(dialog, edt1);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWide(target).c_str()));
    testing::pressButton(dialog, IDOK);
  });
  std::string message;
  DialogAnswerer refusal("#32770", "Kiv", [&](HWND box) {
    message = testing::dialogItemText(box, testing::kMessageBoxText);
    testing::pressButton(box, IDOK);
  });
  chooseMenu(form.mnuSaveAs);
  ASSERT_TRUE(saveAs.answered());
  ASSERT_TRUE(refusal.answered());

  // The message the core gives on every system, naming the character.
  EXPECT_EQ(message,
            "Task 1, TaskName: the character \"\xCE\xA9\" (U+03A9) at position 1 has no form in "
            "the Windows-1252 code page.");
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  // Nothing was saved: the schedule still has changes to save.
  EXPECT_EQ(form.tasks[0].TaskName, kTypedNameUtf8);
  std::filesystem::remove_all(folder);
}

// A key pressed on the keyboard, through the system's input queue.
void pressKey(WORD key) {
  INPUT presses[2] = {};
  for (INPUT& press : presses) {
    press.type = INPUT_KEYBOARD;
    press.ki.wVk = key;
  }
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, presses, sizeof(INPUT));
}

TEST_F(FormWindowTest, AsksForHelpOncePerF1) {
  SetForegroundWindow(window.handle());
  SetFocus(handleOf(form.TBox[1]));
  ASSERT_EQ(GetFocus(), handleOf(form.TBox[1]));
  pressKey(VK_F1);
  // The program's own loop handles what the key brings, for a while after
  // the first request too: a second one would come with it.
  const auto pumpFor = [&](std::chrono::milliseconds limit, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
      MSG message{};
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        handleMessage(window, message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  };
  pumpFor(std::chrono::seconds{10}, [&] { return !platform.helpContexts.empty(); });
  pumpFor(std::chrono::milliseconds{800}, [] { return false; });
  EXPECT_EQ(platform.helpContexts, std::vector<int>{form.TBox[1].helpContext});
}

// What a control needs around its caption's ink, in pixels: the inset of a
// list's text (which keeps it off the arrow), a push button's edges, and a
// check box's box and the gap before its text.
constexpr int kListTextInset = 2;
constexpr int kButtonEdge = 4;
constexpr int kCheckGap = 4;

HFONT fontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

int clientWidth(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.right;
}

std::vector<std::string> listItems(HWND combo) {
  std::vector<std::string> items;
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, item, 0)),
                      L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text.data()));
    items.push_back(fromWide(text));
  }
  return items;
}

// Every caption the control shows now, and for a list every entry it can
// show, each with the room the control gives it.
struct CaptionRoom {
  std::string caption;
  int needed;
  int room;
};

std::vector<CaptionRoom> captionRooms(const Control& control, HWND handle) {
  const HFONT font = fontOf(handle);
  const std::string caption = windowText(handle);
  const int ink = testing::captionInk(font, caption);
  switch (control.kind()) {
    case ControlKind::Label:
      return {{caption, ink, clientWidth(handle)}};
    case ControlKind::CommandButton:
      return {{caption, ink + 2 * kButtonEdge, clientWidth(handle)}};
    case ControlKind::CheckBox:
      return {{caption, ink + GetSystemMetrics(SM_CXMENUCHECK) + kCheckGap, clientWidth(handle)}};
    case ControlKind::ComboBox: {
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      GetComboBoxInfo(handle, &info);
      const int field = info.rcItem.right - info.rcItem.left;
      const int list = clientWidth(info.hwndList);
      std::vector<CaptionRoom> rooms;
      for (const std::string& item : listItems(handle)) {
        const int needed = testing::captionInk(font, item) + 2 * kListTextInset;
        rooms.push_back({item + " (field)", needed, field});
        rooms.push_back({item + " (list)", needed, list});
      }
      return rooms;
    }
    default:
      return {};
  }
}

TEST_F(FormWindowTest, ShowsEveryCaptionWholeInEveryState) {
  fillTaskThreeForTheStandIn();
  const auto expectEveryCaptionFits = [&](const std::string& state) {
    for (const Control* control : form.controls()) {
      HWND handle = handleOf(*control);
      if (handle == nullptr || IsWindowVisible(handle) == FALSE) continue;
      for (const CaptionRoom& caption : captionRooms(*control, handle)) {
        EXPECT_LE(caption.needed, caption.room) << control->name() << "(" << control->index()
                                                << ") \"" << caption.caption << "\" when " << state;
      }
    }
  };
  // Every version and action changes captions: the security file's label, the
  // macro's label.
  for (int version = 0; version < 6; ++version) {
    for (int action = 0; action < 5; ++action) {
      select(form.cmbVer, version);
      select(form.cmbAction, action);
      expectEveryCaptionFits("version " + std::to_string(version) + ", action " +
                             std::to_string(action));
    }
  }
  select(form.cmbAction, 0);
  click(form.cmdCompile);
  ASSERT_EQ(form.tasks[2].Compiled, 1);
  expectEveryCaptionFits("compiled");
}

TEST_F(FormWindowTest, WidensAControlOnlyIntoRoomNoOtherControlTakes) {
  const int dotsPerInch = screenDotsPerInch();
  for (const Control* widened : form.controls()) {
    const TwipsRect drawn = drawnGeometry(form, *widened);
    if (drawn == widened->geometry) continue;
    EXPECT_GT(drawn.width, widened->geometry.width) << widened->name();
    EXPECT_EQ(drawn.left, widened->geometry.left) << widened->name();
    EXPECT_EQ(drawn.top, widened->geometry.top) << widened->name();
    EXPECT_EQ(drawn.height, widened->geometry.height) << widened->name();
    const RECT place = twipsToPixels(drawn, dotsPerInch);
    for (const Control* other : form.controls()) {
      if (other == widened || other == &form.Frame1 || handleOf(*other) == nullptr) continue;
      const RECT otherPlace = twipsToPixels(drawnGeometry(form, *other), dotsPerInch);
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &place, &otherPlace))
          << widened->name() << " meets " << other->name() << "(" << other->index() << ")";
    }
  }
}

}  // namespace
}  // namespace kiv
