// Reading what another program sends: the browser's JSON messages. Hostile
// or broken input is refused whole, never half-read, and never crashes.
#include "archive/json_value.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

using archive::JsonValue;
using archive::parseJson;

TEST(JsonValue, ReadsTheAnswersOfTheBrowser) {
    const std::optional<JsonValue> answer =
        parseJson(" {\"id\":42,\"result\":{\"data\":\"JVBERi0=\",\"n\":[1,-2.5e3,true,null]},"
                  "\"id\":7}\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->member("id")->integer(), 42); // the first of a repeated name
    const JsonValue* result = answer->member("result");
    ASSERT_TRUE(result);
    EXPECT_EQ(*result->stringMember("data"), "JVBERi0=");
    EXPECT_EQ(result->member("n")->type(), JsonValue::Type::Array);
    EXPECT_EQ(result->stringMember("n"), nullptr);
    EXPECT_EQ(result->member("missing"), nullptr);
    EXPECT_EQ(result->member("data")->member("x"), nullptr);

    const std::optional<JsonValue> event = parseJson(
        R"({"method":"Page.loadEventFired","sessionId":"A\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00\udc00"})");
    ASSERT_TRUE(event);
    EXPECT_EQ(*event->stringMember("sessionId"),
              "A\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(event->member("id"), nullptr);

    // Ids are whole numbers; anything else is no id.
    EXPECT_EQ(parseJson("1E2")->integer(), 100);
    EXPECT_EQ(parseJson("-0")->integer(), 0);
    for (const char* number : {"1.5", "-0.5", "1e300", "\"1\"", "true", "null", "[1]"})
        EXPECT_FALSE(parseJson(number)->integer()) << number;
    EXPECT_FALSE(parseJson("1e400")); // no finite double
}

TEST(JsonValue, RefusesWhatIsNotOneWellFormedValue) {
    const std::string controlInString = std::string("\"a") + '\x01' + "\"";
    const std::string nulInside = std::string("{\"id\":1") + '\0' + "}";
    for (const std::string& bad : {std::string(),
                                   std::string("   "),
                                   std::string("{"),
                                   std::string("{\"id\":1"),
                                   std::string("{\"id\" 1}"),
                                   std::string("{id:1}"),
                                   std::string("{\"a\":1,}"),
                                   std::string("[1,]"),
                                   std::string("[1 2]"),
                                   std::string("01"),
                                   std::string("1."),
                                   std::string("+1"),
                                   std::string(".5"),
                                   std::string("1e"),
                                   std::string("-"),
                                   std::string("tru"),
                                   std::string("nul"),
                                   std::string("\"abc"),
                                   std::string("\"\\x\""),
                                   std::string("\"\\u12\""),
                                   std::string("\"\\u12G4\""),
                                   std::string("{} {}"),
                                   std::string("{}x"),
                                   std::string("NaN"),
                                   std::string("'a'"),
                                   controlInString,
                                   nulInside}) {
        EXPECT_FALSE(parseJson(bad)) << bad;
    }
}

TEST(JsonValue, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    const auto nested = [](int depth) {
        return std::string(static_cast<std::size_t>(depth), '[') +
               std::string(static_cast<std::size_t>(depth), ']');
    };
    EXPECT_TRUE(parseJson(nested(archive::kMaxJsonDepth)));
    EXPECT_FALSE(parseJson(nested(archive::kMaxJsonDepth + 1)));
    EXPECT_FALSE(parseJson(std::string(1'000'000, '[')));
    EXPECT_FALSE(parseJson(std::string(1'000'000, '{')));
}

} // namespace
} // namespace velmora::testing
