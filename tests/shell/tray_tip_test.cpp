#include "shell/tray_tip.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv {
namespace {

class TrayTip : public ::testing::Test {
 protected:
  NotifyIconData tray;
};

TEST_F(TrayTip, StandsAtTheStartOfTheFieldFilledWithBlanks) {
  const std::string status = "Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)";
  setTrayTip(tray, status);
  EXPECT_EQ(tray.szTip, status + std::string(64 - status.size(), ' '));
}

TEST_F(TrayTip, ReplacesALongerTipEntirely) {
  setTrayTip(tray, std::string(64, 'x'));
  setTrayTip(tray, "Kiv");
  EXPECT_EQ(tray.szTip, "Kiv" + std::string(61, ' '));
}

TEST_F(TrayTip, FillsTheFieldForAnEmptyText) {
  setTrayTip(tray, "x");
  setTrayTip(tray, "");
  EXPECT_EQ(tray.szTip, std::string(64, ' '));
}

TEST_F(TrayTip, CutsALongerTextAtSixtyFourCharacters) {
  const std::string exact(64, 'a');
  setTrayTip(tray, exact);
  EXPECT_EQ(tray.szTip, exact);
  setTrayTip(tray, exact + "bcd");
  EXPECT_EQ(tray.szTip, exact);
}

TEST_F(TrayTip, CountsCharactersNotBytes) {
  const std::string e = "\xC3\xA9";  // one character, two bytes
  setTrayTip(tray, "d" + e + "c.");
  EXPECT_EQ(tray.szTip, "d" + e + "c." + std::string(60, ' '));

  // A cut never splits a character.
  std::string long_;
  for (int i = 0; i < 70; ++i) long_ += e;
  setTrayTip(tray, long_);
  EXPECT_EQ(tray.szTip, long_.substr(0, 128));
}

TEST_F(TrayTip, LeavesTheOtherFieldsAlone) {
  tray.uID = 9;
  setTrayTip(tray, "tip");
  EXPECT_EQ(tray.uID, 9U);
  EXPECT_EQ(tray.cbSize, NotifyIconData::kSize);
  EXPECT_EQ(tray.uFlags, 7U);
  EXPECT_EQ(tray.uCallbackMessage, 516U);
}

}  // namespace
}  // namespace kiv
