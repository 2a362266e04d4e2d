// The charge and summary blocks n100 to n1600: their default lines, the
// columns of each kind of line, the open "more" lists and initial values.
#include "sections/section_test_support.h"

namespace velmora::testing {
namespace {

TEST(StatementBlocks, NewBlocksHoldTheirLinesInFormOrder) {
    auto document = newDocument();
    const std::pair<const char*, Names> expected[] = {
        {"n100", numbered("n", 104, 112)},
        {"n200", numbered("n", 204, 219)},
        {"n400", numbered("n", 403, 412)},
        {"n500", numbered("n", 504, 519)},
        {"n700", Names{"price"} + numbered("n", 701, 704)},
        {"n800", numbered("n", 801, 813) + Names{"more"}},
        {"n900", numbered("n", 901, 905) + Names{"more"}},
        {"n1000", numbered("n", 1001, 1008)},
        {"n1100", numbered("n", 1101, 1113) + Names{"more"}},
        {"n1200", numbered("n", 1201, 1205) + Names{"more"}},
        {"n1300", numbered("n", 1301, 1307) + Names{"more"}},
        {"n1400", Names{"borrowers", "sellers"}},
        {"n1500", numbered("n", 1501, 1515) + Names{"more"}},
        {"n1600", Names{}}};
    for (const auto& [block, lines] : expected) {
        CSectionNode& section = at(*document, block);
        EXPECT_EQ(elementNames(section), lines) << block;
        for (const auto& line : section.children()) {
            EXPECT_EQ(line->getDisplayName(), line->getName() + "1") << block;
            EXPECT_EQ(line->getDescription(), "") << block;
            EXPECT_EQ(line->childCount(), 0u) << block << "/" << line->getName();
        }
    }
}

TEST(StatementBlocks, EachLineRegistersExactlyTheColumnsOfItsKind) {
    auto document = newDocument();
    const Names e{"borrowerFund", "net", "payor", "sellerFund"};
    const std::pair<const char*, Names> expected[] = {
        {"n100/n105", {"amount"}},
        {"n100/n107", {"amount", "from", "to"}},
        {"n200/n209", {"amount", "net", "payor"}},
        {"n500/n505", {"amount", "payor"}},
        {"n700/price", {"amount", "at"}},
        {"n800/n802", sorted(Names{"percentage", "forPOC"} + e)},
        {"n900/n901", sorted(Names{"from", "to", "at", "net", "borrowerFund", "sellerFund"})},
        {"n900/n904", sorted(Names{"months"} + e)},
        {"n1000/n1007", sorted(Names{"months", "at"} + e)},
        {"n1000/n1008", e},
        {"n1200/n1201", sorted(Names{"deed", "mortgage", "release"} + e)},
        {"n1200/n1203", sorted(Names{"deed", "mortgage"} + e)},
        {"n1200/n1205", e},
        {"n1500/n1515", {"amount", "net", "payor"}}};
    for (const auto& [path, columns] : expected)
        EXPECT_EQ(ownProperties(at(*document, path)), columns) << path;
    // A column outside the line's set can be neither written nor read.
    EXPECT_EQ(setNodePropertyValue(document.get(), "n1200/n1202", "release", "12.50"), -1);
    EXPECT_EQ(setNodePropertyValue(document.get(), "n1200/n1204", "deed", "1"), -1);
    EXPECT_EQ(getNodePropertyValue(document.get(), "n1200/n1202", "release"), "");
}

TEST(StatementBlocks, DatedLinesHoldTheirPeriodAsDates) {
    auto document = newDocument();
    for (const char* path : {"n100/n106", "n200/n210", "n400/n408", "n500/n512", "n900/n901"}) {
        CSectionNode& line = at(*document, path);
        EXPECT_EQ(line.getPropertyValue("from"), "12/30/1899") << path;
        ASSERT_EQ(line.setPropertyValue("to", "2/29/2024"), 0);
        EXPECT_EQ(line.getPropertyValue("to"), "2/29/2024") << path;
        // Text that is not a date leaves no date behind, unlike a string column.
        ASSERT_EQ(line.setPropertyValue("from", "soon"), 0);
        EXPECT_EQ(line.getPropertyValue("from"), "") << path;
    }
    EXPECT_EQ(kindOf(at(*document, "n900/n902"), "payor"), PropertyKind::String);
    EXPECT_EQ(kindOf(at(*document, "n900/n901"), "at"), PropertyKind::String);
}

TEST(StatementBlocks, ChildNamesAreMatchedExactly) {
    auto document = newDocument();
    CSectionNode& n100 = at(*document, "n100");
    for (const char* name : {"n113", "N104", "n103", "n101", "more", ""})
        EXPECT_EQ(n100.addChild(name), nullptr) << name;
    EXPECT_EQ(n100.childCount(), 9u);
    for (const auto& [block, name] : {std::pair{"n400", "n401"},
                                      {"n500", "n502"},
                                      {"n1000", "more"},
                                      {"n1400", "address"},
                                      {"n1600", "amount"},
                                      {"n1600", "n1601"}})
        EXPECT_FALSE(knows(at(*document, block), name)) << block << " " << name;
    // A known line can be added again beside the first.
    CSectionNode* second = n100.addChild("n104");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getDisplayName(), "n1042");
}

TEST(StatementBlocks, MoreListsAcceptAnyNameAsALineOfTheBlocksColumns) {
    auto document = newDocument();
    for (const char* block : {"n800", "n900", "n1100", "n1200", "n1300", "n1500"}) {
        const std::string more = std::string(block) + "/more";
        EXPECT_EQ(getChildNodeCount(document.get(), more), 0u) << block;
        EXPECT_EQ(createNode(document.get(), "x", more), "x1") << block;
        EXPECT_EQ(createNode(document.get(), "x", more), "x2") << block;
        EXPECT_EQ(createNode(document.get(), "n801", more), "n8011") << block;
        for (const auto& line : at(*document, more).children()) {
            EXPECT_EQ(ownProperties(*line), (Names{"borrowerFund", "net", "payor", "sellerFund"}))
                << more << "/" << line->getName();
        }
    }
    EXPECT_EQ(createNode(document.get(), "not a name", "n800/more"), std::nullopt);
}

TEST(StatementBlocks, NewBlocksStartWithTheirCaptionsAndInitialValues) {
    auto document = newDocument();
    const std::pair<const char*, const char*> captions[] = {
        {"n100", "Gross amount due from borrower"},
        {"n200", "Amount Paid By or In Behalf of Borrower and Adjustments"},
        {"n400", "Gross amount due to Seller"},
        {"n700", "Total Sales/Brokers Commision"},
        {"n800", "Item payable in connection with loan"},
        {"n900", "Item Required by lender to be paid in advance"},
        {"n1000", "Reserve deposited with lender"},
        {"n1100", "Title charges"},
        {"n1200", "Government Recording and Transfer charges"},
        {"n1300", "Additional Settlement charges"},
        {"n500", ""},
        {"n1400", ""},
        {"n1500", ""},
        {"n1600", ""},
        {"n800/more", ""}};
    for (const auto& [path, caption] : captions)
        EXPECT_EQ(getNodePropertyValue(document.get(), path, "description"), caption) << path;

    EXPECT_EQ(getNodePropertyValue(document.get(), "n700", "s700Price"), "0");
    CSectionNode& n100 = at(*document, "n100");
    EXPECT_EQ(n100.getPropertyValue("n102Option"), "0");
    EXPECT_EQ(n100.slotValue(*n100.schema().find("n120")), PropertyValue(0.0));
    for (const auto& [path, name] : {std::pair{"n200", "n203Option"},
                                     {"n700", "calculate"},
                                     {"n800", "n812Option"},
                                     {"n900", "n901IncludeBothDates"},
                                     {"n1000", "n1008Flag"},
                                     {"n1400", "PrintcertonCurPage"}})
        EXPECT_EQ(getNodePropertyValue(document.get(), path, name), "0") << path << " " << name;
    EXPECT_EQ(getNodePropertyValue(document.get(), "n1400", "settlementDate"), "12/30/1899");
}

} // namespace
} // namespace velmora::testing
