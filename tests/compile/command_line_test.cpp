#include "compile/command_line.h"

#include <gtest/gtest.h>

#include "tasks/value_lists.h"

namespace kiv {
namespace {

using namespace std::string_literals;

CompileInputs officeTask() {
  CompileInputs in;
  in.accessLocation = R"(C:\Office\MSACCESS.EXE)";
  in.databaseLocation = R"(D:\Data\Orders.mdb)";
  in.versionIndex = kAccess2002;
  in.actionIndex = kCompact;
  return in;
}

struct Composition {
  const char* name;
  CompileInputs inputs;
  const char* expected;
};

CompileInputs with(CompileInputs in, auto change) {
  change(in);
  return in;
}

void PrintTo(const Composition& c, std::ostream* os) {
  *os << c.name;
}

class ComposeCommandLine : public ::testing::TestWithParam<Composition> {};

TEST_P(ComposeCommandLine, ByteForByte) {
  EXPECT_EQ(composeCommandLine(GetParam().inputs), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ComposeCommandLine,
    ::testing::Values(
        Composition{
            "WorkgroupUserExclusiveCompact",
            with(officeTask(),
                 [](CompileInputs& in) {
                   in.securityFileLocation = R"(D:\Data\Secure.mdw)";
                   in.username = "Admin";
                   in.exclusive = 1;
                 }),
            R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /wrkgrp "D:\Data\Secure.mdw"  /user Admin /excl /compact)"},
        Composition{
            "MacroEndsInBlank",
            with(officeTask(),
                 [](CompileInputs& in) {
                   in.versionIndex = kAccess97;
                   in.actionIndex = kMacro;
                   in.macro = "NightlyExport";
                   in.username = "Admin";
                 }),
            R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /user Admin /x "NightlyExport" )"},
        Composition{
            "IniFileAndCommand",
            with(officeTask(),
                 [](CompileInputs& in) {
                   in.accessLocation = R"(C:\Access2\MSACCESS.EXE)";
                   in.databaseLocation = R"(C:\Db\Sales.mdb)";
                   in.versionIndex = kAccess2;
                   in.actionIndex = kCmd;
                   in.macro = "Refresh";
                   in.securityFileLocation = R"(C:\Access2\Custom.ini)";
                 }),
            R"("C:\Access2\MSACCESS.EXE" "C:\Db\Sales.mdb" /ini "C:\Access2\Custom.ini"  /cmd Refresh)"},
        Composition{"ExclusiveRepair",
                    with(officeTask(),
                         [](CompileInputs& in) {
                           in.versionIndex = kAccess2003;
                           in.actionIndex = kRepair;
                           in.exclusive = 1;
                         }),
                    R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /excl /repair)"},
        Composition{
            "PasswordAfterUser",
            with(officeTask(),
                 [](CompileInputs& in) {
                   in.username = "Admin";
                   in.password = "s3cret";
                   in.exclusive = 1;
                 }),
            R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /user Admin /pwd s3cret /excl /compact)"},
        Composition{
            "PasswordDirectlyAfterSecurityFile",
            with(officeTask(),
                 [](CompileInputs& in) {
                   in.password = "pw";
                   in.securityFileLocation = "S.mdw";
                   in.actionIndex = kDecompile;
                 }),
            R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /wrkgrp "S.mdw"  /pwd pw /decompile)"},
        Composition{"NoVersionSelectionMeansIni",
                    with(officeTask(),
                         [](CompileInputs& in) {
                           in.versionIndex = -1;
                           in.securityFileLocation = "a.ini";
                         }),
                    R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /ini "a.ini"  /compact)"},
        Composition{"SecurityFileLastEndsInBlank",
                    with(officeTask(),
                         [](CompileInputs& in) {
                           in.actionIndex = -1;
                           in.securityFileLocation = "a.mdw";
                         }),
                    R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /wrkgrp "a.mdw" )"},
        Composition{"EmptyCommandKeepsTrailingBlank",
                    with(officeTask(), [](CompileInputs& in) { in.actionIndex = kCmd; }),
                    R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /cmd )"},
        Composition{"GreyExclusiveStillExclusive",
                    with(officeTask(), [](CompileInputs& in) { in.exclusive = 2; }),
                    R"("C:\Office\MSACCESS.EXE" "D:\Data\Orders.mdb" /excl /compact)"},
        Composition{"BlanksAndQuotesTakenAsTyped",
                    with(officeTask(),
                         [](CompileInputs& in) {
                           in.accessLocation = " ";
                           in.databaseLocation = "a\"b ";
                           in.username = "  ";
                           in.actionIndex = kMacro;
                           in.macro = " ";
                         }),
                    "\" \" \"a\"b \" /user    /x \" \" "}),
    [](const auto& info) { return std::string(info.param.name); });

struct Validation {
  const char* name;
  CompileInputs inputs;
  const char* message;  // nullptr when the task compiles
  int focusBox;
};

void PrintTo(const Validation& v, std::ostream* os) {
  *os << v.name;
}

class ValidateForCompile : public ::testing::TestWithParam<Validation> {};

TEST_P(ValidateForCompile, FirstMissingOrUnpassableValueInOrder) {
  const auto compilable = validateForCompile(GetParam().inputs);
  if (GetParam().message == nullptr) {
    EXPECT_TRUE(compilable.ok()) << compilable.error().message;
    return;
  }
  ASSERT_FALSE(compilable.ok());
  EXPECT_EQ(compilable.error().message, GetParam().message);
  EXPECT_EQ(compilable.error().focusBox, GetParam().focusBox);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateForCompile,
    ::testing::Values(
        Validation{"Complete", officeTask(), nullptr, 0},
        Validation{"NoUserNoPassword",
                   with(officeTask(), [](CompileInputs& in) { in.username.clear(); }), nullptr, 0},
        Validation{"PasswordWithoutUser",
                   with(officeTask(), [](CompileInputs& in) { in.password = "x"; }),
                   "A username is required.", 1},
        Validation{"UserCheckedBeforeEverythingElse",
                   with(CompileInputs{},
                        [](CompileInputs& in) {
                          in.password = "x";
                          in.actionIndex = kMacro;
                        }),
                   "A username is required.", 1},
        Validation{"MacroBeforeLocations",
                   with(CompileInputs{}, [](CompileInputs& in) { in.actionIndex = kMacro; }),
                   "A macro name is required.", 3},
        Validation{"CommandMayBeEmpty",
                   with(officeTask(), [](CompileInputs& in) { in.actionIndex = kCmd; }), nullptr,
                   0},
        Validation{"AccessBeforeDatabase", CompileInputs{}, "The location of Access is required.",
                   4},
        Validation{"Database",
                   with(officeTask(), [](CompileInputs& in) { in.databaseLocation.clear(); }),
                   "The location of the database is required.", 5},
        Validation{"BlanksAreAValue",
                   with(CompileInputs{},
                        [](CompileInputs& in) {
                          in.accessLocation = " ";
                          in.databaseLocation = " ";
                          in.username = " ";
                          in.password = " ";
                          in.actionIndex = kMacro;
                          in.macro = " ";
                        }),
                   nullptr, 0},
        Validation{"NulInUsername",
                   with(officeTask(), [](CompileInputs& in) { in.username = "Ad\0min"s; }),
                   "The username holds a NUL character, which cannot be passed to a program.", 1},
        Validation{"NulInPassword",
                   with(officeTask(),
                        [](CompileInputs& in) {
                          in.username = "Admin";
                          in.password = "se\0cret"s;
                        }),
                   "The password holds a NUL character, which cannot be passed to a program.", 2},
        Validation{"NulInMacroName",
                   with(officeTask(),
                        [](CompileInputs& in) {
                          in.actionIndex = kMacro;
                          in.macro = "Nightly\0Export"s;
                        }),
                   "The macro or command holds a NUL character, which cannot be passed to a "
                   "program.",
                   3},
        Validation{"NulInCommandText",
                   with(officeTask(),
                        [](CompileInputs& in) {
                          in.actionIndex = kCmd;
                          in.macro = std::string(1, '\0');
                        }),
                   "The macro or command holds a NUL character, which cannot be passed to a "
                   "program.",
                   3},
        Validation{"NulInAnUnusedMacroIsNoPartOfTheLine",
                   with(officeTask(), [](CompileInputs& in) { in.macro = "x\0y"s; }), nullptr, 0},
        Validation{
            "NulInAccessLocation",
            with(officeTask(),
                 [](CompileInputs& in) { in.accessLocation = "/opt/recargs\0/../../bin/false"s; }),
            "The location of Access holds a NUL character, which cannot be passed to a "
            "program.",
            4},
        Validation{"NulInDatabaseLocation",
                   with(officeTask(),
                        [](CompileInputs& in) { in.databaseLocation = "/srv/orders\0-copy.mdb"s; }),
                   "The location of the database holds a NUL character, which cannot be passed "
                   "to a program.",
                   5},
        Validation{"NulInSecurityFileLocation",
                   with(officeTask(),
                        [](CompileInputs& in) { in.securityFileLocation = "/srv/secure\0.mdw"s; }),
                   "The location of the INI or MDW file holds a NUL character, which cannot be "
                   "passed to a program.",
                   6},
        Validation{"MissingValuesComeBeforeNul",
                   with(officeTask(),
                        [](CompileInputs& in) {
                          in.databaseLocation.clear();
                          in.accessLocation = "/opt/a\0b"s;
                        }),
                   "The location of the database is required.", 5}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv
