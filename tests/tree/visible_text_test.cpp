// The one form of text that leaves the program for terminals and tables.
#include "tree/visible_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::testing {
namespace {

TEST(VisibleText, NothingAReaderCouldMistakeIsLeftRaw) {
    const struct {
        std::string raw;
        std::string shown;
    } cases[] = {
        {"deals/Søren Ångström, 12 Main St.hud", "deals/Søren Ångström, 12 Main St.hud"},
        {"a\tb\nc\rd\\e", "a\\tb\\nc\\rd\\\\e"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"\x1b[31mred\x1b[0m", "\\x1B[31mred\\x1B[0m"},
        {"del\x7f", "del\\x7F"},
        {"c1 \xc2\x9b"
         "2J",
         "c1 \\u009B2J"},
        {"bad\xff\xfe.xml", "bad\\xFF\\xFE.xml"},
        {"bad\xff\xfd.xml", "bad\\xFF\\xFD.xml"},
        {"cut \xe2\x80", "cut \\xE2\\x80"},
        {"gpj.\xe2\x80\xae"
         "exe",
         "gpj.\\u202Eexe"},
        {"\xe2\x81\xa6x\xe2\x81\xa9", "\\u2066x\\u2069"},
        {"\xe2\x80\xa9 stays", "\xe2\x80\xa9 stays"}, // a paragraph separator is no control
    };
    for (const auto& [raw, shown] : cases)
        EXPECT_EQ(visibleText(raw), shown) << raw;
}

} // namespace
} // namespace velmora::testing
