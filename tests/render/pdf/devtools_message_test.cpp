// Reading what the browser sends: its JSON messages. Hostile or broken input
// is refused whole, never half-read, and never crashes.
#include "render/pdf/devtools_message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velmora::testing {
namespace {

using nlohmann::json;
using render::pdf::member;
using render::pdf::parseDevToolsMessage;
using render::pdf::stringMember;
using render::pdf::wholeNumber;

bool refused(const std::string& text) {
    return !parseDevToolsMessage(text);
}

std::optional<long long> wholeNumberOf(const std::string& text) {
    const std::optional<json> value = parseDevToolsMessage(text);
    EXPECT_TRUE(value) << text;
    return value ? wholeNumber(*value) : std::nullopt;
}

TEST(DevToolsMessage, ReadsTheAnswersOfTheBrowser) {
    const std::optional<json> answer = parseDevToolsMessage(
        " {\"id\":42,\"result\":{\"data\":\"JVBERi0=\",\"n\":[1,-2.5e3,true,null]}}\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(wholeNumber(*member(*answer, "id")), 42);
    const json* result = member(*answer, "result");
    ASSERT_TRUE(result);
    EXPECT_EQ(*stringMember(*result, "data"), "JVBERi0=");
    EXPECT_TRUE(member(*result, "n")->is_array());
    EXPECT_EQ(stringMember(*result, "n"), nullptr);
    EXPECT_EQ(member(*result, "missing"), nullptr);
    EXPECT_EQ(member(*member(*result, "data"), "x"), nullptr);

    const std::optional<json> event = parseDevToolsMessage(
        R"({"method":"Page.loadEventFired","sessionId":"A\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00"})");
    ASSERT_TRUE(event);
    EXPECT_EQ(*stringMember(*event, "sessionId"), "A\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(member(*event, "id"), nullptr);

    // Ids are whole numbers; anything else is no id.
    EXPECT_EQ(wholeNumberOf("1E2"), 100);
    EXPECT_EQ(wholeNumberOf("-0"), 0);
    EXPECT_EQ(wholeNumberOf("9007199254740992"), 9007199254740992);
    for (const char* number :
         {"1.5", "-0.5", "1e300", "18446744073709551615", "\"1\"", "true", "null", "[1]"})
        EXPECT_FALSE(wholeNumberOf(number)) << number;
}

TEST(DevToolsMessage, RefusesWhatIsNotOneWellFormedValue) {
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
                                   std::string("1e400"), // no finite double
                                   std::string("[1] // note"),
                                   std::string("\xEF\xBB\xBF{}"),
                                   controlInString,
                                   nulInside}) {
        EXPECT_TRUE(refused(bad)) << bad;
    }
}

// Text a reader might take in more than one way is refused rather than
// guessed at: the browser never sends it.
TEST(DevToolsMessage, RefusesTextThatCouldBeReadTwoWays) {
    EXPECT_TRUE(refused(R"({"id":42,"result":{},"id":7})"));
    EXPECT_TRUE(refused(R"({"result":{"a":1,"a":1}})"));
    // Lone surrogates, escaped or encoded, and bytes that are not UTF-8.
    for (const char* bad : {R"("\udc00")", R"("\ud83d")", R"("\ud83dx")", R"("\ud83d\u0041")",
                            "\"\xED\xA0\x80\"", "\"Ren\xE9\"", "\"\xE2\x82\"", "\"\xC0\xAF\""})
        EXPECT_TRUE(refused(bad)) << bad;
    EXPECT_FALSE(refused(R"({"a":{"id":1},"b":{"id":2}})"));
}

TEST(DevToolsMessage, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    const auto nested = [](std::size_t depth, const std::string& inside) {
        return std::string(depth, '[') + inside + std::string(depth, ']');
    };
    const auto nestedObjects = [](std::size_t depth) {
        std::string text;
        for (std::size_t i = 1; i < depth; ++i)
            text += "{\"a\":";
        return text + "{}" + std::string(depth - 1, '}');
    };
    constexpr std::size_t kDepth = render::pdf::kMaxMessageDepth;
    EXPECT_FALSE(refused(nested(kDepth, "")));
    EXPECT_FALSE(refused(nested(kDepth - 1, "1")));
    EXPECT_TRUE(refused(nested(kDepth, "1")));
    EXPECT_TRUE(refused(nested(kDepth + 1, "")));
    EXPECT_FALSE(refused(nestedObjects(kDepth)));
    EXPECT_TRUE(refused(nestedObjects(kDepth + 1)));
    EXPECT_TRUE(refused(std::string(1'000'000, '[')));
    EXPECT_TRUE(refused(std::string(1'000'000, '{')));
}

} // namespace
} // namespace velmora::testing
