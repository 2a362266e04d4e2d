// JSON strings written for reports and answers: valid whatever bytes they hold.
#include "archive/json_text.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(JsonText, QuotedTextIsValidJsonWhateverItHolds) {
    EXPECT_EQ(archive::jsonQuoted("a\"b\\c\n\t\x01\x7f"), "\"a\\\"b\\\\c\\n\\t\\u0001\x7f\"");
    // Bytes that are not UTF-8 (a Latin-1 file name, a cut sequence, an
    // encoded surrogate, an overlong form) become U+FFFD; real UTF-8 stays.
    EXPECT_EQ(
        archive::jsonQuoted("Ren\xE9 \xC3\xA9 \xE2\x82 \xED\xA0\x80 \xC0\xAF \xF0\x9F\x98\x80"),
        "\"Ren\xEF\xBF\xBD \xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
        "\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80\"");
}

} // namespace
} // namespace velmora::testing
