// The one rule for blanks around typed texts, which amounts, dates and
// numbers given on the command line all follow.
#include "tree/text_trim.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(TextTrim, TheSixAsciiBlanksGoFromTheEndsOthersStay) {
    EXPECT_EQ(trimmed(" \t\n\v\f\r12 5\r\f\v\n\t "), "12 5");
    EXPECT_EQ(trimmedStart(" \t\n\v\f\r12 \r\n"), "12 \r\n");
    EXPECT_EQ(trimmed(" \r\n\t"), "");
    EXPECT_EQ(trimmed(""), "");
    // A NUL, a no-break space (Windows-1252 and UTF-8) and a letter are text.
    const std::string kept[] = {std::string(1, '\0'), "\xA0", "\xC2\xA0", "x"};
    for (const std::string& text : kept) {
        EXPECT_EQ(trimmed(" " + text + "\t"), text);
        EXPECT_EQ(trimmedStart(text + " "), text + " ");
    }
}

} // namespace
} // namespace velmora
