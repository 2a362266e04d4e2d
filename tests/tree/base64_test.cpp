// Base64 both ways: what the browser sends its printed PDFs in, and the exact
// bytes our JSON gives for text that is not UTF-8. Broken input is refused
// whole, never half-read.
#include "tree/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

TEST(Base64, DecodesWhatTheBrowserSendsAndRefusesTheRest) {
    EXPECT_EQ(decodeBase64(""), "");
    EXPECT_EQ(decodeBase64("JVBERi0xLjQ="), "%PDF-1.4");
    EXPECT_EQ(decodeBase64("YQ=="), "a");
    EXPECT_EQ(decodeBase64("YWI="), "ab");
    EXPECT_EQ(decodeBase64("AP/+"), std::string("\x00\xFF\xFE", 3));
    for (const char* bad :
         {"YQ", "YQ=", "Y===", "====", "YQ==YQ==", "YW=I", "YR==", "YWJ=", "YW I", "YW\nI", "YW-_"})
        EXPECT_FALSE(decodeBase64(bad)) << bad;
}

// Every length's padding, every byte value in every position of a group.
TEST(Base64, EncodesAsTheStandardSaysAndDecodesBackToTheSameBytes) {
    EXPECT_EQ(encodeBase64(""), "");
    EXPECT_EQ(encodeBase64("f"), "Zg==");
    EXPECT_EQ(encodeBase64("fo"), "Zm8=");
    EXPECT_EQ(encodeBase64("foo"), "Zm9v");
    EXPECT_EQ(encodeBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(encodeBase64(std::string("\x00\xFB\xFF\xFE", 4)), "APv//g==");
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    for (std::size_t length = 0; length <= everyByte.size(); ++length) {
        const std::string bytes = everyByte.substr(everyByte.size() - length) + everyByte;
        EXPECT_EQ(decodeBase64(encodeBase64(bytes)), bytes) << length;
    }
}

} // namespace
} // namespace velmora::testing
