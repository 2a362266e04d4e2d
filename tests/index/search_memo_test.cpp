// Searches through one reading connection that keep what they learned (the
// terms a word begins, the count of a question): the same answers as
// searches without, and none of them stale once another connection has
// changed the index.
#include "index/index_schema.h"
#include "index/index_search.h"
#include "index/index_writer.h"
#include "index/search_memo.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::testing {
namespace {

using index::Database;
using index::Field;
using index::OpenMode;
using index::SearchQuery;

void putDeal(Database& db, const std::string& path, const std::string& text) {
    index::IndexWriter writer(db);
    index::IndexEntry entry;
    entry.values[Field::Path] = path;
    entry.values[Field::Status] = std::string("indexed");
    entry.values[Field::Lender] = std::string("Harbor Savings");
    entry.text = text;
    writer.put(entry);
    writer.commit();
}

void removeDeal(Database& db, const std::string& path) {
    index::IndexWriter writer(db);
    writer.remove(path);
    writer.commit();
}

// The paths found and how many match in all, as one text to compare.
std::string answer(Database& db, const SearchQuery& query, index::SearchMemo* memo) {
    const index::SearchResult result = index::searchIndex(db, query, memo);
    std::string text = std::to_string(result.matches) + ":";
    for (const index::SearchHit& hit : result.hits)
        text += " " + std::get<std::string>(hit.fields[Field::Path]);
    return text;
}

class SearchMemoTest : public ::testing::Test {
protected:
    SearchMemoTest() : writer_(path_, OpenMode::Create, 1) {
        index::prepareIndexSchema(writer_);
        putDeal(writer_, "/deals/a.hud", "Dana Whitlock common common");
        putDeal(writer_, "/deals/b.hud", "Lee Whitlock common");
        putDeal(writer_, "/deals/c.hud", "Lee Okafor");
        reader_ = std::make_unique<Database>(path_, OpenMode::ReadOnly, 1);
    }

    // The answer through the memo, asked twice (the second time from what
    // the first kept), and checked against the answer without it.
    std::string asked(const std::string& words, std::size_t offset = 0) {
        SearchQuery query;
        query.words = words;
        query.limit = 2;
        query.offset = offset;
        const std::string first = answer(*reader_, query, &memo_);
        EXPECT_EQ(answer(*reader_, query, &memo_), first) << words;
        EXPECT_EQ(answer(*reader_, query, nullptr), first) << words;
        return first;
    }

    TempFolder folder_;
    const std::string path_ = folder_.file("index.db");
    Database writer_;
    std::unique_ptr<Database> reader_;
    index::SearchMemo memo_;
};

TEST_F(SearchMemoTest, AnswersAsASearchWithoutIt) {
    EXPECT_EQ(asked("whitlock"), "2: /deals/b.hud /deals/a.hud");
    EXPECT_EQ(asked("whit common"), "2: /deals/a.hud /deals/b.hud");
    EXPECT_EQ(asked("lee"), "2: /deals/c.hud /deals/b.hud");
    EXPECT_EQ(asked("lee", 1), "2: /deals/b.hud");
    EXPECT_EQ(asked("zebra"), "0:");
}

TEST_F(SearchMemoTest, WhatAnotherConnectionChangesIsSeenAtTheNextSearch) {
    EXPECT_EQ(asked("whit"), "2: /deals/b.hud /deals/a.hud");
    EXPECT_EQ(asked("zebra"), "0:");
    EXPECT_EQ(asked("lee"), "2: /deals/c.hud /deals/b.hud");
    // A new term "whit" begins, a word no deal held, one more deal of a word.
    putDeal(writer_, "/deals/d.hud", "Whitby zebra Lee");
    EXPECT_EQ(asked("whit"), "3: /deals/b.hud /deals/d.hud");
    EXPECT_EQ(asked("zebra"), "1: /deals/d.hud");
    EXPECT_EQ(asked("lee", 2), "3: /deals/d.hud");
    removeDeal(writer_, "/deals/a.hud");
    removeDeal(writer_, "/deals/d.hud");
    EXPECT_EQ(asked("whit"), "1: /deals/b.hud");
    EXPECT_EQ(asked("zebra"), "0:");
}

} // namespace
} // namespace velmora::testing
