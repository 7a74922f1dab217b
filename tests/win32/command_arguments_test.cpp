#include <gtest/gtest.h>

#include "command_arguments.h"

namespace kiv {
namespace {

struct ArgumentsCase {
  const char* commandLine;
  const char* arguments;
};

class CommandArguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(CommandArguments, FollowTheProgramsOwnName) {
  EXPECT_EQ(argumentsAfterProgramName(GetParam().commandLine), GetParam().arguments)
      << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Win32, CommandArguments,
    ::testing::Values(
        ArgumentsCase{R"("C:\Program Files\Kiv\Kiv.exe" /o C:\s.kiv)", R"(/o C:\s.kiv)"},
        ArgumentsCase{R"(C:\Kiv\Kiv.exe /o C:\s.kiv)", R"(/o C:\s.kiv)"},
        // The rest is taken exactly as it stands: quotation marks, inner and
        // trailing blanks.
        ArgumentsCase{R"(Kiv.exe /o "C:\my schedules\a.kiv"  )", R"(/o "C:\my schedules\a.kiv"  )"},
        ArgumentsCase{"Kiv.exe \t /o  x", "/o  x"},
        ArgumentsCase{R"("C:\a b\Kiv.exe"/o x)", "/o x"},
        // A quoted name ends at its closing quotation mark, whatever follows.
        ArgumentsCase{R"("C:\Kiv.exe""x" y)", R"("x" y)"}, ArgumentsCase{"Kiv.exe", ""},
        ArgumentsCase{"Kiv.exe   ", ""}, ArgumentsCase{R"("C:\Kiv.exe)", ""},
        ArgumentsCase{"", ""}));

}  // namespace
}  // namespace kiv
