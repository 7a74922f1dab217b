#include "systemd_quoting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "systemd_units.h"

namespace kiv::ctl {
namespace {

TEST(SystemdQuoting, EveryArgumentIsOneQuotedWordThatSystemdTakesAsWritten) {
  const std::vector<std::string> arguments{"/opt/db/access",
                                           R"(D:\Data\a b.mdb)",
                                           R"(say "hi")",
                                           "100%",
                                           "%n",
                                           "$HOME",
                                           "${X}",
                                           ";",
                                           "",
                                           "tab\there",
                                           "it's",
                                           "Nächtlich €"};
  EXPECT_EQ(execStartValue(arguments),
            R"("/opt/db/access" "D:\\Data\\a b.mdb" "say \"hi\"" "100%%" "%%n" "$$HOME" )"
            R"("$${X}" ";" "" "tab\x09here" "it's" "Nächtlich €")");
}

TEST(SystemdQuoting, RefusesProgramsSystemdWouldNotStartAsTheStarterDoes) {
  const std::string program = "its program ";
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
      {{R"(C:\Office\MSACCESS.EXE)", "x"}, "a backslash"},
      {{"/opt/it's"}, "a quote"},
      {{R"(/opt/"x")"}, "a quote"},
      {{"/opt/a$b"}, "\"$\""},
      {{"/opt/tab\there"}, "control character"},
      {{"bin/access"}, "neither an absolute path nor a program name without a folder"},
      {{"/opt/db/"}, "neither"},
      {{"."}, "neither"},
      {{".."}, "neither"},
      {{""}, "neither"},
      {{"-access"}, "begins with \"-\", which systemd reads as a prefix"},
      {{"@access"}, "begins with \"@\""},
      {{":access"}, "begins with \":\""},
      {{"+access"}, "begins with \"+\""},
      {{"!access"}, "begins with \"!\""},
      {{"/opt/db/access", std::string("a\0b", 3)}, "its command line holds a NUL character"},
      {{}, "its command line names no program"},
  };
  for (const auto& [arguments, words] : refused) {
    const auto problem = execStartProblem(arguments);
    ASSERT_TRUE(problem) << (arguments.empty() ? "(none)" : arguments.front());
    EXPECT_NE(problem->find(words), std::string::npos) << *problem;
  }
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"/opt/db/access", "/pwd", "$ecret;%\\\""},
        {"access", "-x"},
        {"/opt/-access"},
        {"/opt/100% sure/access"}}) {
    EXPECT_FALSE(execStartProblem(arguments)) << *execStartProblem(arguments);
  }
}

TEST(SystemdQuoting, PlainSettingsShowTextAsWrittenOnOneLine) {
  EXPECT_EQ(plainSettingValue("100% \"done\"\\"), "100%% \"done\"\\");
  EXPECT_EQ(plainSettingValue("two\nlines\r\x7f"), "two\\x0alines\\x0d\\x7f");
}

TEST(SystemdQuoting, DescriptionsNameTheTaskAndNeverEndInABackslash) {
  EXPECT_EQ(taskDescription(2, "Nightly compact", "nightly.kiv"),
            "Kiv task 3 \"Nightly compact\" (nightly.kiv)");
  EXPECT_EQ(taskDescription(29, "", "odd\\"), "Kiv task 30 (odd\\)");
  EXPECT_EQ(taskDescription(0, "ends in\\", "n.kiv"), "Kiv task 1 \"ends in\\\" (n.kiv)");
}

}  // namespace
}  // namespace kiv::ctl
