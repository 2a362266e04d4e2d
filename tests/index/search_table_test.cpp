// The table search prints: its fixed columns, party lists cut after two
// names, and the line that says the limit cut the list.
#include "index/search_table.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using index::Field;

TEST(SearchTable, PartyListsAreCutAfterTwoNamesAndSayHowManyMore) {
    EXPECT_EQ(index::shortenedNames(""), "");
    EXPECT_EQ(index::shortenedNames("Dana Whitlock"), "Dana Whitlock");
    EXPECT_EQ(index::shortenedNames("Dana Whitlock; Lee Whitlock"), "Dana Whitlock; Lee Whitlock");
    EXPECT_EQ(index::shortenedNames("A; B; C"), "A; B +1 more");
    EXPECT_EQ(index::shortenedNames("A; B; C; D; E"), "A; B +3 more");
    // A comma inside a name is no separator.
    EXPECT_EQ(index::shortenedNames("Whitlock, Dana; Lee; Okafor, Sam"),
              "Whitlock, Dana; Lee +1 more");
    EXPECT_EQ(index::shortenedNames("A; B; C", 1), "A +2 more");
}

TEST(SearchTable, RowsHaveTheHeadersColumnsInOrder) {
    EXPECT_EQ(index::searchTableHeader(),
              (std::vector<std::string>{"path", "type", "settlement_date", "borrowers", "sellers",
                                        "property", "lender", "sales_price", "loan_amount"}));
    index::FieldValues hit;
    hit[Field::Path] = std::string("/deals/a.hud");
    hit[Field::DocumentType] = std::string("hud");
    hit[Field::SettlementDate] = std::string("2008-09-16");
    hit[Field::Borrowers] = std::string("A; B; C");
    hit[Field::Sellers] = std::string("S");
    hit[Field::PropertyAddress] = std::string("1 Elm Court, Dover");
    hit[Field::Lender] = std::string("Harbor Bank");
    hit[Field::ContractSalesPriceText] = std::string("$250,000.00");
    hit[Field::ContractSalesPrice] = 250000.0;
    hit[Field::FileNumber] = std::string("F-1");
    EXPECT_EQ(index::searchTableRow(hit),
              (std::vector<std::string>{"/deals/a.hud", "hud", "2008-09-16", "A; B +1 more", "S",
                                        "1 Elm Court, Dover", "Harbor Bank", "$250,000.00", ""}));
}

TEST(SearchTable, TheCutListLineIsSaidOnlyWhenTheLimitCutTheList) {
    EXPECT_EQ(index::cutListLine(20, 162), "20 of 162 matches (use --limit)");
    EXPECT_EQ(index::cutListLine(1, 2), "1 of 2 matches (use --limit)");
    EXPECT_EQ(index::cutListLine(3, 3), "");
    EXPECT_EQ(index::cutListLine(0, 0), "");
}

} // namespace
} // namespace velmora::testing
