// JSON written for reports, search results and exports: valid whatever bytes
// its strings hold, its members in the order they were added.
#include "tree/json_text.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

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

} // namespace
} // namespace velmora::testing
