#include "form/information_request.h"

#include <gtest/gtest.h>

#include <vector>

namespace kiv {
namespace {

std::optional<std::string> requested(std::vector<std::string_view> arguments) {
  return informationRequested(arguments);
}

TEST(InformationRequest, HelpAndVersionAloneArePrintedInsteadOfStarting) {
  EXPECT_EQ(requested({"--version"}), "Kiv - Kivander v7.0.0\n");
  const std::optional<std::string> help = requested({"--help"});
  ASSERT_TRUE(help.has_value());
  EXPECT_TRUE(help->starts_with("usage: kiv [/o SCHEDULE]\n")) << *help;
  EXPECT_NE(help->find("--version"), std::string::npos) << *help;
}

// The documented command line, and any other, still start the program.
TEST(InformationRequest, EveryOtherCommandLineStarts) {
  const std::vector<std::vector<std::string_view>> starting = {
      {},         {"/o", "--help"}, {"/o", "nightly.kiv"}, {"--help", "--version"},
      {"--Help"}, {"-h"},           {"--version="},
  };
  for (const auto& arguments : starting) {
    EXPECT_EQ(requested(arguments), std::nullopt) << arguments.size();
  }
}

}  // namespace
}  // namespace kiv
