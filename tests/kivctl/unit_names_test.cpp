#include "unit_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv::ctl {
namespace {

TEST(UnitNames, TheDefaultPrefixIsTheScheduleNameMadeSafe) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"/home/me/nightly.kiv", "kiv-nightly"},
      {"Nächtliche Sicherung.kiv", "kiv-N_chtliche_Sicherung"},
      {"a.b.kiv", "kiv-a.b"},
      {"no-extension", "kiv-no-extension"},
      {"$(rm -rf ~);.kiv", "kiv-__rm_-rf____"},
  };
  for (const auto& [file, prefix] : cases) {
    EXPECT_EQ(defaultUnitPrefix(file), prefix) << file;
    EXPECT_FALSE(unitPrefixProblem(prefix)) << prefix;
  }
  EXPECT_EQ(unitStem("kiv-nightly", 0), "kiv-nightly-task1");
  EXPECT_EQ(unitStem("kiv-nightly", 29), "kiv-nightly-task30");
}

TEST(UnitNames, RefusesPrefixesThatMakeNoSafeUnitName) {
  const std::vector<std::pair<std::string, std::string>> refused{
      {"", "must begin with"},
      {"-x", "must begin with"},
      {".hidden", "must begin with"},
      {"a b", "may hold only"},
      {"a/b", "may hold only"},
      {"ä", "may hold only"},
      {"a@b", "may hold only"},
      {"a\\x2d", "may hold only"},
      {std::string(kLongestUnitPrefix + 1, 'k'), "is longer than 240 characters"},
  };
  for (const auto& [prefix, words] : refused) {
    const auto problem = unitPrefixProblem(prefix);
    ASSERT_TRUE(problem) << prefix;
    EXPECT_NE(problem->find(words), std::string::npos) << *problem;
  }
  for (const std::string& prefix :
       std::vector<std::string>{"kiv_1.A-b", "_x", "9", std::string(kLongestUnitPrefix, 'k')}) {
    EXPECT_FALSE(unitPrefixProblem(prefix)) << prefix;
  }
}

}  // namespace
}  // namespace kiv::ctl
