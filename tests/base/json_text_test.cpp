#include "base/json_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv {
namespace {

TEST(JsonText, EveryTextComesBackAsItWasWritten) {
  const std::string texts[] = {
      "",
      "plain",
      R"(C:\Office\MSACCESS.EXE "D:\a b.mdb")",
      "line\nbreak\r\ttab\b\f",
      std::string("nul\0inside", 10),
      "\x01\x1f control",
      "Ωmega αβγ é 𝄞",
  };
  for (const std::string& text : texts) {
    const std::string line = JsonObjectLine().text("t", text).finish();
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    const auto parsed = parseFlatJsonObject(line);
    ASSERT_TRUE(parsed) << line;
    ASSERT_NE(jsonMember<std::string>(*parsed, "t"), nullptr);
    EXPECT_EQ(*jsonMember<std::string>(*parsed, "t"), text);
  }
}

TEST(JsonText, ALineKeepsItsMembersInOrderAndTheirKinds) {
  const std::string line =
      JsonObjectLine().text("a", "x").number("b", -42).null("c").number("d", 0).finish();
  EXPECT_EQ(line, R"({"a":"x","b":-42,"c":null,"d":0})");
  const auto parsed = parseFlatJsonObject(line);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*jsonMember<std::int64_t>(*parsed, "b"), -42);
  EXPECT_NE(jsonMember<std::nullptr_t>(*parsed, "c"), nullptr);
  EXPECT_EQ(jsonMember<std::string>(*parsed, "b"), nullptr);  // a number is no text
  EXPECT_EQ(jsonMember<std::string>(*parsed, "missing"), nullptr);
}

TEST(JsonText, ReadsWhatOtherWritersMayWrite) {
  const auto parsed = parseFlatJsonObject(
      R"(  { "s" : "\u00e9\ud834\udd1e\/" , "t" : true, "f": false, "n": 9223372036854775807 } )");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*jsonMember<std::string>(*parsed, "s"), "é𝄞/");
  EXPECT_TRUE(*jsonMember<bool>(*parsed, "t"));
  EXPECT_FALSE(*jsonMember<bool>(*parsed, "f"));
  EXPECT_EQ(*jsonMember<std::int64_t>(*parsed, "n"), INT64_MAX);
  EXPECT_TRUE(parseFlatJsonObject("{}"));
}

TEST(JsonText, RefusesADamagedOrForeignLine) {
  const char* lines[] = {
      "",
      R"({"a":"x")",                    // cut short, as a line a crash interrupted
      R"({"a":"x"}{"b":1})",            // two objects run together
      R"({"a":"x",})",                  // trailing comma
      R"({"a":"x","a":"y"})",           // duplicate key
      R"({"a":{"b":1}})",               // nested
      R"({"a":[1]})",                   // array
      R"({"a":1.5})",                   // not whole
      R"({"a":01})",                    // leading zero
      R"({"a":99999999999999999999})",  // too large
      "{\"a\":\"tab\there\"}",          // raw control character
      R"({"a":"\x"})",                  // unknown escape
      R"({"a":"\ud834"})",              // lone surrogate
      R"({"a":"\udd1e"})",
      R"(["a"])",
      R"({a:1})",
  };
  for (const char* line : lines) EXPECT_FALSE(parseFlatJsonObject(line)) << line;
}

}  // namespace
}  // namespace kiv
