#include "strict_json.h"

#include <gtest/gtest.h>

namespace kiv::testing {
namespace {

// The reader the kivctl tests check JSON with must refuse what kivctl must
// never write, or a broken writer would pass them.
TEST(StrictJson, TakesJsonAndRefusesWhatIsNotStrictlyJson) {
  const struct {
    std::string_view text;
    bool taken;
  } cases[] = {
      {R"({"a": [1, {"b": null}], "c": "x\u00e9"})", true},
      {" [] \n", true},
      {R"({"a": {"b": 1}, "b": 2})", true},  // one key in two objects
      {R"({"a": 1, "a": 2})", false},
      {R"({"a": {"b": 1, "b": 1}})", false},
      {R"([{"a": 1}, {"a": 1, "a": 1}])", false},
      {R"({"a": 1,})", false},
      {R"([1, 2,])", false},
      {"\"tab\there\"", false},
      {R"({"a": 1} x)", false},
      {R"({"a": 1}{})", false},
      {"", false},
  };
  for (const auto& [text, taken] : cases) {
    EXPECT_EQ(parseJson(text).has_value(), taken) << text;
  }
}

}  // namespace
}  // namespace kiv::testing
