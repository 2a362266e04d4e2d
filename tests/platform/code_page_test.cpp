// Tree text is UTF-8 on Linux: XML text passes through unchanged, and legacy
// text becomes UTF-8 from the code page it was written in.
#include "platform/code_page.h"
#include "platform/single_byte_code_pages.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(CodePage, TreeTextIsTheXmlTextOnLinux) {
    const std::string text = "Zo\xc3\xab \xe2\x98\x83 \x01 \xff";
    EXPECT_EQ(treeTextToUtf8(text), text);
    EXPECT_EQ(utf8ToTreeText(text), text);
    EXPECT_EQ(treeTextToUtf8(""), "");
    EXPECT_TRUE(treeTextHoldsEveryCharacter());
}

TEST(CodePage, LegacyTextIsWindows1252UnlessACodePageIsNamed) {
    // "José Muñoz", with the euro sign and one of 1252's undefined bytes.
    const std::string legacy = "Jos\xe9 Mu\xf1oz \x80 \x81";
    EXPECT_EQ(legacyTextToTreeText(legacy, std::nullopt).text,
              "Jos\xc3\xa9 Mu\xc3\xb1oz \xe2\x82\xac \xc2\x81");
    // The same bytes from a Polish Windows: ń, and 0x81 left undefined there too.
    EXPECT_EQ(legacyTextToTreeText(legacy, 1250).text,
              "Jos\xc3\xa9 Mu\xc5\x84oz \xe2\x82\xac \xc2\x81");
    EXPECT_EQ(legacyTextToTreeText("\xc1\xe8\xe9", 1251).text, "\xd0\x91\xd0\xb8\xd0\xb9");
    EXPECT_EQ(legacyTextToTreeText("\xa1\xe1", 874).text, "\xe0\xb8\x81\xe0\xb9\x81");
    EXPECT_TRUE(legacyTextToTreeText("plain", 1258).carried());
}

TEST(CodePage, AByteACodePageGivesNoCharacterIsNamedNotGuessed) {
    // 0xAA has no character in Greek 1253; 0x8A below 0xA0 reads as its C1 control.
    const ConvertedText greek = legacyTextToTreeText("\xc1\x8a\xaa\xc2", 1253);
    EXPECT_FALSE(greek.carried());
    EXPECT_EQ(greek.failure, "byte 0xAA has no character in code page 1253");
    EXPECT_EQ(greek.failedAt, 2u);
    EXPECT_EQ(greek.text, "");
    EXPECT_EQ(legacyTextToTreeText("\xc1\x8a", 1253).text, "\xce\x91\xc2\x8a");
    EXPECT_EQ(legacyTextToTreeText("ok \xff", 874).failure,
              "byte 0xFF has no character in code page 874");
}

TEST(CodePage, EveryByteOfEveryCodePageIsOneCharacterOrNamed) {
    EXPECT_EQ(singleByteCodePageNames(),
              "874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258");
    for (const unsigned codePage :
         {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        ASSERT_TRUE(isSingleByteCodePage(codePage));
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            const std::string text(1, static_cast<char>(byte));
            const ConvertedText converted = singleByteToUtf8(text, codePage);
            SCOPED_TRACE(std::to_string(codePage) + " byte " + std::to_string(byte));
            if (!converted.carried()) {
                EXPECT_GE(byte, 0xA0u);
                continue;
            }
            EXPECT_TRUE(isUtf8(converted.text));
            EXPECT_EQ(utf8SequenceLength(converted.text, 0), converted.text.size());
            if (byte < 0x80) {
                EXPECT_EQ(converted.text, text);
            }
        }
    }
    for (const unsigned other : {0u, 437u, 932u, 1249u, 1259u, 65001u})
        EXPECT_FALSE(isSingleByteCodePage(other)) << other;
    EXPECT_FALSE(singleByteToUtf8("a", 932).carried());
}

} // namespace
} // namespace velmora::testing
