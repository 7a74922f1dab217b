#include "task_scheduler_xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile/windows_command_line.h"
#include "scheduler/date_time_text.h"

namespace kiv::ctl {
namespace {

// Each text comes back whole from the C runtime's split of a command line
// that holds it quoted.
TEST(TaskSchedulerXml, QuotedArgumentsComeBackUnchanged) {
  for (const std::string text :
       {"", "plain", "two words", R"(C:\Program Files\Kiv\n.kiv)", R"(ends in \)", R"(ends in \\)",
        R"(a "quote")", R"(\"backslash quote)", R"(\\\" three)", "tab\there"}) {
    EXPECT_EQ(splitWindowsCommandLine("kivctl.exe " + windowsQuotedArgument(text) + " x"),
              (std::vector<std::string>{"kivctl.exe", text, "x"}))
        << text;
  }
}

TEST(TaskSchedulerXml, TheArgumentsFollowTheProgramsName) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {R"("C:\Access\msaccess.exe" "C:\db.mdb" /compact)", R"("C:\db.mdb" /compact)"},
      {R"(  C:\a.exe   /x)", "/x"},
      {R"("C:\with blank\a.exe"	"quoted arg")", R"("quoted arg")"},
      {R"(a"b c"d e)", "e"},
      {R"("C:\a.exe")", ""},
  };
  for (const auto& [line, arguments] : cases) {
    EXPECT_EQ(windowsArgumentsAfterName(line), arguments) << line;
  }
}

TEST(TaskSchedulerXml, RefusesTextsAnXmlFileCannotHold) {
  const std::vector<std::pair<std::string, std::string>> refused{
      {std::string("nul\0here", 8), "it holds the character U+0000, which an XML file cannot hold"},
      {"bell\x07", "it holds the character U+0007, which an XML file cannot hold"},
      {"\xEF\xBF\xBE", "it holds the character U+FFFE, which an XML file cannot hold"},
      {"\xED\xA0\x80", "it holds the character U+D800, which an XML file cannot hold"},
      {"bad \xC3", "it holds bytes that are no UTF-8"},
  };
  for (const auto& [text, problem] : refused) EXPECT_EQ(xmlTextProblem(text), problem);
  for (const std::string text : {"", "tab\tline\nreturn\r", "<&>\"'", "\xC3\xA9\xF0\x9F\x98\x80"}) {
    EXPECT_EQ(xmlTextProblem(text), std::nullopt) << text;
  }
}

// Each trigger starts at its first launch from the export on: a time of day
// already past starts the next day, so that the import misses none.
TEST(TaskSchedulerXml, EachTriggerStartsAtItsFirstLaunchFromTheExportOn) {
  using namespace std::chrono;
  ExportPlan plan;
  plan.days = {{kEveryWeekday, 0, false}};
  plan.secondsOfDay = {hours{2}, hours{12}, hours{12} + seconds{1}, hours{23} + minutes{59}};
  const LocalTime from = *parseDateTime("2027-12-31 12:00:00");
  const std::string xml = taskSchedulerXml(plan, {"p.exe", ""}, from);
  std::vector<std::string> boundaries;
  for (std::size_t at = xml.find("<StartBoundary>"); at != std::string::npos;
       at = xml.find("<StartBoundary>", at + 1)) {
    boundaries.push_back(xml.substr(at + 15, 19));
  }
  EXPECT_EQ(boundaries, (std::vector<std::string>{"2028-01-01T02:00:00", "2027-12-31T12:00:00",
                                                  "2027-12-31T12:00:01", "2027-12-31T23:59:00"}));
}

TEST(TaskSchedulerXml, WritesUtf16LittleEndianAfterAByteOrderMark) {
  // "a", "é", "€" and U+1F600, which takes a surrogate pair.
  EXPECT_EQ(utf16LittleEndian("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::vector<std::uint8_t>{0xFF, 0xFE, 0x61, 0x00, 0xE9, 0x00, 0xAC, 0x20, 0x3D, 0xD8,
                                       0x00, 0xDE}));
  EXPECT_EQ(utf16LittleEndian(""), (std::vector<std::uint8_t>{0xFF, 0xFE}));
}

}  // namespace
}  // namespace kiv::ctl
