#include <gtest/gtest.h>

#include "dialog_answerer.h"
#include "message_box.h"

namespace kiv {
namespace {

using testing::DialogAnswerer;

struct StyleCase {
  MessageBoxRequest request;
  UINT style;
};

class MessageBoxStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(MessageBoxStyles, CarryButtonsIconAndDefaultButton) {
  EXPECT_EQ(messageBoxStyle(GetParam().request), GetParam().style) << GetParam().request.text;
}

INSTANTIATE_TEST_SUITE_P(
    Win32, MessageBoxStyles,
    ::testing::Values(
        StyleCase{{"About", MessageButtons::Ok, MessageIcon::None, 0, "Kiv"},
                  MB_OK | MB_DEFBUTTON1},
        StyleCase{{"Saved", MessageButtons::Ok, MessageIcon::Information, 0, "Kiv"},
                  MB_OK | MB_ICONINFORMATION | MB_DEFBUTTON1},
        StyleCase{{"Refused", MessageButtons::Ok, MessageIcon::Exclamation, 0, "Kiv"},
                  MB_OK | MB_ICONEXCLAMATION | MB_DEFBUTTON1},
        StyleCase{{"Erase?", MessageButtons::YesNo, MessageIcon::Question, 1, "Kiv"},
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        StyleCase{{"Retain?", MessageButtons::YesNoCancel, MessageIcon::Question, 1, "Kiv"},
                  MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2},
        StyleCase{{"Third", MessageButtons::YesNoCancel, MessageIcon::Question, 2, "Kiv"},
                  MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3}));

TEST(MessageBoxAnswers, NameTheButtonPressed) {
  EXPECT_EQ(messageAnswer(IDOK), MessageAnswer::Ok);
  EXPECT_EQ(messageAnswer(IDYES), MessageAnswer::Yes);
  EXPECT_EQ(messageAnswer(IDNO), MessageAnswer::No);
  EXPECT_EQ(messageAnswer(IDCANCEL), MessageAnswer::Cancel);
  // 0: the box could not be shown.
  EXPECT_EQ(messageAnswer(0), MessageAnswer::Cancel);
}

TEST(MessageBoxShown, AsksWithTheTextUnderTheTitleAndNoAsTheDefault) {
  std::string text;
  int preselected = 0;
  DialogAnswerer user("#32770", "Kiv", [&](HWND box) {
    text = testing::dialogItemText(box, testing::kMessageBoxText);
    preselected = testing::defaultButton(box);
    testing::pressButton(box, IDYES);
  });
  const MessageAnswer answer =
      showMessageBox(nullptr, {"Do you want to retain the system tray icon?",
                               MessageButtons::YesNoCancel, MessageIcon::Question, 1, "Kiv"});
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(answer, MessageAnswer::Yes);
  EXPECT_EQ(text, "Do you want to retain the system tray icon?");
  EXPECT_EQ(preselected, IDNO);
}

TEST(MessageBoxShown, ShowsEveryCharacterOfItsTexts) {
  // Greek is outside the ANSI code page of the tests' Windows.
  const std::string greek = "\xCE\xA9mega \xCE\xB1\xCE\xB2\xCE\xB3 \xC3\xA9";
  std::string text;
  DialogAnswerer user("#32770", "Kiv " + greek, [&](HWND box) {
    text = testing::dialogItemText(box, testing::kMessageBoxText);
    testing::pressButton(box, IDOK);
  });
  const MessageAnswer answer = showMessageBox(
      nullptr,
      {"Caf\xC3\xA9 " + greek, MessageButtons::Ok, MessageIcon::Information, 0, "Kiv " + greek});
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(answer, MessageAnswer::Ok);
  EXPECT_EQ(text, "Caf\xC3\xA9 " + greek);
}

}  // namespace
}  // namespace kiv
