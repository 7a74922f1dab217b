#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

Task storedTask(std::uint8_t version, std::uint8_t action, std::uint8_t compiled) {
  Task task;
  task.TaskName = "Nightly";
  task.LaunchAt = "02:00:00";
  task.Username = "Ops";
  task.Macro = "Export";
  task.AccessLocation = "/opt/db/access";
  task.DatabaseLocation = "/srv/orders.mdb";
  task.SecurityFileLocation = "/srv/secure.mdw";
  task.Version = version;
  task.Action = action;
  task.DaysToRunOn = 1;
  task.OpenExclusively = 1;
  task.Compiled = compiled;
  return task;
}

struct ShowCase {
  const char* name;
  std::uint8_t version;
  std::uint8_t action;
  std::uint8_t compiled;
  const char* securityLabel;
  bool macroVisible;
  const char* macroLabel;
  const char* commandLine;  // "" for an uncompiled task
};

void PrintTo(const ShowCase& c, std::ostream* os) {
  *os << c.name;
}

class ShowingATask : public FormTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowingATask, SetsLabelsVisibilityLockAndCommandLine) {
  const ShowCase& c = GetParam();
  form.tasks[6] = storedTask(c.version, c.action, c.compiled);
  const Task stored = form.tasks[6];
  form.fctnChange(false);

  form.cmbTask.setListIndex(6);

  const Task& shown = form.tasks[6];
  EXPECT_EQ(form.Lbl1[kSecurityFileLabel].caption(), c.securityLabel);
  EXPECT_EQ(form.TBox[kMacroBox].visible(), c.macroVisible);
  EXPECT_EQ(form.Lbl1[kMacroLabel].visible(), c.macroVisible);
  EXPECT_EQ(form.Lbl1[kMacroLabel].caption(), c.macroLabel);
  EXPECT_EQ(form.TBox[kMacroBox].text(), "Export");
  EXPECT_EQ(form.Check1.enabled(), c.compiled == 0);
  EXPECT_EQ(form.cmdRun.enabled(), c.compiled == 1);
  EXPECT_EQ(shown.CommandLine, c.commandLine);
  EXPECT_TRUE(form.mnuSave.enabled());
  // Showing stores back exactly what was there.
  EXPECT_EQ(shown.TaskName, stored.TaskName);
  EXPECT_EQ(shown.Version, stored.Version);
  EXPECT_EQ(shown.Action, stored.Action);
  EXPECT_EQ(shown.Macro, stored.Macro);
  EXPECT_EQ(shown.DaysToRunOn, stored.DaysToRunOn);
  EXPECT_EQ(shown.OpenExclusively, stored.OpenExclusively);
  EXPECT_EQ(shown.Compiled, stored.Compiled);
  EXPECT_TRUE(platform.messages.empty());
}

constexpr const char* kBase = R"("/opt/db/access" "/srv/orders.mdb")";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ShowingATask,
    ::testing::Values(
        ShowCase{"CompactEditable", 4, 0, 0, "Location of MDW file", false, "Macro", ""},
        ShowCase{"MacroEditable", 4, 1, 0, "Location of MDW file", true, "Macro", ""},
        ShowCase{"RepairEditable", 4, 2, 0, "Location of MDW file", false, "Macro", ""},
        ShowCase{"DecompileEditable", 4, 3, 0, "Location of MDW file", false, "Macro", ""},
        ShowCase{"CmdEditable", 4, 4, 0, "Location of MDW file", true, "Command", ""},
        ShowCase{"VersionTwoEditable", 0, 0, 0, "Location of INI file", false, "Macro", ""},
        ShowCase{
            "CompactCompiled", 4, 0, 1, "Location of MDW file", false, "Macro",
            R"("/opt/db/access" "/srv/orders.mdb" /wrkgrp "/srv/secure.mdw"  /user Ops /excl /compact)"},
        ShowCase{
            "MacroCompiledVersionTwo", 0, 1, 1, "Location of INI file", true, "Macro",
            R"("/opt/db/access" "/srv/orders.mdb" /ini "/srv/secure.mdw"  /user Ops /excl /x "Export" )"},
        ShowCase{
            "CmdCompiled", 5, 4, 1, "Location of MDW file", true, "Command",
            R"("/opt/db/access" "/srv/orders.mdb" /wrkgrp "/srv/secure.mdw"  /user Ops /excl /cmd Export)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, EveryEditIsStoredAtOnceAndMarksTheSchedule) {
  struct Edit {
    const char* what;
    std::function<void()> edit;
    std::function<bool()> stored;
  };
  const Task& task = form.tasks[0];
  const std::vector<Edit> edits{
      {"launch time", [&] { form.TBox[kLaunchAtBox].setText("07:3"); },
       [&] { return task.LaunchAt == "07:3"; }},
      {"user", [&] { form.TBox[kUserNameBox].setText("ops"); },
       [&] { return task.Username == "ops"; }},
      {"password", [&] { form.TBox[kPasswordBox].setText("p"); },
       [&] { return task.Password == "p"; }},
      {"macro", [&] { form.TBox[kMacroBox].setText("m"); }, [&] { return task.Macro == "m"; }},
      {"access", [&] { form.TBox[kAccessLocationBox].setText("a"); },
       [&] { return task.AccessLocation == "a"; }},
      {"database", [&] { form.TBox[kDatabaseLocationBox].setText("d"); },
       [&] { return task.DatabaseLocation == "d"; }},
      {"security", [&] { form.TBox[kSecurityFileBox].setText("s"); },
       [&] { return task.SecurityFileLocation == "s"; }},
      {"name", [&] { form.TBox[kTaskNameBox].setText("n"); }, [&] { return task.TaskName == "n"; }},
      {"version", [&] { form.cmbVer.setListIndex(2); }, [&] { return task.Version == 2; }},
      {"action", [&] { form.cmbAction.setListIndex(3); }, [&] { return task.Action == 3; }},
      {"days", [&] { form.cmbDays.setListIndex(13); }, [&] { return task.DaysToRunOn == 13; }},
      {"exclusive", [&] { form.Check2.setValue(1); }, [&] { return task.OpenExclusively == 1; }},
      {"close", [&] { form.Check1.setValue(1); }, [&] { return task.CloseAfterRunning == 1; }},
  };
  for (const Edit& edit : edits) {
    form.fctnChange(false);
    edit.edit();
    EXPECT_TRUE(edit.stored()) << edit.what;
    EXPECT_TRUE(form.mnuSave.enabled()) << edit.what;
  }
}

TEST_F(FormTest, HidingTheMacroBoxKeepsTheMacro) {
  form.cmbAction.setListIndex(1);
  form.TBox[kMacroBox].setText("NightlyExport");

  form.cmbAction.setListIndex(0);
  EXPECT_FALSE(form.TBox[kMacroBox].visible());
  EXPECT_EQ(form.tasks[0].Macro, "NightlyExport");

  form.cmbAction.setListIndex(1);
  EXPECT_TRUE(form.TBox[kMacroBox].visible());
  EXPECT_EQ(form.TBox[kMacroBox].text(), "NightlyExport");
}

TEST_F(FormTest, VersionLabelFollowsTheList) {
  form.cmbVer.setListIndex(0);
  EXPECT_EQ(form.Lbl1[kSecurityFileLabel].caption(), "Location of INI file");
  form.cmbVer.setListIndex(1);
  EXPECT_EQ(form.Lbl1[kSecurityFileLabel].caption(), "Location of MDW file");
}

TEST_F(FormTest, PickingAnotherTaskMarksTheSchedule) {
  form.cmbTask.setListIndex(4);
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(form.cmbTask.listIndex(), 4);
}

TEST_F(FormTest, EditsGoToTheShownTaskOnly) {
  form.cmbTask.setListIndex(3);
  form.TBox[kTaskNameBox].setText("fourth");
  EXPECT_EQ(form.tasks[3].TaskName, "fourth");
  EXPECT_EQ(form.tasks[0].TaskName, "");
}

TEST_F(FormTest, GreyCheckValuesAreShownAndComposeAsStored) {
  Task task = storedTask(4, 0, 1);
  task.OpenExclusively = 2;
  task.CloseAfterRunning = 2;
  form.tasks[2] = task;

  form.cmbTask.setListIndex(2);

  EXPECT_EQ(form.Check2.value(), 2);
  EXPECT_EQ(form.Check1.value(), 2);
  EXPECT_NE(form.tasks[2].CommandLine.find(" /excl"), std::string::npos);
}

TEST_F(FormTest, EditsWithNoTaskShownAreNotStored) {
  form.cmbTask.setListIndex(-1);
  form.TBox[kTaskNameBox].setText("orphan");
  form.Check2.setValue(1);
  for (const Task& task : form.tasks) {
    EXPECT_EQ(task.TaskName, "");
    EXPECT_EQ(task.OpenExclusively, 0);
  }
}

}  // namespace
}  // namespace kiv
