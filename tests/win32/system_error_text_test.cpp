#include <gtest/gtest.h>

#include "system_error_text.h"

namespace kiv {
namespace {

TEST(SystemErrorText, IsTheSystemsOwnTextOnOneLine) {
  const std::string text = systemErrorText(ERROR_FILE_NOT_FOUND, "x");
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), ' ');
}

TEST(SystemErrorText, FillsEveryInsertWithTheSubject) {
  // Descriptions with inserts: "%1 is not a valid Win32 application." and
  // the like.
  for (const DWORD error : {ERROR_BAD_EXE_FORMAT, ERROR_INVALID_ORDINAL, ERROR_MOD_NOT_FOUND + 0}) {
    const std::string text = systemErrorText(error, "C:\\w32\\notes.txt");
    EXPECT_EQ(text.find('%'), std::string::npos) << error << ": " << text;
  }
  const std::string badFormat = systemErrorText(ERROR_BAD_EXE_FORMAT, "C:\\w32\\notes.txt");
  EXPECT_NE(badFormat.find("C:\\w32\\notes.txt"), std::string::npos) << badFormat;
}

TEST(SystemErrorText, NamesACodeTheSystemHasNoTextFor) {
  EXPECT_EQ(systemErrorText(0x2000FFFF, "x"), "Error 536936447");
}

}  // namespace
}  // namespace kiv
