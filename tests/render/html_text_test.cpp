// What a stored value may hold never reaches the page as markup, as a raw
// control character, or as a character that reorders the text around it.
#include "render/html_text.h"

#include <gtest/gtest.h>

namespace velmora::render {
namespace {

TEST(HtmlText, MarkupControlsAndReorderingCharactersNeverReachThePageRaw) {
    EXPECT_EQ(htmlText("<b>\"O'Neil\" & Co</b>"),
              "&lt;b&gt;&quot;O&#39;Neil&quot; &amp; Co&lt;/b&gt;");
    EXPECT_EQ(htmlText(std::string("a\x01z\x1B[2Jy\x7F", 9)), "a\u2401z\u241B[2Jy\u2421");
    EXPECT_EQ(htmlText("tab\tline\nreturn\r"), "tab\tline\nreturn\r");
    // C1 controls, then each bidirectional embedding, override and isolate.
    EXPECT_EQ(htmlText("x\u0085y\u009Bz"), "x\uFFFDy\uFFFDz");
    for (const char* reordering : {"\u202A", "\u202B", "\u202C", "\u202D", "\u202E", "\u2066",
                                   "\u2067", "\u2068", "\u2069"}) {
        EXPECT_EQ(htmlText(std::string("invoice") + reordering + "fdp.exe"), "invoice\uFFFDfdp.exe")
            << reordering;
    }
    // Their neighbours are ordinary text: a zero-width joiner, a per mille sign.
    EXPECT_EQ(htmlText("a\u200Db\u2030c\u2065d"), "a\u200Db\u2030c\u2065d");
}

// A stored text in the style sheet's footer cannot end its string or the
// style sheet, whatever it holds.
TEST(HtmlText, CssStringsEscapeEverythingButLettersDigitsAndBlanks) {
    EXPECT_EQ(cssString("File 7-B"), "\"File 7\\2D B\"");
    EXPECT_EQ(cssString("a\"b\\c</style>\n;}"),
              "\"a\\22 b\\5C c\\3C \\2F style\\3E \\0A \\3B \\7D \"");
    EXPECT_EQ(cssString(std::string("x\x01\u202Ey\u00E9", 8)), "\"x\u2401\uFFFDy\u00E9\"");
}

} // namespace
} // namespace velmora::render
