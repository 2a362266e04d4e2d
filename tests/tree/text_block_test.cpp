// The packed texts of a node: what goes in comes out, a replacement touches
// one text only, and the loader's builder merges what an element gives with
// what the node held.
#include "tree/text_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::testing {
namespace {
using Texts = std::vector<std::string>;

Texts textsOf(const TextBlock& block) {
    Texts texts;
    for (std::uint32_t i = 0; i < block.size(); ++i)
        texts.emplace_back(block[i]);
    return texts;
}

TextBlock packed(const Texts& texts) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    return TextBlock::pack(views);
}

TEST(TextBlock, PacksEveryTextWhateverItsLengthAndBytes) {
    // Empty texts first, last and between; lengths off the word size; NULs
    // and high bytes kept as they are.
    const Texts texts{
        "", "a", std::string("x\0y", 3), "", "\xEE\x80\x81 caf\xC3\xA9", std::string(1000, 'z'),
        ""};
    const TextBlock block = packed(texts);
    ASSERT_TRUE(block.holdsTexts());
    EXPECT_EQ(textsOf(block), texts);

    const TextBlock none = packed({});
    EXPECT_TRUE(none.holdsTexts());
    EXPECT_EQ(none.size(), 0u);
    EXPECT_FALSE(TextBlock().holdsTexts());
}

TEST(TextBlock, ReplacedChangesOneTextAndLeavesTheOriginal) {
    const Texts texts{"first", "second", "third"};
    const TextBlock block = packed(texts);
    const TextBlock longer = block.replaced(1, std::string(40, 'L'));
    const TextBlock emptied = longer.replaced(0, "");
    const TextBlock lastShorter = emptied.replaced(2, "3");
    EXPECT_EQ(textsOf(emptied), (Texts{"", std::string(40, 'L'), "third"}));
    EXPECT_EQ(textsOf(lastShorter), (Texts{"", std::string(40, 'L'), "3"}));
    EXPECT_EQ(textsOf(lastShorter.replaced(1, "")), (Texts{"", "", "3"}));
    EXPECT_EQ(textsOf(block), texts);
}

TEST(TextBlockBuilder, MergesGivenTextsOverTheCurrentOnesAndStartsCleanEachTime) {
    const TextBlock current = packed({"one", "two", "three", "four"});
    TextBlockBuilder builder;
    builder.reset(4);
    EXPECT_FALSE(builder.anyGiven());
    builder.set(2, "THREE");
    builder.set(0, std::string(30, 'a'));
    builder.set(2, ""); // a later text for the same slot wins
    ASSERT_TRUE(builder.anyGiven());
    EXPECT_EQ(textsOf(builder.merged(current)), (Texts{std::string(30, 'a'), "two", "", "four"}));

    // Nothing of the previous element carries over to the next.
    builder.reset(4);
    EXPECT_FALSE(builder.anyGiven());
    builder.set(3, "IV");
    EXPECT_EQ(textsOf(builder.merged(current)), (Texts{"one", "two", "three", "IV"}));
}

} // namespace
} // namespace velmora::testing
