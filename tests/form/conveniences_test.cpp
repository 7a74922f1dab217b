#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

constexpr int kBackspace = 8;

class KeyFilterTest : public FormTest {
 protected:
  // Types `keys` into the launch-time box from `caret` the way the front-end
  // does: it writes the caret into the box, forwards the key, and puts an
  // admitted character in place of the selection, moving the caret past it.
  void typeKeys(const std::string& keys) {
    TextBox& box = form.TBox[kLaunchAtBox];
    for (const char key : keys) {
      box.selLength = 0;
      int code = static_cast<unsigned char>(key);
      form.TBox_KeyPress(0, code);
      if (code == 0) continue;
      std::string text = box.text();
      text.replace(static_cast<std::size_t>(box.selStart), static_cast<std::size_t>(box.selLength),
                   1, static_cast<char>(code));
      box.setText(text);
      ++box.selStart;
    }
  }
};

struct TypingCase {
  const char* before;
  int caret;
  const char* keys;
  const char* after;
  int caretAfter;
};

TEST_F(KeyFilterTest, TypingOvertypesAndAdmitsOnlyWhatFitsTheLayout) {
  const TypingCase cases[] = {
      {"00:00:00", 0, "123", "12:00:00", 2},    // "3" meets the colon
      {"00:00:00", 0, "12:30", "12:30:00", 5},  // stops before the second colon
      {"00:00:00", 0, "12:34:56", "12:34:56", 8},
      {"12:34:56", 8, "7:?", "12:34:56", 8},  // the box cannot grow by typing
      {"23:59:58", 7, "9?", "23:59:59", 8},
      {"08:15:00", 6, "?", "08:15:?0", 7},
      {"08:15:00", 6, "?2", "08:15:?2", 8},
      {"08:15:00", 6, ":", "08:15:00", 6},
      {"08:15:00", 2, "5", "08:15:00", 2},
      {"08:15:00", 2, ":", "08:15:00", 3},        // a colon over a colon moves on
      {"00:00:00", 3, "99", "00:99:00", 5},       // the check on leaving judges the value
      {"00:00:00", 0, "ab Z-+.", "00:00:00", 0},  // letters, blanks and signs never
  };
  std::vector<TypingCase> all(std::begin(cases), std::end(cases));
  for (const int caret : {0, 1, 2, 3, 4, 5, 7}) {
    all.push_back({"08:15:00", caret, "?", "08:15:00", caret});  // "?" only in the seventh place
  }
  for (const TypingCase& c : all) {
    SCOPED_TRACE(::testing::Message() << c.before << " at " << c.caret << " typing " << c.keys);
    form.TBox[kLaunchAtBox].setText(c.before);
    form.TBox[kLaunchAtBox].selStart = c.caret;

    typeKeys(c.keys);

    EXPECT_EQ(form.TBox[kLaunchAtBox].text(), c.after);
    EXPECT_EQ(form.TBox[kLaunchAtBox].selStart, c.caretAfter);
    EXPECT_EQ(form.tasks[0].LaunchAt, c.after);
  }
}

TEST_F(KeyFilterTest, ControlAndForeignCharactersAreNeverAdmitted) {
  const int codes[] = {kBackspace,
                       3 /* Ctrl+C */,
                       22 /* Ctrl+V */,
                       24 /* Ctrl+X */,
                       13,
                       27,
                       0x7F,
                       0xE9 /* é */,
                       0x660 /* Arabic-Indic zero */,
                       0xFF10 /* full-width 0 */,
                       -1};
  for (const int caret : {0, 2, 6}) {
    for (const int code : codes) {
      SCOPED_TRACE(::testing::Message() << "code " << code << " at " << caret);
      TextBox& box = form.TBox[kLaunchAtBox];
      box.selStart = caret;
      box.selLength = 3;
      int key = code;

      form.TBox_KeyPress(0, key);

      EXPECT_EQ(key, 0);
      // Backspace keeps the selection; every other key selects one character.
      EXPECT_EQ(box.selLength, code == kBackspace ? 3 : 1);
      EXPECT_EQ(box.selStart, caret);
    }
  }
}

TEST_F(KeyFilterTest, OtherBoxesTakeEveryKey) {
  for (int index = 1; index < 8; ++index) {
    for (const int code :
         {int{'a'}, int{' '}, int{':'}, int{'?'}, int{'7'}, kBackspace, 22, 0xE9}) {
      TextBox& box = form.TBox[index];
      box.selStart = 2;
      box.selLength = 0;
      int key = code;

      form.TBox_KeyPress(index, key);

      EXPECT_EQ(key, code) << "box " << index;
      EXPECT_EQ(box.selLength, 0) << "box " << index;
    }
  }
}

TEST_F(FormTest, DoubleClickOpensTheStoreAndRetrievePopupOverLocationBoxesOnly) {
  platform.settings[{"Kiv", "FileLoc", "5"}] = "/srv/orders.mdb";
  form.TBox[kAccessLocationBox].setText("/opt/office/msaccess");
  struct Case {
    int box;
    bool popup;
    bool store;
    bool retrieve;
  };
  // Without the pop-up the items keep the enabled state they had (true here).
  const Case cases[] = {
      {0, false, true, true},  {1, false, true, true}, {2, false, true, true},
      {3, false, true, true},  {4, true, true, false}, {5, true, false, true},
      {6, true, false, false}, {7, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "box " << c.box);
    platform.popups.clear();
    // The opposite of what the pop-up must set, so that it has to set it.
    form.mnuStore.setEnabled(c.popup ? !c.store : true);
    form.mnuRetrieve.setEnabled(c.popup ? !c.retrieve : true);
    form.setFocus(form.TBox[c.box]);

    form.TBox_DblClick(c.box);

    EXPECT_EQ(platform.popups,
              c.popup ? std::vector<std::string>{"mnuAccess"} : std::vector<std::string>{});
    EXPECT_EQ(form.mnuStore.enabled(), c.store);
    EXPECT_EQ(form.mnuRetrieve.enabled(), c.retrieve);
  }
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace kiv
