// The base64 the browser sends its printed PDFs in. Broken input is refused
// whole, never half-read.
#include "render/pdf/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

TEST(Base64, DecodesWhatTheBrowserSendsAndRefusesTheRest) {
    EXPECT_EQ(render::pdf::decodeBase64(""), "");
    EXPECT_EQ(render::pdf::decodeBase64("JVBERi0xLjQ="), "%PDF-1.4");
    EXPECT_EQ(render::pdf::decodeBase64("YQ=="), "a");
    EXPECT_EQ(render::pdf::decodeBase64("YWI="), "ab");
    EXPECT_EQ(render::pdf::decodeBase64("AP/+"), std::string("\x00\xFF\xFE", 3));
    for (const char* bad :
         {"YQ", "YQ=", "Y===", "====", "YQ==YQ==", "YW=I", "YR==", "YWJ=", "YW I", "YW\nI", "YW-_"})
        EXPECT_FALSE(render::pdf::decodeBase64(bad)) << bad;
}

} // namespace
} // namespace velmora::testing
