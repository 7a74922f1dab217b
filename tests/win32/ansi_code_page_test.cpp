#include "ansi_code_page.h"

#include <gtest/gtest.h>

#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"
#include "windows_api.h"

namespace kiv {
namespace {

// The tests run in a Western European Windows, whose ANSI code page is
// Windows-1252: schedules written here are byte-identical to those written on
// Linux with the built-in code page.
class SystemAnsiCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetACP(), 1252U); }
  const CodePage& codePage = systemAnsiCodePage();
};

TEST_F(SystemAnsiCodePageTest, ConvertsBothWaysAndNamesItself) {
  const std::string utf8 = "Caf\xC3\xA9 \xE2\x82\xAC";  // Café €
  const auto encoded = codePage.encode(utf8);
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.value(), "Caf\xE9 \x80");
  EXPECT_EQ(codePage.decode(encoded.value()), utf8);
  EXPECT_EQ(codePage.name(), "Windows-1252");
}

TEST_F(SystemAnsiCodePageTest, NamesTheFirstCharacterWithoutAForm) {
  const auto refused = codePage.encode("Ja\xC5\x82 \xD0\x96");  // Jał Ж
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().reason, EncodeFailure::Reason::NoCodePageForm);
  EXPECT_EQ(refused.error().position, 3U);
  EXPECT_EQ(refused.error().character, U'\u0142');

  const auto malformed = codePage.encode("ab\xC3");
  ASSERT_FALSE(malformed.ok());
  EXPECT_EQ(malformed.error().reason, EncodeFailure::Reason::InvalidUtf8);
}

TEST_F(SystemAnsiCodePageTest, SchedulesMatchTheBuiltInCodePageByteForByte) {
  TaskTable tasks;
  tasks[4].TaskName =
      "Nachtlauf f\xC3\xBCr Stra\xC3\x9F"
      "e";
  tasks[4].Password = "p\xC3\xA4ss";
  const auto system = encodeSchedule(tasks, codePage);
  const auto builtIn = encodeSchedule(tasks, windows1252CodePage());
  ASSERT_TRUE(system.ok());
  ASSERT_TRUE(builtIn.ok());
  EXPECT_EQ(system.value(), builtIn.value());

  const auto loaded = decodeSchedule(system.value(), codePage);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value().tasks[4].TaskName, tasks[4].TaskName);
  EXPECT_EQ(loaded.value().tasks[4].Password, tasks[4].Password);
}

}  // namespace
}  // namespace kiv
