#include <gtest/gtest.h>

#include <set>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

TEST_F(FormTest, LoadShowsTaskOneAtItsDefaults) {
  EXPECT_EQ(form.KIV.caption(), "KIV");
  EXPECT_EQ(form.cmbTask.listIndex(), 0);
  EXPECT_EQ(form.TBox[kLaunchAtBox].text(), "00:00:00");
  EXPECT_EQ(form.TBox[kUserNameBox].text(), "Admin");
  for (int box : {2, 3, 4, 5, 6, 7}) EXPECT_EQ(form.TBox[box].text(), "") << box;
  EXPECT_EQ(form.cmbVer.items().at(form.cmbVer.listIndex()), "2002");
  EXPECT_EQ(form.cmbAction.items().at(form.cmbAction.listIndex()), "Compact");
  EXPECT_EQ(form.cmbDays.items().at(form.cmbDays.listIndex()), "Every day");
  EXPECT_EQ(form.Check1.value(), 0);
  EXPECT_EQ(form.Check2.value(), 0);
  EXPECT_EQ(form.Lbl1[kSecurityFileLabel].caption(), "Location of MDW file");
  EXPECT_FALSE(form.TBox[kMacroBox].visible());
  EXPECT_FALSE(form.Lbl1[kMacroLabel].visible());
  EXPECT_EQ(form.cmdCompile.caption(), "Co&mpile task");
  EXPECT_FALSE(form.mnuSave.enabled());
  EXPECT_FALSE(form.mnuRun.enabled());
  EXPECT_FALSE(form.cmdRun.enabled());
  EXPECT_TRUE(platform.messages.empty());
}

TEST(MainFormLayout, BeforeLoadControlsHoldTheirDesignValues) {
  testing::FakePlatform platform;
  MainForm form(platform);

  EXPECT_EQ(form.cmbTask.listIndex(), -1);
  EXPECT_EQ(form.cmdCompile.caption(), "&Compile task");
  EXPECT_EQ(form.TBox[kLaunchAtBox].text(), "00:00:00");
  EXPECT_EQ(form.TBox[kPasswordBox].passwordChar, '*');
  EXPECT_EQ(form.TBox[kTaskNameBox].maxLength, 50);
  EXPECT_EQ(form.Lbl1[kSecurityFileLabel].caption(), "Location of INI file");
  EXPECT_EQ(form.Check1.caption(), "C&lose KIV after running?");
  EXPECT_EQ(form.Command1[2].caption(), "Br&owse");
  EXPECT_EQ(form.cmbTask.items().size(), 30U);
  EXPECT_EQ(form.cmbTask.items().back(), "Task 30");
  EXPECT_EQ(form.cmbVer.items(),
            (std::vector<std::string>{"2", "95", "97", "2000", "2002", "2003"}));
  EXPECT_EQ(form.cmbAction.items(),
            (std::vector<std::string>{"Compact", "Macro", "Repair", "Decompile", "Cmd"}));
  EXPECT_EQ(form.cmbDays.items().size(), 14U);
  EXPECT_EQ(form.cmbDays.items().at(13), "Last weekday of month");
  EXPECT_EQ(form.TBox[kSecurityFileBox].tooltip, "Path and filename of database security file");
  EXPECT_EQ(form.TBox[kAccessLocationBox].geometry, (TwipsRect{1680, 1710, 3110, 285}));
  EXPECT_EQ(form.Frame1.geometry, (TwipsRect{60, 0, 5985, 4050}));
  EXPECT_EQ(form.KIV.geometry, (TwipsRect{0, 0, 6090, 4110}));
}

TEST(MainFormLayout, TabOrderIsUniqueAndEveryControlFitsTheFrame) {
  testing::FakePlatform platform;
  MainForm form(platform);

  std::set<int> tabs;
  for (const Control* control : form.controls()) {
    if (control->kind() == ControlKind::MenuItem || control->kind() == ControlKind::Window)
      continue;
    EXPECT_TRUE(tabs.insert(control->tabIndex).second) << control->name() << control->index();
    if (control == &form.Frame1) continue;
    const TwipsRect& r = control->geometry;
    EXPECT_GT(r.width, 0) << control->name();
    EXPECT_LE(r.left + r.width, form.Frame1.geometry.width) << control->name() << control->index();
    EXPECT_LE(r.top + r.height, form.Frame1.geometry.height) << control->name() << control->index();
  }
  EXPECT_EQ(tabs.size(), 32U);
  EXPECT_EQ(*tabs.begin(), 0);
  EXPECT_EQ(*tabs.rbegin(), 31);
}

TEST(MainFormLayout, MenuTreeCaptionsShortcutsAndHelpContexts) {
  testing::FakePlatform platform;
  MainForm form(platform);

  struct Expected {
    const MenuItem* item;
    const char* caption;
    const char* shortcut;
    bool enabled;
    int helpContext;
  };
  const Expected expected[] = {
      {&form.mnuNew, "&New", "Ctrl+N", true, 1},
      {&form.mnuOpen, "&Open", "Ctrl+O", true, 1},
      {&form.mnuSave, "&Save", "Ctrl+S", false, 1},
      {&form.mnuSaveAs, "Save &as", "Ctrl+A", true, 1},
      {&form.mnuExit, "E&xit", "Ctrl+X", true, 1},
      {&form.mnuCompile, "Co&mpile", "Ctrl+M", true, 2},
      {&form.mnuRun, "&Run", "Ctrl+R", false, 2},
      {&form.mnuDuplicate, "&Duplicate", "Ctrl+D", true, 2},
      {&form.mnuErase, "&Erase", "Ctrl+E", true, 2},
      {&form.mnuOptions, "&Options\u2026", "", true, 2},
      {&form.mnuHlp, "&Help", "", true, 0},
      {&form.mnuAbout, "&About", "", true, 0},
      {&form.mnuStore, "&Store as default", "", true, 0},
      {&form.mnuRetrieve, "&Retrieve default", "", true, 0},
  };
  for (const Expected& e : expected) {
    EXPECT_EQ(e.item->caption(), e.caption) << e.item->name();
    EXPECT_EQ(e.item->shortcut, e.shortcut) << e.item->name();
    EXPECT_EQ(e.item->enabled(), e.enabled) << e.item->name();
    EXPECT_EQ(e.item->helpContext, e.helpContext) << e.item->name();
  }
  const std::vector<MenuItem*> menus = form.menus();
  ASSERT_EQ(menus.size(), 4U);
  EXPECT_EQ(menus[0]->caption(), "&Schedule");
  EXPECT_EQ(menus[1]->caption(), "&Task");
  EXPECT_EQ(menus[2]->caption(), "&Help");
  EXPECT_EQ(menus[3]->caption(), "&Access");
  EXPECT_FALSE(form.mnuAccess.visible());
  EXPECT_EQ(form.mnuTask.items().size(), 5U);
  EXPECT_EQ(form.mnuTask.items().back(), &form.mnuOptions);
  EXPECT_EQ(form.mnuSchedule.items().back(), &form.mnuExit);
}

}  // namespace
}  // namespace kiv
