#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "schedule_file/password_scrambling.h"
#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_file/slot_writer.h"
#include "support/compiled_task.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;
using testing::FormTest;
using testing::readAll;
using testing::SlotWriter;
using testing::TempFolder;
using testing::writeAll;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kOldVersion =
    "This schedule is from an old version of Kiv; conversion will be attempted. Next time you "
    "save the schedule, it will be saved in v7 format.";
constexpr const char* kFlushFailed = "The schedule file could not be forced to the disk.";
constexpr int kOldTaskCount = 20;

auto storedFields(const Task& t) {
  return std::tie(t.TaskName, t.LaunchAt, t.Username, t.Password, t.Version, t.Action, t.Macro,
                  t.AccessLocation, t.DatabaseLocation, t.SecurityFileLocation, t.DaysToRunOn,
                  t.OpenExclusively, t.CloseAfterRunning, t.Compiled);
}

void expectSameTable(const TaskTable& actual, const TaskTable& expected) {
  for (int t = 0; t < kTaskCount; ++t) {
    EXPECT_EQ(storedFields(actual[t]), storedFields(expected[t])) << "task " << t + 1;
  }
}

// Task t as a file of the given kind holds it; every task differs from the
// defaults and from the tasks of the other files.
Task fileTask(const std::string& kind, int t) {
  const std::string n = std::to_string(t + 1);
  Task task;
  task.TaskName = kind + " " + n;
  task.LaunchAt = "0" + std::to_string(t % 10) + ":15:00";
  task.Username = kind + "user";
  task.Password = "pw" + n;
  task.Version = 3;
  task.DatabaseLocation = "/" + kind + "/db" + n + ".mdb";
  task.AccessLocation = "/" + kind + "/access";
  task.DaysToRunOn = static_cast<std::uint8_t>(t % 14);
  return task;
}

TaskTable fileTable(const std::string& kind) {
  TaskTable table;
  for (int t = 0; t < kTaskCount; ++t) table[t] = fileTask(kind, t);
  return table;
}

// An old 20-task layout laid out slot by slot, independently of the program's
// encoder: FormatB with task names, FormatA without.
Bytes oldLayoutFile(const std::string& kind, bool withNames) {
  SlotWriter writer;
  for (int t = 0; t < kOldTaskCount; ++t) {
    const Task task = fileTask(kind, t);
    if (withNames) writer.text(task.TaskName);
    writer.text(task.LaunchAt).text(task.Username).text(fctnEncrypt(task.Password));
    writer.byte(task.Version).byte(task.Action).text(task.Macro).text(task.AccessLocation);
    writer.text(task.DatabaseLocation).text(task.SecurityFileLocation).byte(task.DaysToRunOn);
    writer.byte(task.OpenExclusively).byte(task.CloseAfterRunning).byte(task.Compiled);
  }
  return writer.file();
}

// A current-layout file whose task 3 claims a 200-byte password: the damage
// lies after two tasks that read well.
Bytes damagedFile() {
  Bytes bytes = encodeSchedule(fileTable("Damaged")).value();
  const std::size_t passwordSlot = (2 * 14 + 3) * 128;
  bytes[passwordSlot] = 200;
  bytes[passwordSlot + 1] = 0;
  return bytes;
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

using ShownMessage = std::tuple<std::string, MessageButtons, MessageIcon, int, std::string>;

ShownMessage told(std::string text, MessageIcon icon) {
  return {std::move(text), MessageButtons::Ok, icon, 0, "Kiv"};
}

// Yes is the default button: No throws the changes away.
const ShownMessage kAskToSave{"Save this schedule?", MessageButtons::YesNoCancel,
                              MessageIcon::Question, 0, "Kiv"};

// A loaded window beside a folder of schedule files: Current.kiv (the current
// layout), FormatA.kiv and FormatB.kiv (the old layouts), Damaged.kiv, and a
// folder named Folder.
class DocumentTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    writeAll(file("Current.kiv"), encodeSchedule(fileTable("Current")).value());
    writeAll(file("FormatA.kiv"), oldLayoutFile("FormatA", false));
    writeAll(file("FormatB.kiv"), oldLayoutFile("FormatB", true));
    writeAll(file("Damaged.kiv"), damagedFile());
    fs::create_directory(file("Folder"));
  }

  fs::path file(const std::string& name) const { return folder.path() / name; }
  std::string path(const std::string& name) const { return file(name).string(); }

  // Scripts the next file dialog: a name in the folder, or "" to cancel.
  void scriptDialog(const std::string& name) {
    if (name.empty()) {
      platform.fileChoices.push_back({{0, 0}, ""});
    } else {
      platform.fileChoices.push_back({{1, 0}, path(name)});
    }
  }

  // The schedule titled `name`, saved through Save as and so unchanged.
  void saveAs(const std::string& name) {
    scriptDialog(name);
    ASSERT_TRUE(form.fctnSave(false, true));
    ASSERT_EQ(form.ScheduleFileName, path(name));
    forgetRecorded();
  }

  void forgetRecorded() {
    platform.messages.clear();
    platform.fileDialogs.clear();
    platform.savedFiles.clear();
    platform.events.clear();
  }

  std::vector<ShownMessage> shownMessages() const {
    std::vector<ShownMessage> shown;
    for (const MessageBoxRequest& m : platform.messages) {
      shown.emplace_back(m.text, m.buttons, m.icon, m.defaultButton, m.title);
    }
    return shown;
  }

  std::vector<std::string> dialogTitles() const {
    std::vector<std::string> titles;
    for (const FileDialogRecord& record : platform.fileDialogs) titles.push_back(record.title);
    return titles;
  }

  ShownMessage savedMessage(const std::string& name) const {
    return told("Schedule saved to '" + lowerCase(path(name)) + "'.", MessageIcon::Information);
  }

  TempFolder folder;
};

// ---------------------------------------------------------------- Save

enum class Start { UntitledUnchanged, UntitledChanged, TitledUnchanged, TitledChanged };

struct SaveCase {
  const char* name;
  Start start;
  bool ask;
  bool saveAs;
  std::vector<MessageAnswer> answers;
  std::optional<std::string> dialog;  // no dialog expected; "" cancelled; a name chosen
  bool flushFails;
  bool result;
  std::string fileName;  // "" untitled
  bool marker;
  std::vector<std::string> messages;  // "ask", "saved", "flush", "folder"
  std::string written;                // the file that holds the schedule afterwards, "" none
};

void PrintTo(const SaveCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveScenarios : public DocumentTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveScenarios, FollowTheDocumentStateTable) {
  const SaveCase& c = GetParam();
  const bool titled = c.start == Start::TitledUnchanged || c.start == Start::TitledChanged;
  const bool changed = c.start == Start::UntitledChanged || c.start == Start::TitledChanged;
  if (titled) saveAs("Old.kiv");
  const Bytes oldBytes = titled ? readAll(file("Old.kiv")) : Bytes{};
  if (changed) form.TBox[kTaskNameBox].setText("Edited");
  ASSERT_EQ(form.mnuSave.enabled(), changed);
  platform.answers = {c.answers.begin(), c.answers.end()};
  if (c.dialog) scriptDialog(*c.dialog);
  platform.flushSucceeds = !c.flushFails;

  const bool result = form.fctnSave(c.ask, c.saveAs);

  EXPECT_EQ(result, c.result);
  EXPECT_EQ(form.ScheduleFileName, c.fileName.empty() ? "" : path(c.fileName));
  EXPECT_EQ(form.mnuSave.enabled(), c.marker);
  EXPECT_EQ(dialogTitles(),
            c.dialog ? std::vector<std::string>{"Save As"} : std::vector<std::string>{});
  EXPECT_TRUE(platform.fileChoices.empty());
  EXPECT_TRUE(platform.answers.empty());

  const std::map<std::string, ShownMessage> expansions{
      {"ask", kAskToSave},
      {"saved", savedMessage("Old.kiv")},
      {"flush", told(kFlushFailed, MessageIcon::None)},
      {"folder",
       told(std::make_error_code(std::errc::is_a_directory).message(), MessageIcon::None)},
  };
  std::vector<ShownMessage> expected;
  for (const std::string& token : c.messages) expected.push_back(expansions.at(token));
  EXPECT_EQ(shownMessages(), expected);

  if (!c.written.empty()) {
    EXPECT_EQ(fs::file_size(file(c.written)), 53633U);
    const FileResult<LoadedSchedule> reread = readScheduleFile(file(c.written), platform);
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.value().tasks[0].TaskName, changed ? "Edited" : "");
  }
  if (titled && c.written != "Old.kiv") {
    EXPECT_EQ(readAll(file("Old.kiv")), oldBytes);
  }
  if (c.written != "New Name.kiv") {
    EXPECT_FALSE(fs::exists(file("New Name.kiv")));
  }
  // Nothing half-written is left beside the schedules.
  for (const std::string& name : folder.names()) EXPECT_EQ(name.find(".tmp"), std::string::npos);
}

using A = MessageAnswer;
const std::optional<std::string> kNoDialog;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    DocumentTest, SaveScenarios,
    ::testing::Values(
        // name, start, Ask, SaveAs, answers, dialog, flush fails,
        //   result, file name, marker, messages, written
        SaveCase{"untitled Save, dialog cancelled", Start::UntitledChanged, false, false, {}, "",
                 false, false, "", true, {}, ""},
        SaveCase{"untitled Save goes through the dialog", Start::UntitledChanged, false, false,
                 {}, "New Name.kiv", false, true, "New Name.kiv", false, {}, "New Name.kiv"},
        SaveCase{"untitled Save as", Start::UntitledChanged, false, true, {}, "New Name.kiv",
                 false, true, "New Name.kiv", false, {}, "New Name.kiv"},
        SaveCase{"untitled unchanged Save as", Start::UntitledUnchanged, false, true, {},
                 "New Name.kiv", false, true, "New Name.kiv", false, {}, "New Name.kiv"},
        SaveCase{"untitled, the flush fails: the chosen path stays chosen",
                 Start::UntitledChanged, false, false, {}, "New Name.kiv", true,
                 false, "New Name.kiv", true, {"flush"}, ""},
        SaveCase{"untitled, the chosen path is a folder", Start::UntitledChanged, false, true, {},
                 "Folder", false, false, "Folder", true, {"folder"}, ""},
        SaveCase{"titled Save writes directly and says so", Start::TitledChanged, false, false,
                 {}, kNoDialog, false, true, "Old.kiv", false, {"saved"}, "Old.kiv"},
        SaveCase{"titled unchanged Save still writes", Start::TitledUnchanged, false, false, {},
                 kNoDialog, false, true, "Old.kiv", false, {"saved"}, "Old.kiv"},
        SaveCase{"titled Save as writes the new path silently", Start::TitledChanged, false,
                 true, {}, "New Name.kiv", false, true, "New Name.kiv", false, {},
                 "New Name.kiv"},
        SaveCase{"titled Save as, dialog cancelled", Start::TitledChanged, false, true, {}, "",
                 false, false, "Old.kiv", true, {}, ""},
        SaveCase{"titled Save, the flush fails: the old file stays", Start::TitledChanged, false,
                 false, {}, kNoDialog, true, false, "Old.kiv", true, {"flush"}, ""},
        SaveCase{"asked, Cancel", Start::TitledChanged, true, false, {A::Cancel}, kNoDialog,
                 false, false, "Old.kiv", true, {"ask"}, ""},
        SaveCase{"asked, No saves nothing and keeps the marker", Start::TitledChanged, true,
                 false, {A::No}, kNoDialog, false, true, "Old.kiv", true, {"ask"}, ""},
        SaveCase{"asked, Yes on a titled schedule", Start::TitledChanged, true, false, {A::Yes},
                 kNoDialog, false, true, "Old.kiv", false, {"ask", "saved"}, "Old.kiv"},
        SaveCase{"asked, Yes on an untitled schedule", Start::UntitledChanged, true, false,
                 {A::Yes}, "New Name.kiv", false, true, "New Name.kiv", false, {"ask"},
                 "New Name.kiv"},
        SaveCase{"asked, Yes, dialog cancelled", Start::UntitledChanged, true, false, {A::Yes},
                 "", false, false, "", true, {"ask"}, ""},
        SaveCase{"asked even without changes; No", Start::UntitledUnchanged, true, false,
                 {A::No}, kNoDialog, false, true, "", false, {"ask"}, ""}));
// clang-format on

TEST_F(DocumentTest, SaveMenuItemIsEnabledExactlyWhileThereAreUnsavedChanges) {
  EXPECT_FALSE(form.mnuSave.enabled());
  form.mnuSave.press();  // a disabled item does nothing
  EXPECT_TRUE(platform.fileDialogs.empty());

  form.TBox[kUserNameBox].setText("operator");
  ASSERT_TRUE(form.mnuSave.enabled());
  scriptDialog("Weekly.kiv");
  form.mnuSave.press();
  EXPECT_EQ(form.ScheduleFileName, path("Weekly.kiv"));
  EXPECT_FALSE(form.mnuSave.enabled());

  form.TBox[kUserNameBox].setText("nightshift");
  EXPECT_TRUE(form.mnuSave.enabled());
  form.mnuSave.press();
  EXPECT_EQ(shownMessages(), std::vector<ShownMessage>{savedMessage("Weekly.kiv")});
  EXPECT_EQ(readScheduleFile(file("Weekly.kiv"), platform).value().tasks[0].Username, "nightshift");

  scriptDialog("Monthly.kiv");
  form.mnuSaveAs.press();  // always enabled, also without changes
  EXPECT_EQ(form.ScheduleFileName, path("Monthly.kiv"));
  EXPECT_EQ(shownMessages().size(), 1U);
}

TEST_F(DocumentTest, SaveHandsTheWholeFileToThePlatformsStorage) {
  saveAs("Nightly.kiv");
  form.TBox[kTaskNameBox].setText("Edited");

  form.mnuSave.press();

  EXPECT_EQ(platform.savedFiles, std::vector<fs::path>{file("Nightly.kiv")});
  EXPECT_EQ(fs::file_size(file("Nightly.kiv")), 53633U);
}

TEST_F(DocumentTest, APasswordTooLongToStoreFailsTheSaveAndKeepsTheOldFile) {
  form.TBox[kPasswordBox].setText(std::string(42, 'p'));
  saveAs("Nightly.kiv");
  const Bytes oldBytes = readAll(file("Nightly.kiv"));
  EXPECT_EQ(readScheduleFile(file("Nightly.kiv"), platform).value().tasks[0].Password,
            std::string(42, 'p'));

  form.TBox[kPasswordBox].setText(std::string(43, 'p'));
  form.mnuSave.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text.rfind("Task 1, Password: ", 0), 0U)
      << platform.messages[0].text;
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(readAll(file("Nightly.kiv")), oldBytes);
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(form.ScheduleFileName, path("Nightly.kiv"));
  EXPECT_EQ(folder.names().size(), 6U);  // the five prepared entries and Nightly.kiv
}

// ---------------------------------------------------------------- Open

enum class Expected { AsBefore, Current, FormatA, FormatB, Defaults };

struct OpenCase {
  const char* name;
  bool titled;   // saved as Before.kiv first
  bool changed;  // an edit of task 5 since
  std::vector<MessageAnswer> answers;
  std::vector<std::string> dialogs;  // scripted in order; "" cancels
  std::vector<std::string> titles;   // the dialogs expected
  std::vector<std::string> messages;
  std::string fileName;
  bool marker;
  int shown;  // cmbTask's index afterwards
  Expected table;
  bool consumed;           // CommandText is "DUM" afterwards
  std::string savedFirst;  // the file the edit was saved to before opening
};

void PrintTo(const OpenCase& c, std::ostream* os) {
  *os << c.name;
}

class OpenScenarios : public DocumentTest, public ::testing::WithParamInterface<OpenCase> {
 protected:
  // What the table must hold: 20-task files replace tasks 1 to 20 only.
  TaskTable expectedTable(Expected kind, const TaskTable& before) const {
    switch (kind) {
      case Expected::AsBefore:
        return before;
      case Expected::Current:
        return fileTable("Current");
      case Expected::Defaults:
        return TaskTable{};
      case Expected::FormatA:
      case Expected::FormatB:
        break;
    }
    const bool formatA = kind == Expected::FormatA;
    TaskTable table = before;
    for (int t = 0; t < kOldTaskCount; ++t) {
      table[t] = fileTask(formatA ? "FormatA" : "FormatB", t);
      if (formatA) table[t].TaskName.clear();
    }
    return table;
  }
};

TEST_P(OpenScenarios, FollowTheDocumentStateTable) {
  const OpenCase& c = GetParam();
  form.tasks[0].TaskName = "Before 1";
  form.tasks[25] = fileTask("Kept", 25);
  form.cmbTask.setListIndex(4);
  form.fctnChange(false);
  if (c.titled) saveAs("Before.kiv");
  if (c.changed) form.TBox[kTaskNameBox].setText("Edited 5");
  ASSERT_EQ(form.mnuSave.enabled(), c.changed);
  const TaskTable before = form.tasks;
  forgetRecorded();
  platform.answers = {c.answers.begin(), c.answers.end()};
  for (const std::string& name : c.dialogs) scriptDialog(name);
  // Where the case expects no saved file, any save attempt fails.
  platform.flushSucceeds = !c.savedFirst.empty();

  form.mnuOpen.press();

  const std::map<std::string, ShownMessage> expansions{
      {"ask", kAskToSave},
      {"saved", savedMessage("Before.kiv")},
      {"old", told(kOldVersion, MessageIcon::Information)},
      {"flush", told(kFlushFailed, MessageIcon::None)},
      {"damaged", told(std::to_string(file_error::kSlotTooLong) + ": " +
                           decodeSchedule(damagedFile()).error().description,
                       MessageIcon::None)},
      {"missing", told("Schedule '' could not be loaded; check the path & filename are valid.",
                       MessageIcon::Exclamation)},
  };
  std::vector<ShownMessage> expected;
  for (const std::string& token : c.messages) expected.push_back(expansions.at(token));
  EXPECT_EQ(shownMessages(), expected);
  EXPECT_EQ(dialogTitles(), c.titles);
  EXPECT_TRUE(platform.fileChoices.empty());
  EXPECT_TRUE(platform.answers.empty());

  EXPECT_EQ(form.ScheduleFileName, c.fileName.empty() ? "" : path(c.fileName));
  EXPECT_EQ(form.OpenFileName, "");
  EXPECT_EQ(form.mnuSave.enabled(), c.marker);
  EXPECT_EQ(form.CommandText, c.consumed ? "DUM" : "");
  ASSERT_EQ(form.cmbTask.listIndex(), c.shown);
  const TaskTable table = expectedTable(c.table, before);
  expectSameTable(form.tasks, table);
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), table[c.shown].TaskName);
  EXPECT_EQ(form.TBox[kDatabaseLocationBox].text(), table[c.shown].DatabaseLocation);

  if (!c.savedFirst.empty()) {
    const FileResult<LoadedSchedule> saved = readScheduleFile(file(c.savedFirst), platform);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.value().tasks[4].TaskName, "Edited 5");
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    DocumentTest, OpenScenarios,
    ::testing::Values(
        // name, titled, changed, answers, dialogs, dialog titles, messages,
        //   file name, marker, shown, table, consumed, saved first to
        OpenCase{"current layout", true, false, {}, {"Current.kiv"}, {"Open"}, {},
                 "Current.kiv", false, 0, Expected::Current, true, ""},
        OpenCase{"FormatB: tasks 21 to 30 kept, unchanged", true, false, {}, {"FormatB.kiv"},
                 {"Open"}, {"old"}, "FormatB.kiv", false, 0, Expected::FormatB, true, ""},
        OpenCase{"FormatA: names empty, tasks 21 to 30 kept, changed", true, false, {},
                 {"FormatA.kiv"}, {"Open"}, {"old"}, "FormatA.kiv", true, 0, Expected::FormatA,
                 true, ""},
        OpenCase{"untitled schedule opens a file", false, false, {}, {"Current.kiv"}, {"Open"},
                 {}, "Current.kiv", false, 0, Expected::Current, true, ""},
        OpenCase{"unsaved changes, Cancel", true, true, {A::Cancel}, {}, {}, {"ask"},
                 "Before.kiv", true, 4, Expected::AsBefore, false, ""},
        OpenCase{"unsaved changes, No discards them", true, true, {A::No}, {"Current.kiv"},
                 {"Open"}, {"ask"}, "Current.kiv", false, 0, Expected::Current, true, ""},
        OpenCase{"unsaved changes, Yes saves to the known file first", true, true, {A::Yes},
                 {"Current.kiv"}, {"Open"}, {"ask", "saved"}, "Current.kiv", false, 0,
                 Expected::Current, true, "Before.kiv"},
        OpenCase{"unsaved changes, Yes saves an untitled schedule through the dialog", false,
                 true, {A::Yes}, {"Saved.kiv", "Current.kiv"}, {"Save As", "Open"}, {"ask"},
                 "Current.kiv", false, 0, Expected::Current, true, "Saved.kiv"},
        OpenCase{"unsaved changes, Yes, Save As cancelled: no open", false, true, {A::Yes},
                 {""}, {"Save As"}, {"ask"}, "", true, 4, Expected::AsBefore, false, ""},
        OpenCase{"unsaved changes, Yes, the save fails: no open", true, true, {A::Yes}, {}, {},
                 {"ask", "flush"}, "Before.kiv", true, 4, Expected::AsBefore, false, ""},
        OpenCase{"dialog cancelled", true, false, {}, {""}, {"Open"}, {}, "Before.kiv", false, 4,
                 Expected::AsBefore, false, ""},
        OpenCase{"damaged file refused whole", true, false, {}, {"Damaged.kiv"}, {"Open"},
                 {"damaged"}, "Before.kiv", false, 4, Expected::AsBefore, true, ""},
        OpenCase{"damaged file after discarding changes: marker as before", true, true,
                 {A::No}, {"Damaged.kiv"}, {"Open"}, {"ask", "damaged"}, "Before.kiv", true, 4,
                 Expected::AsBefore, true, ""},
        OpenCase{"damaged file, untitled", false, false, {}, {"Damaged.kiv"}, {"Open"},
                 {"damaged"}, "", false, 4, Expected::AsBefore, true, ""},
        OpenCase{"chosen file gone", true, false, {}, {"Missing.kiv"}, {"Open"}, {"missing"}, "",
                 false, 0, Expected::Defaults, true, ""},
        OpenCase{"chosen path is a folder", true, false, {}, {"Folder"}, {"Open"}, {"missing"},
                 "", false, 0, Expected::Defaults, true, ""}));
// clang-format on

TEST_F(DocumentTest, AConvertedOldScheduleIsSavedInTheCurrentLayoutToTheSamePath) {
  scriptDialog("FormatA.kiv");
  form.mnuOpen.press();
  ASSERT_TRUE(form.mnuSave.enabled());
  forgetRecorded();

  form.mnuSave.press();

  EXPECT_EQ(shownMessages(), std::vector<ShownMessage>{savedMessage("FormatA.kiv")});
  EXPECT_EQ(fs::file_size(file("FormatA.kiv")), 53633U);
  const FileResult<LoadedSchedule> reread = readScheduleFile(file("FormatA.kiv"), platform);
  ASSERT_TRUE(reread.ok());
  EXPECT_EQ(reread.value().layout, ScheduleLayout::Current);
  for (int t = 0; t < kTaskCount; ++t) {
    EXPECT_EQ(storedFields(reread.value().tasks[t]), storedFields(form.tasks[t]))
        << "task " << t + 1;
  }
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(DocumentTest, TheOldVersionMessageComesBeforeTheTasksAreTakenOver) {
  form.TBox[kTaskNameBox].setText("Before 1");
  form.fctnChange(false);
  std::string heldDuringMessage;
  std::string shownDuringMessage;
  platform.duringNextQuestion = [&] {
    heldDuringMessage = form.tasks[0].TaskName;
    shownDuringMessage = form.TBox[kTaskNameBox].text();
  };
  std::string named = path("FormatB.kiv");  // no dialog: the message is the first question

  form.fctnOpen(named);

  EXPECT_EQ(platform.messages.at(0).text, kOldVersion);
  EXPECT_EQ(heldDuringMessage, "Before 1");
  EXPECT_EQ(shownDuringMessage, "Before 1");
  EXPECT_EQ(form.tasks[0].TaskName, "FormatB 1");
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "FormatB 1");
}

TEST_F(DocumentTest, OpeningAFileFromTheCommandLineThatIsMissingResetsToUntitled) {
  form.TBox[kTaskNameBox].setText("Edited");
  form.fctnChange(false);
  std::string missing = path("No Such.kiv");
  const std::string named = missing;

  form.fctnOpen(missing);

  EXPECT_EQ(shownMessages(),
            std::vector<ShownMessage>{told("Schedule '" + named +
                                               "' could not be loaded; check the path & "
                                               "filename are valid.",
                                           MessageIcon::Exclamation)});
  EXPECT_EQ(missing, "");
  EXPECT_EQ(form.ScheduleFileName, "");
  EXPECT_EQ(form.CommandText, "DUM");
  EXPECT_EQ(form.cmbTask.listIndex(), 0);
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "");
  expectSameTable(form.tasks, TaskTable{});
  EXPECT_FALSE(form.mnuSave.enabled());
}

// A device is no schedule: opening one is refused like a missing file, at
// once, and reads nothing (endless zeros or no bytes at all).
TEST_F(DocumentTest, OpeningADeviceIsRefusedAsNoSchedule) {
  for (const std::string device : {"/dev/zero", "/dev/null"}) {
    if (!fs::exists(device)) GTEST_SKIP() << "no " << device << " here";
    forgetRecorded();
    std::string named = device;

    form.fctnOpen(named);

    EXPECT_EQ(shownMessages(),
              std::vector<ShownMessage>{told("Schedule '" + device +
                                                 "' could not be loaded; check the path & "
                                                 "filename are valid.",
                                             MessageIcon::Exclamation)});
    EXPECT_EQ(form.ScheduleFileName, "");
  }
}

// ---------------------------------------------------------------- New

struct NewCase {
  const char* name;
  bool changed;
  std::vector<MessageAnswer> answers;
  bool reset;
  bool saved;
};

void PrintTo(const NewCase& c, std::ostream* os) {
  *os << c.name;
}

class NewScenarios : public DocumentTest, public ::testing::WithParamInterface<NewCase> {};

// Task 7 is compiled and shown, so its controls are locked; the launch time
// stays editable.
TEST_P(NewScenarios, ResetOnlyAfterTheSaveQuestionAllows) {
  const NewCase& c = GetParam();
  form.tasks[6] = testing::compiledTask(6, "02:00:00");
  form.cmbTask.setListIndex(6);
  ASSERT_FALSE(form.TBox[kAccessLocationBox].enabled());
  saveAs("Nightly.kiv");
  if (c.changed) form.TBox[kLaunchAtBox].setText("03:00:00");
  const TaskTable before = form.tasks;
  platform.answers = {c.answers.begin(), c.answers.end()};

  form.mnuNew.press();

  EXPECT_TRUE(platform.answers.empty());
  EXPECT_TRUE(platform.fileDialogs.empty());
  EXPECT_EQ(platform.messages.size(), c.answers.size() + (c.saved ? 1 : 0));
  if (c.reset) {
    expectSameTable(form.tasks, TaskTable{});
    EXPECT_EQ(form.cmbTask.listIndex(), 0);
    EXPECT_EQ(form.TBox[kLaunchAtBox].text(), "00:00:00");
    EXPECT_EQ(form.TBox[kDatabaseLocationBox].text(), "");
    EXPECT_TRUE(form.TBox[kAccessLocationBox].enabled());
    EXPECT_EQ(form.ScheduleFileName, "");
    EXPECT_FALSE(form.mnuSave.enabled());
  } else {
    expectSameTable(form.tasks, before);
    EXPECT_EQ(form.cmbTask.listIndex(), 6);
    EXPECT_FALSE(form.TBox[kAccessLocationBox].enabled());
    EXPECT_EQ(form.ScheduleFileName, path("Nightly.kiv"));
    EXPECT_TRUE(form.mnuSave.enabled());
  }
  EXPECT_EQ(readScheduleFile(file("Nightly.kiv"), platform).value().tasks[6].LaunchAt,
            c.saved ? "03:00:00" : "02:00:00");
}

INSTANTIATE_TEST_SUITE_P(
    DocumentTest, NewScenarios,
    ::testing::Values(NewCase{"no unsaved changes: no question", false, {}, true, false},
                      NewCase{"Cancel keeps everything", true, {A::Cancel}, false, false},
                      NewCase{"No discards the changes", true, {A::No}, true, false},
                      NewCase{"Yes saves, then resets", true, {A::Yes}, true, true}));

TEST_F(DocumentTest, NewAfterACommandLineOpenDoesNotReopenTheFile) {
  platform.arguments = "/o " + path("Current.kiv");
  form.Form_Load();
  ASSERT_EQ(form.ScheduleFileName, path("Current.kiv"));
  ASSERT_EQ(form.TBox[kTaskNameBox].text(), "Current 1");
  forgetRecorded();

  form.mnuNew.press();

  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.fileDialogs.empty());
  EXPECT_EQ(form.ScheduleFileName, "");
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "");
  expectSameTable(form.tasks, TaskTable{});
}

}  // namespace
}  // namespace kiv
