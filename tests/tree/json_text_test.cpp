// JSON written for reports, search results and exports: valid whatever bytes
// its strings hold, its members in the order they were added, and the exact
// bytes of text that is not UTF-8 beside it.
#include "tree/json_text.h"

#include "tree/base64.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {
namespace {

TEST(JsonText, IsOneValidLineWhateverTheStringsHold) {
    const nlohmann::ordered_json record = {
        {"z", "a\"b\\c\n\r\t\x01\x1f\x7f\b\f/\xE2\x80\xA8"}, {"a", 1}, {"m", nullptr}};
    EXPECT_EQ(jsonText(record),
              "{\"z\":\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f\x7f\\b\\f/\xE2\x80\xA8\","
              "\"a\":1,\"m\":null}");
    // Bytes that are not UTF-8 (a Latin-1 file name, a cut sequence, an
    // encoded surrogate, an overlong form) become U+FFFD, a cut sequence
    // once; real UTF-8 stays.
    EXPECT_EQ(
        jsonText("Ren\xE9 \xC3\xA9 \xE2\x82 \xED\xA0\x80 \xC0\xAF \xF0\x9F\x98\x80 \xF0\x9F\x98"),
        "\"Ren\xEF\xBF\xBD \xC3\xA9 \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
        "\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80 \xEF\xBF\xBD\"");
}

// Two names that differ only in bytes that are not UTF-8 read alike as text;
// their exact bytes follow each such member, at any depth. Text that is
// UTF-8, however unusual, gets no second member.
TEST(JsonText, TextThatIsNotUtf8IsFollowedByItsExactBytes) {
    const auto record = [](const std::string& path) {
        return nlohmann::ordered_json{{"path", path}, {"size", 1}};
    };
    const std::string fe = jsonText(record("bad\xFF\xFE.xml"));
    EXPECT_EQ(fe, "{\"path\":\"bad\xEF\xBF\xBD\xEF\xBF\xBD.xml\",\"path_base64\":\"YmFk//4ueG1s\","
                  "\"size\":1}");
    const std::vector<std::pair<std::string, std::string>> names = {
        {fe, "bad\xFF\xFE.xml"}, {jsonText(record("bad\xFF\xFD.xml")), "bad\xFF\xFD.xml"}};
    EXPECT_NE(names[0].first, names[1].first);
    for (const auto& [text, bytes] : names) {
        const nlohmann::json parsed = nlohmann::json::parse(text);
        ASSERT_TRUE(parsed.contains("path_base64")) << text;
        EXPECT_EQ(decodeBase64(parsed["path_base64"].get<std::string>()), bytes) << text;
    }

    nlohmann::ordered_json deal = nlohmann::ordered_json::object();
    deal["properties"]["memo"] = {{"kind", "string"}, {"value", "Ren\xE9"}};
    deal["children"] = nlohmann::ordered_json::array();
    deal["children"].push_back({{"name", "\xFF"}});
    EXPECT_EQ(jsonText(deal),
              "{\"properties\":{\"memo\":{\"kind\":\"string\",\"value\":\"Ren\xEF\xBF\xBD\","
              "\"value_base64\":\"UmVu6Q==\"}},\"children\":[{\"name\":\"\xEF\xBF\xBD\","
              "\"name_base64\":\"/w==\"}]}");

    EXPECT_EQ(jsonText({{"name", "\xC3\xA9\xF0\x9F\x98\x80\xE2\x80\xA8\x01\x7F"}, {"none", ""}}),
              "{\"name\":\"\xC3\xA9\xF0\x9F\x98\x80\xE2\x80\xA8\\u0001\x7F\",\"none\":\"\"}");
    // The browser's messages are text for it, nothing more.
    EXPECT_EQ(plainJsonText(record("bad\xFF\xFE.xml")),
              "{\"path\":\"bad\xEF\xBF\xBD\xEF\xBF\xBD.xml\",\"size\":1}");
}

} // namespace
} // namespace velmora::testing
