#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;
using Settings = std::map<std::tuple<std::string, std::string, std::string>, std::string>;

class StoredDefaultsTest : public FormTest {
 protected:
  // A double-click in `box`: it takes the focus, then the pop-up opens.
  void openPopupOn(int box) {
    form.setFocus(form.TBox[box]);
    form.TBox_DblClick(box);
  }

  void storeFrom(int box, const std::string& text) {
    form.TBox[box].setText(text);
    openPopupOn(box);
    ASSERT_TRUE(form.mnuStore.enabled());
    form.mnuStore.press();
  }
};

TEST_F(StoredDefaultsTest, StoredInOneTaskRetrievedInAnother) {
  storeFrom(4, "/opt/office/msaccess");
  form.cmbTask.setListIndex(6);
  form.fctnChange(false);
  ASSERT_EQ(form.TBox[kAccessLocationBox].text(), "");

  openPopupOn(4);
  EXPECT_FALSE(form.mnuStore.enabled());
  EXPECT_TRUE(form.mnuRetrieve.enabled());
  form.mnuRetrieve.press();

  EXPECT_EQ(form.TBox[kAccessLocationBox].text(), "/opt/office/msaccess");
  EXPECT_EQ(form.tasks[6].AccessLocation, "/opt/office/msaccess");
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(form.tasks[0].AccessLocation, "/opt/office/msaccess");  // where it was typed
  EXPECT_EQ(form.tasks[1].AccessLocation, "");
}

TEST_F(StoredDefaultsTest, ADefaultOutlivesTheProgram) {
  storeFrom(6, "/srv/secure.mdw");

  testing::FakePlatform restarted;
  restarted.settings = platform.settings;
  MainForm next{restarted};
  next.Form_Load();
  next.setFocus(next.TBox[kSecurityFileBox]);
  next.TBox_DblClick(6);
  next.mnuRetrieve.press();

  EXPECT_EQ(next.tasks[0].SecurityFileLocation, "/srv/secure.mdw");
  EXPECT_TRUE(next.mnuSave.enabled());
}

TEST_F(StoredDefaultsTest, EachLocationBoxHasItsOwnKey) {
  storeFrom(4, "/opt/office/msaccess");
  storeFrom(5, "/srv/orders.mdb");
  storeFrom(6, "/srv/secure.mdw");

  EXPECT_EQ(platform.settings, (Settings{{{"Kiv", "FileLoc", "4"}, "/opt/office/msaccess"},
                                         {{"Kiv", "FileLoc", "5"}, "/srv/orders.mdb"},
                                         {{"Kiv", "FileLoc", "6"}, "/srv/secure.mdw"}}));

  // Retrieving brings back each box's own value.
  form.cmbTask.setListIndex(1);
  for (int box : {4, 5, 6}) {
    openPopupOn(box);
    form.mnuRetrieve.press();
  }
  EXPECT_EQ(form.tasks[1].AccessLocation, "/opt/office/msaccess");
  EXPECT_EQ(form.tasks[1].DatabaseLocation, "/srv/orders.mdb");
  EXPECT_EQ(form.tasks[1].SecurityFileLocation, "/srv/secure.mdw");
}

TEST_F(StoredDefaultsTest, StoringAgainReplacesTheEarlierValue) {
  storeFrom(5, "/srv/orders.mdb");
  storeFrom(5, "/srv/invoices.mdb");
  EXPECT_EQ(platform.settings, (Settings{{{"Kiv", "FileLoc", "5"}, "/srv/invoices.mdb"}}));
}

TEST_F(StoredDefaultsTest, ItemsAreEnabledByTheBoxTextAndTheStoredValue) {
  struct Case {
    const char* text;
    const char* stored;
    bool store;
    bool retrieve;
  };
  const Case cases[] = {
      {"", "", false, false},
      {"/opt/office/msaccess", "", true, false},
      {"", "/opt/old/msaccess", false, true},
      {"/opt/office/msaccess", "/opt/old/msaccess", true, true},
  };
  for (int box : {4, 5, 6}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << "box " << box << " text '" << c.text << "' stored '" << c.stored << "'");
      platform.settings = {{{"Kiv", "FileLoc", std::to_string(box)}, c.stored}};
      form.TBox[box].setText(c.text);
      form.mnuStore.setEnabled(!c.store);
      form.mnuRetrieve.setEnabled(!c.retrieve);

      openPopupOn(box);

      EXPECT_EQ(form.mnuStore.enabled(), c.store);
      EXPECT_EQ(form.mnuRetrieve.enabled(), c.retrieve);
    }
  }
}

// The commands act on the focused location box only: the password box, or any
// other control, is never stored nor overwritten.
TEST_F(StoredDefaultsTest, NothingHappensWhenTheFocusIsNotOnALocationBox) {
  for (int box = 0; box < 8; ++box) form.TBox[box].setText(box == 0 ? "01:00:00" : "kept");
  form.fctnChange(false);
  const std::vector<Control*> elsewhere{&form.TBox[kLaunchAtBox], &form.TBox[kUserNameBox],
                                        &form.TBox[kPasswordBox], &form.TBox[kMacroBox],
                                        &form.TBox[kTaskNameBox], &form.cmbTask,
                                        &form.cmdCompile};
  for (Control* control : elsewhere) {
    SCOPED_TRACE(control->name() + " " + std::to_string(control->index()));
    platform.settings = {};
    for (int key = 0; key < 8; ++key) {
      platform.settings[{"Kiv", "FileLoc", std::to_string(key)}] = "stored";
    }
    const auto before = platform.settings;
    form.setFocus(*control);

    form.mnuAccess_Click();
    EXPECT_FALSE(form.mnuStore.enabled());
    EXPECT_FALSE(form.mnuRetrieve.enabled());
    form.mnuStore_Click();
    form.mnuRetrieve_Click();

    EXPECT_EQ(platform.settings, before);
    for (int box = 1; box < 8; ++box) EXPECT_EQ(form.TBox[box].text(), "kept") << "box " << box;
    EXPECT_FALSE(form.mnuSave.enabled());
  }
}

TEST(StoredDefaults, NothingIsStoredOrRetrievedBeforeAnythingHasTheFocus) {
  testing::FakePlatform platform;
  platform.settings[{"Kiv", "FileLoc", "4"}] = "/opt/office/msaccess";
  MainForm form{platform};
  form.Form_Load();

  form.mnuAccess_Click();
  form.mnuStore_Click();
  form.mnuRetrieve_Click();

  EXPECT_FALSE(form.mnuStore.enabled());
  EXPECT_FALSE(form.mnuRetrieve.enabled());
  EXPECT_EQ(platform.settings.size(), 1U);
  EXPECT_EQ(form.TBox[kAccessLocationBox].text(), "");
}

// With no task selected (the open dialog of "/o " cancelled at start-up) a
// retrieved value fills the box but belongs to no task.
TEST(StoredDefaults, RetrievingWithNoTaskShownChangesNoTask) {
  testing::FakePlatform platform;
  platform.arguments = "/o ";
  platform.fileChoices.push_back({{0, 0}, ""});
  platform.settings[{"Kiv", "FileLoc", "5"}] = "/srv/orders.mdb";
  MainForm form{platform};
  form.Form_Load();
  ASSERT_EQ(form.cmbTask.listIndex(), -1);

  form.setFocus(form.TBox[kDatabaseLocationBox]);
  form.TBox_DblClick(5);
  form.mnuRetrieve.press();

  for (const Task& task : form.tasks) EXPECT_EQ(task.DatabaseLocation, "");
  EXPECT_FALSE(form.mnuSave.enabled());
}

}  // namespace
}  // namespace kiv
