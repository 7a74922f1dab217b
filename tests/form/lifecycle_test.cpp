#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::FormTest;
using testing::TempFolder;
using testing::writeAll;
using Events = std::vector<std::string>;
using A = MessageAnswer;

constexpr const char* kRetainQuestion = "message: Do you want to retain the system tray icon?";
constexpr const char* kSaveQuestion = "message: Save this schedule?";
const Events kEnding{"tray delete", "unhook", "end"};

Events joined(Events first, const Events& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// Every stored field of every task is at its default: the encoded table is
// that of a fresh one.
bool atDefaults(const TaskTable& tasks) {
  return encodeSchedule(tasks).value() == encodeSchedule(TaskTable{}).value();
}

// Puts "shown: <name>" into the platform's event log whenever the window
// starts showing a named task, so a load can be placed among the calls.
class ShownTaskLog : public FormObserver {
 public:
  ShownTaskLog(MainForm& form, FakePlatform& platform) : form_(form), platform_(platform) {}
  void propertyChanged(const Control& control, Property property) override {
    if (&control == &form_.TBox[kTaskNameBox] && property == Property::Text &&
        !form_.TBox[kTaskNameBox].text().empty()) {
      platform_.events.push_back("shown: " + form_.TBox[kTaskNameBox].text());
    }
  }
  void focusChanged(const Control*) override {}

 private:
  MainForm& form_;
  FakePlatform& platform_;
};

// ---------------------------------------------------------------- Start-up

struct StartCase {
  const char* name;
  std::string arguments;             // "{file}" stands for the path of a schedule that exists
  std::vector<std::string> dialogs;  // scripted open-dialog answers; "" cancels, "{file}" picks
  Events events;                     // {file} and {damaged} expanded
  bool loaded;                       // the schedule file's tasks are in the table
  int shown;                         // cmbTask's index afterwards
  std::string commandText;
};

void PrintTo(const StartCase& c, std::ostream* os) {
  *os << c.name;
}

class StartUp : public ::testing::TestWithParam<StartCase> {
 protected:
  void SetUp() override {
    TaskTable tasks;
    tasks[0].TaskName = "Nightly";
    tasks[17].DatabaseLocation = "/srv/eighteen.mdb";
    schedule = encodeSchedule(tasks).value();
    writeAll(folder.path() / "Nightly S.kiv", schedule);
    damaged = schedule;
    damaged[0] = 127;  // task 1's name claims more than a slot holds
    writeAll(folder.path() / "Damaged.kiv", damaged);
    form.addObserver(&log);
  }

  std::string expand(std::string text) const {
    for (const auto& [token, value] :
         {std::pair<std::string, std::string>{"{file}", (folder.path() / "Nightly S.kiv").string()},
          {"{damaged}", (folder.path() / "Damaged.kiv").string()},
          {"{missing}", (folder.path() / "Missing.kiv").string()},
          {"{failure}", std::to_string(file_error::kSlotTooLong) + ": " +
                            decodeSchedule(damaged).error().description}}) {
      for (auto at = text.find(token); at != std::string::npos; at = text.find(token)) {
        text.replace(at, token.size(), value);
      }
    }
    return text;
  }

  TempFolder folder;
  std::vector<std::uint8_t> schedule;
  std::vector<std::uint8_t> damaged;
  FakePlatform platform;
  MainForm form{platform};
  ShownTaskLog log{form, platform};
};

TEST_P(StartUp, LoadsHiddenThenHooksThenAddsTheIcon) {
  const StartCase& c = GetParam();
  platform.arguments = expand(c.arguments);
  for (const std::string& choice : c.dialogs) {
    platform.fileChoices.push_back({{choice.empty() ? 0 : 1, 0}, expand(choice)});
  }

  form.Main();

  Events expected;
  for (const std::string& event : c.events) expected.push_back(expand(event));
  EXPECT_EQ(platform.events, expected);
  EXPECT_TRUE(platform.fileChoices.empty());
  EXPECT_EQ(platform.windowShows, 0);
  EXPECT_EQ(platform.trayCalls.back().second.szTip.rfind("Kiv - Kivander v7.0.0 ", 0), 0U);
  EXPECT_EQ(form.ScheduleFileName, c.loaded ? expand("{file}") : "");
  EXPECT_FALSE(form.mnuSave.enabled());
  EXPECT_EQ(form.cmbTask.listIndex(), c.shown);
  EXPECT_EQ(encodeSchedule(form.tasks).value() == schedule, c.loaded);
  if (!c.loaded) {
    EXPECT_TRUE(atDefaults(form.tasks));
  }
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), c.loaded ? "Nightly" : "");
  EXPECT_EQ(form.CommandText, expand(c.commandText));
}

const char* const kNotLoadable =
    "message: Schedule '{arg}' could not be loaded; check the path & filename are valid.";

std::string notLoadable(const std::string& named) {
  std::string text = kNotLoadable;
  return text.replace(text.find("{arg}"), 5, named);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lifecycle, StartUp,
    ::testing::Values(
        // name, arguments, open dialog answers, events, loaded, shown, CommandText
        StartCase{"no command line", "", {}, {"hook", "tray add"}, false, 0, ""},
        StartCase{"/o with a schedule", "/o {file}", {},
                  {"shown: Nightly", "hook", "tray add"}, true, 0, "DUM"},
        StartCase{"/O is not the switch", "/O {file}", {}, {"hook", "tray add"}, false, 0,
                  "/O {file}"},
        StartCase{"/o without its blank", "/o{file}", {}, {"hook", "tray add"}, false, 0,
                  "/o{file}"},
        StartCase{"one pair of quotation marks around the name is taken away",
                  "/o \"{file}\"", {}, {"shown: Nightly", "hook", "tray add"}, true, 0, "DUM"},
        // Relative names are resolved against the current folder, here "/".
        StartCase{"a quotation mark left open stays part of the name", "/o \"{file}", {},
                  {notLoadable("/\"{file}"), "hook", "tray add"}, false, 0, "DUM"},
        StartCase{"a second blank stays part of the name", "/o  {file}", {},
                  {notLoadable("/ {file}"), "hook", "tray add"}, false, 0, "DUM"},
        StartCase{"a missing schedule", "/o {missing}", {},
                  {notLoadable("{missing}"), "hook", "tray add"}, false, 0, "DUM"},
        StartCase{"a damaged schedule is refused and shows no task", "/o {damaged}", {},
                  {"message: {failure}", "hook", "tray add"}, false, -1, "DUM"},
        StartCase{"/o alone asks; cancelled, nothing is shown", "/o ", {""},
                  {"file dialog: Open", "hook", "tray add"}, false, -1, "/o "},
        StartCase{"/o alone asks; a schedule picked", "/o ", {"{file}"},
                  {"file dialog: Open", "shown: Nightly", "hook", "tray add"}, true, 0,
                  "DUM"}));
// clang-format on

class RelativeName : public StartUp {};

// An accepted file dialog changes the current folder: the schedule named
// relative to the folder Kiv started in must still be the file saved.
TEST_F(RelativeName, IsResolvedWhenOpenedSoSaveWritesTheSameFile) {
  platform.folder = folder.path().string();
  platform.arguments = "/o Nightly S.kiv";
  form.Main();
  ASSERT_EQ(form.ScheduleFileName, expand("{file}"));

  platform.folder = "/elsewhere";
  form.TBox[kTaskNameBox].setText("Edited");
  form.mnuSave.press();

  const auto saved =
      readScheduleFile(expand("{file}"), platform.fileStorage(), platform.ansiCodePage());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved.value().tasks[0].TaskName, "Edited");
}

class LaterNew : public StartUp {};

TEST_F(LaterNew, AfterACancelledOpenDialogAsksAgain) {
  platform.arguments = "/o ";
  platform.fileChoices.push_back({{0, 0}, ""});
  form.Main();
  platform.fileChoices.push_back({{1, 0}, expand("{file}")});

  form.mnuNew.press();

  EXPECT_EQ(platform.fileDialogs.size(), 2U);
  EXPECT_EQ(form.ScheduleFileName, expand("{file}"));
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "Nightly");
  EXPECT_EQ(form.CommandText, "DUM");
}

// New resets the tasks before it asks for the file again: cancelling that
// dialog must leave the reset schedule untitled, unchanged and with no task
// shown, as at start-up. Otherwise the reset table would be offered for saving
// once more, and a later Save would overwrite the file the user left with it.
TEST_F(LaterNew, ACancelledOpenDialogLeavesAnUntitledResetSchedule) {
  const fs::path kept = folder.path() / "kept.kiv";
  platform.arguments = "/o ";
  platform.fileChoices.push_back({{0, 0}, ""});
  form.Main();
  form.cmbTask.setListIndex(2);
  form.TBox[kDatabaseLocationBox].setText("/srv/orders.mdb");
  platform.fileChoices.push_back({{1, 0}, kept.string()});
  ASSERT_TRUE(form.fctnSave(false, true));
  const std::vector<std::uint8_t> keptBytes = testing::readAll(kept);
  form.TBox[kTaskNameBox].setText("Edited");
  platform.events.clear();
  platform.answers = {A::No};
  platform.fileChoices.push_back({{0, 0}, ""});

  form.mnuNew.press();

  EXPECT_EQ(platform.events, (Events{kSaveQuestion, "file dialog: Open"}));
  EXPECT_EQ(form.ScheduleFileName, "");
  EXPECT_FALSE(form.mnuSave.enabled());
  EXPECT_EQ(form.cmbTask.listIndex(), -1);
  EXPECT_TRUE(atDefaults(form.tasks));
  EXPECT_EQ(form.CommandText, "/o ");

  form.cmbTask.setListIndex(0);
  form.TBox[kTaskNameBox].setText("New schedule");
  platform.fileChoices.push_back({{0, 0}, ""});
  form.mnuSave.press();
  EXPECT_EQ(platform.fileDialogs.back().title, "Save As");
  EXPECT_TRUE(testing::readAll(kept) == keptBytes) << "kept.kiv was overwritten";
}

// ---------------------------------------------------------------- Closing

// The ways a user closes the window; all of them run the same close flow.
enum class Entry { CloseButton, ExitMenu, TrayRightPress, ProgramAsked, MdiParent };

struct CloseCase {
  const char* name;
  bool titled;
  bool changed;
  std::vector<MessageAnswer> answers;
  std::vector<std::string> dialogs;  // Save As answers: "" cancels
  bool flushFails;
  Events events;  // after the retain question
  bool saved;     // the edit reached the file
};

// The events with "{file}" standing for `file`, in lower case as the saved
// message names it.
Events namingFile(Events events, const fs::path& file) {
  std::string named = file.string();
  std::transform(named.begin(), named.end(), named.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  for (std::string& event : events) {
    if (const auto at = event.find("{file}"); at != std::string::npos) event.replace(at, 6, named);
  }
  return events;
}

void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.name;
}

class Closing : public FormTest,
                public ::testing::WithParamInterface<std::tuple<Entry, CloseCase>> {
 protected:
  // Runs the close as `entry` does; the Cancel value where the entry shows it.
  std::optional<int> close(Entry entry) {
    int cancel = 0;
    switch (entry) {
      case Entry::CloseButton:
        form.Form_QueryUnload(cancel, kUserClosed);
        return cancel;
      case Entry::ProgramAsked:
        form.Form_QueryUnload(cancel, kProgramAsked);
        return cancel;
      case Entry::MdiParent:
        form.Form_QueryUnload(cancel, kMdiParentClosing);
        return cancel;
      case Entry::ExitMenu:
        form.mnuExit.press();
        return std::nullopt;
      case Entry::TrayRightPress:
        form.Form_MouseDown(2, 0, 516.0F, 0.0F);
        return std::nullopt;
    }
    return std::nullopt;
  }

  TempFolder folder;
};

TEST_P(Closing, AsksToRetainTheIconThenToSave) {
  const auto& [entry, c] = GetParam();
  const fs::path file = folder.path() / "tray.kiv";
  form.Main();
  if (c.titled) {
    platform.fileChoices.push_back({{1, 0}, file.string()});
    ASSERT_TRUE(form.fctnSave(false, true));
  }
  if (c.changed) form.TBox[kTaskNameBox].setText("Edited");
  platform.events.clear();
  platform.answers = {c.answers.begin(), c.answers.end()};
  for (const std::string& name : c.dialogs) {
    platform.fileChoices.push_back({{name.empty() ? 0 : 1, 0}, name});
  }
  platform.flushSucceeds = !c.flushFails;

  const std::optional<int> cancel = close(entry);

  const Events expected = joined({kRetainQuestion}, namingFile(c.events, file));
  EXPECT_EQ(platform.events, expected);
  EXPECT_TRUE(platform.answers.empty());
  EXPECT_TRUE(platform.fileChoices.empty());
  const bool ended = platform.ended;
  EXPECT_EQ(ended, expected.back() == "end");
  if (cancel) {
    EXPECT_EQ(*cancel, ended ? 0 : 1);
  }
  EXPECT_EQ(platform.windowHooks,
            ended ? (std::vector<bool>{true, false}) : std::vector<bool>{true});
  if (c.titled) {
    EXPECT_EQ(readScheduleFile(file, platform).value().tasks[0].TaskName, c.saved ? "Edited" : "");
  }
}

const Events kStays{};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lifecycle, Closing,
    ::testing::Combine(
        ::testing::Values(Entry::CloseButton, Entry::ExitMenu, Entry::TrayRightPress,
                          Entry::ProgramAsked, Entry::MdiParent),
        ::testing::Values(
            // name, titled, changed, answers, Save As answers, flush fails,
            //   events after the retain question, saved
            CloseCase{"Yes hides the window", true, true, {A::Yes}, {}, false, {"hide"}, false},
            CloseCase{"Cancel stays", true, true, {A::Cancel}, {}, false, kStays, false},
            CloseCase{"No, No ends without saving", true, true, {A::No, A::No}, {}, false,
                      joined({kSaveQuestion}, kEnding), false},
            CloseCase{"No, Cancel with unsaved changes stays", true, true, {A::No, A::Cancel}, {},
                      false, {kSaveQuestion}, false},
            CloseCase{"No, Cancel without unsaved changes ends", true, false,
                      {A::No, A::Cancel}, {}, false, joined({kSaveQuestion}, kEnding), false},
            CloseCase{"No, Yes saves and ends", true, true, {A::No, A::Yes}, {}, false,
                      joined({kSaveQuestion, "message: Schedule saved to '{file}'."}, kEnding),
                      true},
            CloseCase{"No, Yes, Save As cancelled with unsaved changes stays", false, true,
                      {A::No, A::Yes}, {""}, false, {kSaveQuestion, "file dialog: Save As"},
                      false},
            CloseCase{"No, Yes, Save As cancelled without unsaved changes ends", false, false,
                      {A::No, A::Yes}, {""}, false,
                      joined({kSaveQuestion, "file dialog: Save As"}, kEnding), false},
            CloseCase{"No, Yes, the save fails with unsaved changes: stays", true, true,
                      {A::No, A::Yes}, {}, true,
                      {kSaveQuestion, "message: The schedule file could not be forced to the disk."},
                      false})));
// clang-format on

// Enter answers a question with its default button. On the way out that must
// be the answer that loses nothing: keep the icon and the scheduling, and save
// the schedule before ending.
struct EnterCase {
  const char* name;
  std::vector<MessageAnswer> before;  // answered before Enter takes over
  Events events;                      // after the retain question
  bool saved;
};

TEST_F(FormTest, EnterOnTheWayOutLosesNothing) {
  const EnterCase cases[] = {
      {"Enter keeps the icon", {}, {"hide"}, false},
      {"No, then Enter saves and ends",
       {A::No},
       joined({kSaveQuestion, "message: Schedule saved to '{file}'."}, kEnding),
       true},
  };
  for (const EnterCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const fs::path file = folder.path() / "enter.kiv";
    FakePlatform user;
    MainForm closing{user};
    closing.Main();
    user.fileChoices.push_back({{1, 0}, file.string()});
    ASSERT_TRUE(closing.fctnSave(false, true));
    closing.TBox[kTaskNameBox].setText("Edited");
    user.events.clear();
    user.answers = {c.before.begin(), c.before.end()};
    user.enterAnswers = true;

    closing.mnuExit.press();

    EXPECT_EQ(user.events, joined({kRetainQuestion}, namingFile(c.events, file)));
    EXPECT_EQ(user.ended, c.saved);
    EXPECT_EQ(readScheduleFile(file, user).value().tasks[0].TaskName, c.saved ? "Edited" : "");
  }
}

TEST_F(FormTest, AfterYesTheSchedulerGoesOnAndTheIconStays) {
  form.Main();
  form.tasks[3] = testing::compiledTask(3, "02:00:00");
  platform.clock = fromCivil({2026, 12, 7, 1, 59, 59});
  form.Timer1_Timer();
  platform.answers = {A::Yes};
  int cancel = 0;

  form.Form_QueryUnload(cancel, kUserClosed);
  platform.advance(std::chrono::seconds{1});
  form.Timer1_Timer();

  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(platform.windowHides, 1);
  EXPECT_EQ(platform.launches, std::vector<std::string>{testing::commandLineOf(3)});
  EXPECT_EQ(platform.events, (Events{"hook", "tray add", kRetainQuestion, "hide", "tray modify"}));
}

TEST(Lifecycle, SessionEndAndTaskManagerEndWithoutAQuestion) {
  for (int reason : {2, 3, 5}) {
    FakePlatform ending;
    MainForm closing{ending};
    closing.Main();
    closing.TBox[kTaskNameBox].setText("Unsaved");
    ending.events.clear();
    int cancel = 0;

    closing.Form_QueryUnload(cancel, reason);

    EXPECT_EQ(ending.events, kEnding) << "reason " << reason;
    EXPECT_EQ(cancel, 0);
  }
}

TEST_F(FormTest, ARefusedCloseIsNotAskedAgain) {
  form.TBox[kTaskNameBox].setText("Unsaved");
  for (int reason = 0; reason <= 5; ++reason) {
    int cancel = 1;
    form.Form_QueryUnload(cancel, reason);
    EXPECT_EQ(cancel, 1);
  }
  EXPECT_EQ(platform.events, Events{});
}

// ---------------------------------------------------------------- Icon presses

TEST_F(FormTest, OnlyTheIconsLeftAndRightPressesAct) {
  struct Case {
    float x;
    float y;
    Events events;
  };
  const Case cases[] = {
      {513, 0, {"show"}},           // left button down
      {516, 0, {kRetainQuestion}},  // right button down
      {512, 0, {}},                 // mouse move over the icon
      {514, 0, {}},                 // left button up
      {515, 0, {}},                 // double-click: the first press showed the window
      {517, 0, {}},                 // right button up
      {0, 0, {}},                   // a press in the window's corner
      {513, 1, {}},                 // a press in the window's margin: 513 + 1
      {513, 2, {}},                 // 513 + 65536
      {516, -1, {}},                // 516 + 1
      {513.5F, 0, {}},              // never exactly 513
  };
  for (const Case& c : cases) {
    platform.events.clear();
    platform.answers = {A::Cancel};
    form.Form_MouseDown(1, 0, c.x, c.y);
    EXPECT_EQ(platform.events, c.events) << c.x << ", " << c.y;
  }
}

// ---------------------------------------------------------------- About, Help

TEST_F(FormTest, AboutShowsThreeParagraphsUnderTheTitle) {
  form.mnuAbout.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  const MessageBoxRequest& about = platform.messages[0];
  EXPECT_EQ(about.text,
            "Kiv - Kivander v7.0.0\r\n\r\nDatabase administration task scheduler.\r\n\r\n"
            "'Access' is a registered trademark of the Microsoft Corporation.");
  EXPECT_EQ(about.title, "Kiv");
  EXPECT_EQ(about.buttons, MessageButtons::Ok);
  EXPECT_EQ(about.icon, MessageIcon::None);
}

TEST_F(FormTest, HelpOpensAtTheHighlightedMenusContextOrElseTheFocusedControls) {
  const std::pair<const Control*, int> highlighted[] = {
      {&form.mnuSchedule, 1}, {&form.mnuNew, 1},     {&form.mnuSave, 1},  {&form.mnuExit, 1},
      {&form.mnuTask, 2},     {&form.mnuCompile, 2}, {&form.mnuErase, 2}, {&form.mnuOptions, 2},
      {&form.mnuHelp, 0},     {&form.mnuAbout, 0},
  };
  std::vector<int> expected;
  for (const auto& [menu, context] : highlighted) {
    form.helpRequested(menu);
    expected.push_back(context);
  }
  form.setFocus(form.TBox[kAccessLocationBox]);
  form.helpRequested(nullptr);
  form.mnuHlp.press();
  expected.insert(expected.end(), {0, 0});

  EXPECT_EQ(platform.helpContexts, expected);
}

TEST(Lifecycle, HelpWithNothingFocusedOpensTheContents) {
  FakePlatform platform;
  MainForm form{platform};
  form.mnuHlp.press();
  EXPECT_EQ(platform.helpContexts, std::vector<int>{0});
}

}  // namespace
}  // namespace kiv
