// Paths split as text: the file's name after the platform's separators (or
// those a caller names) and where its extension begins.
#include "platform/path_parts.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(PathParts, NameFollowsTheLastSeparatorOfThePlatformOrOfTheCaller) {
    EXPECT_EQ(fileNameOf("/deals/2008/deal.hud"), "deal.hud");
    EXPECT_EQ(fileNameOf("deal.hud"), "deal.hud");
    EXPECT_EQ(fileNameOf("/deals/"), "");
    EXPECT_EQ(fileNameOf("C:\\D\\deal.hud", "/\\"), "deal.hud");
    EXPECT_EQ(fileNameOf("a/b\\c", "\\"), "c");
#ifdef _WIN32
    EXPECT_EQ(fileNameOf("C:\\D/E\\deal.hud"), "deal.hud");
    EXPECT_TRUE(isPathSeparator('\\'));
#else
    // A backslash is part of a name here.
    EXPECT_EQ(fileNameOf("/deals/a\\deal.hud"), "a\\deal.hud");
    EXPECT_FALSE(isPathSeparator('\\'));
#endif
    EXPECT_TRUE(isPathSeparator('/'));
    EXPECT_FALSE(isPathSeparator('.'));
}

TEST(PathParts, ExtensionIsTheNamesLastDotUnlessThatStartsTheName) {
    const std::pair<std::string, std::size_t> cases[] = {{"/deals/deal.hud", 11},
                                                         {"deal.tar.gz", 8},
                                                         {"/deals.d/deal", 13},
                                                         {"/deals/.hud", 11},
                                                         {"/deals/x.", 8},
                                                         {"", 0},
                                                         {".", 1},
                                                         {"/deals/..hud", 8},
                                                         {"a.b/c.d/e", 9}};
    for (const auto& [path, start] : cases)
        EXPECT_EQ(extensionStart(path), start) << path;
}

} // namespace
} // namespace velmora
