#include <gtest/gtest.h>

#include "help_document.h"

namespace kiv {
namespace {

TEST(HelpDocument, OpensAtTheSectionOfTheHelpContext) {
  const std::string document = R"(C:\Program Files\Kiv\kiv-help.html)";
  const std::string url = "file:///C:/Program%20Files/Kiv/kiv-help.html";
  EXPECT_EQ(helpUrl(document, 1), url + "#schedule");
  EXPECT_EQ(helpUrl(document, 2), url + "#task");
  EXPECT_EQ(helpUrl(document, 0), url);
  EXPECT_EQ(helpUrl(document, 3), url);
}

}  // namespace
}  // namespace kiv
