// The lines of the deals' other texts, stored once with the number of their
// uses: texts come back exactly as they were given, lines leave with their
// last use, and only lists of ids as the index writes them are read.
#include "index/index_schema.h"
#include "index/text_lines.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace velmora::testing {
namespace {

using index::Database;
using index::OpenMode;

// "line=uses" of every stored line, in the order of their ids.
std::string usesOf(Database& db) {
    std::string uses;
    index::Statement query = db.prepare("SELECT line, uses FROM text_lines ORDER BY id");
    while (query.step())
        uses += (uses.empty() ? "" : "|") + query.text(0) + "=" + std::to_string(query.integer(1));
    return uses;
}

TEST(TextLines, TextsComeBackWholeAndLinesLeaveWithTheirLastUse) {
    TempFolder folder;
    Database db(folder.file("index.db"), OpenMode::Create, 1);
    index::prepareIndexSchema(db);
    index::LineWriter lines(db);
    // Repeated lines, an empty one and a text that ends with a line break.
    const std::string first = "Title charges\n1\n1\n\nOak Street\n";
    const std::string second = "1\nTitle charges\nElm Street";
    const std::optional<std::string> firstIds = lines.keep(first);
    const std::optional<std::string> secondIds = lines.keep(second);
    ASSERT_TRUE(firstIds && secondIds);
    EXPECT_EQ(*firstIds, "[1,2,2,3,4,3]");
    EXPECT_EQ(*secondIds, "[2,1,5]");
    EXPECT_EQ(lines.keep(""), std::nullopt);
    lines.settle();
    EXPECT_EQ(usesOf(db), "Title charges=2|1=3|=2|Oak Street=1|Elm Street=1");

    // A deal written again: its lines stay, under the same ids.
    EXPECT_EQ(lines.take(*firstIds), first);
    EXPECT_EQ(lines.keep(first), firstIds);
    lines.settle();
    EXPECT_EQ(usesOf(db), "Title charges=2|1=3|=2|Oak Street=1|Elm Street=1");

    EXPECT_EQ(lines.take(*firstIds), first);
    lines.settle();
    EXPECT_EQ(usesOf(db), "Title charges=1|1=1|Elm Street=1");
    EXPECT_EQ(index::LineReader(db).textOf(*secondIds), second);
    EXPECT_EQ(lines.take(*secondIds), second);
    lines.settle();
    EXPECT_EQ(usesOf(db), "");
    // A list that names a line no longer there gives no text.
    EXPECT_EQ(lines.take(*secondIds), std::nullopt);
    EXPECT_EQ(index::LineReader(db).textOf("[]"), "");
}

TEST(TextLines, OnlyListsOfIdsAsTheIndexWritesThemAreRead) {
    using Ids = std::vector<std::int64_t>;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(index::lineIdsText({}), "[]");
    EXPECT_EQ(index::lineIdsText({7, 1, 7}), "[7,1,7]");
    EXPECT_EQ(index::lineIdsOf("[7,1,7]"), (Ids{7, 1, 7}));
    EXPECT_EQ(index::lineIdsOf("[]"), Ids{});
    EXPECT_EQ(index::lineIdsOf(index::lineIdsText({kLargest})), Ids{kLargest});
    for (const char* notAList :
         {"",        "[",     "]",    "7",      "[7",    "7]",
          "[,]",     "[7,]",  "[,7]", "[7,,1]", "[ 7]",  "[7 ]",
          "[07]",    "[0]",   "[-7]", "[+7]",   "[7.0]", "[9223372036854775808]",
          "[\"7\"]", "[[7]]", "{7}"})
        EXPECT_EQ(index::lineIdsOf(notAList), std::nullopt) << notAList;
}

} // namespace
} // namespace velmora::testing
