// Tree text is UTF-8 on Linux: XML text passes through unchanged, and legacy
// Windows-1252 text becomes UTF-8.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(CodePage, TreeTextIsTheXmlTextOnLinux) {
    const std::string text = "Zo\xc3\xab \xe2\x98\x83 \x01 \xff";
    EXPECT_EQ(treeTextToUtf8(text), text);
    EXPECT_EQ(utf8ToTreeText(text), text);
    EXPECT_EQ(treeTextToUtf8(""), "");
}

TEST(CodePage, LegacyTextBecomesUtf8) {
    EXPECT_EQ(windows1252ToTreeText("Ren\xe9 \x80 \x81"), "Ren\xc3\xa9 \xe2\x82\xac \xc2\x81");
}

} // namespace
} // namespace velmora::testing
