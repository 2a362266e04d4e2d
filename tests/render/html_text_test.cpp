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

} // namespace
} // namespace velmora::render
