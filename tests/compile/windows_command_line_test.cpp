#include "compile/windows_command_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kiv {
namespace {

struct Split {
  const char* name;
  std::string line;
  std::vector<std::string> arguments;
};

void PrintTo(const Split& split, std::ostream* os) {
  *os << split.name;
}

class SplitWindowsCommandLine : public ::testing::TestWithParam<Split> {};

TEST_P(SplitWindowsCommandLine, GivesTheArgumentsAWindowsProgramReceives) {
  EXPECT_EQ(splitWindowsCommandLine(GetParam().line), GetParam().arguments);
}

// The lines that compiling a task composes, with their doubled blanks and
// trailing blank.
INSTANTIATE_TEST_SUITE_P(
    ComposedLines, SplitWindowsCommandLine,
    ::testing::Values(
        Split{
            "WorkgroupUserExclusiveCompact",
            R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /wrkgrp "D:\Data\Secure.mdw"  /user Admin /excl /compact)",
            {R"(C:\Office\MSACCESS.EXE)", R"(D:\Data\Orders.mdb)", "/wrkgrp",
             R"(D:\Data\Secure.mdw)", "/user", "Admin", "/excl", "/compact"}},
        Split{"MacroEndingInBlank",
              R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /user Admin /x "NightlyExport" )",
              {R"(C:\Office\MSACCESS.EXE)", R"(D:\Data\Orders.mdb)", "/user", "Admin", "/x",
               "NightlyExport"}},
        Split{
            "IniFileCommand",
            R"("C:\Access2\MSACCESS.EXE" "C:\Db\Sales.mdb" /ini "C:\Access2\Custom.ini"  /cmd Refresh)",
            {R"(C:\Access2\MSACCESS.EXE)", R"(C:\Db\Sales.mdb)", "/ini", R"(C:\Access2\Custom.ini)",
             "/cmd", "Refresh"}},
        Split{"ExclusiveRepair",
              R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /excl /repair)",
              {R"(C:\Office\MSACCESS.EXE)", R"(D:\Data\Orders.mdb)", "/excl", "/repair"}},
        Split{"WorkgroupWithNothingAfterIt",
              R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /wrkgrp "D:\Data\Secure.mdw" )",
              {R"(C:\Office\MSACCESS.EXE)", R"(D:\Data\Orders.mdb)", "/wrkgrp",
               R"(D:\Data\Secure.mdw)"}},
        Split{"CommandTextWithBlanksIsSplit",
              R"("/opt/db" "/data/a.mdb" /cmd Refresh all now)",
              {"/opt/db", "/data/a.mdb", "/cmd", "Refresh", "all", "now"}},
        // A folder path ending in a backslash escapes the quote after it, as
        // it does for the program on Windows: the rest of the line joins it.
        Split{"DatabaseFolderEndingInBackslash",
              R"("C:\A.EXE" "D:\Dir\" /excl)",
              {R"(C:\A.EXE)", R"(D:\Dir" /excl)"}}));

INSTANTIATE_TEST_SUITE_P(
    Quoting, SplitWindowsCommandLine,
    ::testing::Values(Split{"Empty", "", {}}, Split{"OnlyBlanksAndTabs", " \t  ", {}},
                      Split{"BlanksBeforeProgramSkipped", "  prog a", {"prog", "a"}},
                      Split{"TabsSeparate", "prog\ta\t\tb", {"prog", "a", "b"}},
                      Split{"TabInsideQuotesKept", "prog \"a\tb\"", {"prog", "a\tb"}},
                      Split{"NewlineIsNoSeparator", "prog a\nb", {"prog", "a\nb"}},
                      Split{"EmptyQuotedArguments", R"(prog "" a "")", {"prog", "", "a", ""}},
                      Split{"QuoteInMiddleOfArgument", R"(prog ab"c d"e)", {"prog", "abc de"}},
                      Split{"QuotedPartsJoin", R"(prog "a"b"c")", {"prog", "abc"}},
                      Split{"UnterminatedQuoteRunsToEnd", R"(prog "a b  c)", {"prog", "a b  c"}},
                      Split{"DoubledQuoteInsideQuotesIsLiteralAndQuotingGoesOn",
                            R"(prog "a""b c" d)",
                            {"prog", R"(a"b c)", "d"}},
                      Split{"FourQuotesGiveOneQuote", R"(prog """")", {"prog", R"(")"}},
                      Split{
                          "DoubledQuoteOutsideQuotesAddsNothing", R"(prog a""b)", {"prog", "ab"}}));

INSTANTIATE_TEST_SUITE_P(
    Backslashes, SplitWindowsCommandLine,
    ::testing::Values(
        Split{"NotBeforeQuoteLiteral", R"(prog a\b\\c\\\)", {"prog", R"(a\b\\c\\\)"}},
        Split{"OneBeforeQuoteGivesLiteralQuote", R"(prog a\"b)", {"prog", R"(a"b)"}},
        Split{"TwoBeforeQuoteGiveOneAndQuoteOpens", R"(prog a\\"b c")", {"prog", R"(a\b c)"}},
        Split{"ThreeBeforeQuoteGiveOneAndLiteralQuote", R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
        Split{"FourBeforeQuoteGiveTwoAndQuoteCloses", R"(prog "a\\\\" b)", {"prog", R"(a\\)", "b"}},
        Split{"EscapedQuoteInsideQuotes", R"(prog "say \"hi\"")", {"prog", R"(say "hi")"}},
        Split{"TrailingBackslashesInsideQuotesBeforeClosing",
              R"(prog "C:\Dir\\" x)",
              {"prog", R"(C:\Dir\)", "x"}}));

// The program name is read by the C runtime's rule for it: quotes toggle
// quoting and are dropped, backslashes are plain, and only a blank outside
// quotes ends it.
INSTANTIATE_TEST_SUITE_P(
    ProgramName, SplitWindowsCommandLine,
    ::testing::Values(
        Split{"QuotedWithBlanks",
              R"("C:\Program Files\A.EXE" x)",
              {R"(C:\Program Files\A.EXE)", "x"}},
        Split{"BackslashBeforeClosingQuoteIsPlain", R"("C:\Dir\" x)", {R"(C:\Dir\)", "x"}},
        Split{"TextRightAfterClosingQuoteJoinsTheName", R"("C:\A.EXE"x y)", {R"(C:\A.EXEx)", "y"}},
        Split{"QuotedPartInTheMiddle",
              R"(C:\Program" "Files\A.EXE x)",
              {R"(C:\Program Files\A.EXE)", "x"}},
        Split{"UnquotedDropsQuotesAndKeepsBackslashes", R"(C:\a"b\"c x)", {R"(C:\ab\c)", "x"}},
        Split{"UnterminatedQuoteRunsToEnd", R"("C:\A B.EXE x)", {R"(C:\A B.EXE x)"}},
        Split{"EmptyQuoted", R"("" x)", {"", "x"}}));

struct ProgramCase {
  const char* name;
  std::string line;
  std::string program;
};

void PrintTo(const ProgramCase& c, std::ostream* os) {
  *os << c.name;
}

class WindowsProgramToStart : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(WindowsProgramToStart, IsTheFileCreateProcessWouldStart) {
  EXPECT_EQ(windowsProgramToStart(GetParam().line), GetParam().program);
}

// CreateProcess reads the name up to the closing quote, or to the first blank
// when it is not quoted, whatever the program is then told.
INSTANTIATE_TEST_SUITE_P(
    Lines, WindowsProgramToStart,
    ::testing::Values(
        ProgramCase{"QuotedWithBlanks", R"("C:\Program Files\A.EXE" x)",
                    R"(C:\Program Files\A.EXE)"},
        ProgramCase{"TextRightAfterClosingQuoteIsNotPartOfIt", R"("C:\A.EXE"x y)", R"(C:\A.EXE)"},
        ProgramCase{"BackslashBeforeClosingQuoteIsPlain", R"("C:\Dir\" x)", R"(C:\Dir\)"},
        ProgramCase{"UnquotedKeepsQuotesAndBackslashes", R"(C:\a"b\"c x)", R"(C:\a"b\"c)"},
        ProgramCase{"UnquotedEndsAtTheFirstBlank", R"(C:\Program" "Files\A.EXE x)",
                    R"(C:\Program")"},
        ProgramCase{"BlanksBeforeSkipped", " \t prog a", "prog"},
        ProgramCase{"EndsAtATab", "prog\ta", "prog"},
        ProgramCase{"UnterminatedQuoteRunsToEnd", R"("C:\A B.EXE x)", R"(C:\A B.EXE x)"},
        ProgramCase{"EmptyQuoted", R"("" x)", ""}, ProgramCase{"Empty", "", ""},
        ProgramCase{"OnlyBlanks", " \t ", ""}));

}  // namespace
}  // namespace kiv
