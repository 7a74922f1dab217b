#include "json_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "strict_json.h"

namespace kiv::ctl {
namespace {

TEST(JsonWriter, IndentsContainersAndKeepsInlineOnesOnOneLine) {
  std::ostringstream out;
  JsonWriter json(out);
  json.beginObject();
  json.key("layout");
  json.string("current");
  json.key("empty");
  json.beginArray();
  json.endArray();
  json.key("launches");
  json.beginArray();
  for (int task : {3, 12}) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.key("task");
    json.number(task);
    json.key("at");
    json.null();
    json.endObject();
  }
  json.endArray();
  json.endObject();

  EXPECT_EQ(out.str(),
            "{\n"
            "  \"layout\": \"current\",\n"
            "  \"empty\": [],\n"
            "  \"launches\": [\n"
            "    {\"task\": 3, \"at\": null},\n"
            "    {\"task\": 12, \"at\": null}\n"
            "  ]\n"
            "}");
}

TEST(JsonWriter, EscapesWhatJsonRequiresAndKeepsUtf8) {
  const std::string text = "say \"hi\" C:\\db\ttab\nline\x01\x1f \u00e9\u20ac end";
  std::ostringstream out;
  JsonWriter json(out);
  json.string(text);

  EXPECT_EQ(out.str(), R"("say \"hi\" C:\\db\ttab\nline\u0001\u001f )"
                       "\u00e9\u20ac"
                       R"( end")");
  const auto parsed = testing::parseJson(out.str());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->get<std::string>(), text);
}

}  // namespace
}  // namespace kiv::ctl
