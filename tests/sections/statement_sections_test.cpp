// The charge and summary blocks n100 to n1600: their default lines, the
// columns of each kind of line, the open "more" lists and initial values.
#include "sections/section_test_support.h"

namespace velmora::testing {
namespace {
// "n<first>" to "n<last>".
Names lines(int first, int last) {
    Names names;
    for (int number = first; number <= last; ++number)
        names.push_back("n" + std::to_string(number));
    return names;
}

TEST(StatementBlocks, NewBlocksHoldTheirLinesCaptionsAndInitialValues) {
    auto document = newDocument();
    const std::pair<const char*, Names> expected[] = {{"n100", lines(104, 112)},
                                                      {"n200", lines(204, 219)},
                                                      {"n400", lines(403, 412)},
                                                      {"n500", lines(504, 519)},
                                                      {"n700", Names{"price"} + lines(701, 704)},
                                                      {"n800", lines(801, 813) + Names{"more"}},
                                                      {"n900", lines(901, 905) + Names{"more"}},
                                                      {"n1000", lines(1001, 1008)},
                                                      {"n1100", lines(1101, 1113) + Names{"more"}},
                                                      {"n1200", lines(1201, 1205) + Names{"more"}},
                                                      {"n1300", lines(1301, 1307) + Names{"more"}},
                                                      {"n1400", Names{"borrowers", "sellers"}},
                                                      {"n1500", lines(1501, 1515) + Names{"more"}},
                                                      {"n1600", Names{}}};
    for (const auto& [block, names] : expected) {
        EXPECT_EQ(elementNames(at(*document, block)), names) << block;
        for (const auto& line : at(*document, block).children())
            EXPECT_EQ(line->getDisplayName(), line->getName() + "1") << block;
    }
    CSectionNode& n100 = at(*document, "n100");
    for (const char* name : {"n113", "N104", "n103", "n101", "more"})
        EXPECT_EQ(n100.addChild(name), nullptr) << name;
    EXPECT_EQ(n100.addChild("n104")->getDisplayName(), "n1042");
    for (const auto& [block, name] :
         {std::pair{"n400", "n401"}, {"n1000", "more"}, {"n1400", "address"}, {"n1600", "n1601"}})
        EXPECT_FALSE(knows(at(*document, block), name)) << block << " " << name;
    // Captions and initial values.
    const std::pair<const char*, const char*> captions[] = {
        {"n100", "Gross amount due from borrower"},
        {"n700", "Total Sales/Brokers Commision"},
        {"n800", "Item payable in connection with loan"},
        {"n1200", "Government Recording and Transfer charges"},
        {"n500", ""},
        {"n800/more", ""}};
    for (const auto& [path, caption] : captions)
        EXPECT_EQ(getNodePropertyValue(document.get(), path, "description"), caption) << path;
    for (const auto& [path, name] : {std::pair{"n700", "s700Price"},
                                     {"n100", "n102Option"},
                                     {"n800", "n812Option"},
                                     {"n900", "n901IncludeBothDates"},
                                     {"n1400", "PrintcertonCurPage"}})
        EXPECT_EQ(getNodePropertyValue(document.get(), path, name), "0") << path << " " << name;
    EXPECT_EQ(getNodePropertyValue(document.get(), "n1400", "settlementDate"), "12/30/1899");
}

TEST(StatementBlocks, EachLineRegistersExactlyTheColumnsOfItsKind) {
    auto document = newDocument();
    const Names e{"borrowerFund", "net", "payor", "sellerFund"};
    const std::pair<const char*, Names> expected[] = {
        {"n100/n105", {"amount"}},
        {"n100/n107", {"amount", "from", "to"}},
        {"n200/n209", {"amount", "net", "payor"}},
        {"n700/price", {"amount", "at"}},
        {"n800/n802", words("borrowerFund forPOC net payor percentage sellerFund")},
        {"n900/n901", words("at borrowerFund from net sellerFund to")},
        {"n1000/n1007", words("at borrowerFund months net payor sellerFund")},
        {"n1200/n1201", words("borrowerFund deed mortgage net payor release sellerFund")},
        {"n1200/n1202", words("borrowerFund deed mortgage net payor sellerFund")},
        {"n1200/n1204", e},
        {"n1500/n1515", {"amount", "net", "payor"}}};
    for (const auto& [path, columns] : expected)
        EXPECT_EQ(ownProperties(at(*document, path)), columns) << path;
    EXPECT_EQ(setNodePropertyValue(document.get(), "n1200/n1202", "release", "12.50"), -1);
    EXPECT_EQ(setNodePropertyValue(document.get(), "n1200/n1204", "deed", "1"), -1);
    // Periods are dates: they start at the zero date and forget text that is none.
    for (const char* path : {"n100/n106", "n200/n210", "n400/n408", "n500/n512", "n900/n901"}) {
        EXPECT_EQ(getNodePropertyValue(document.get(), path, "from"), "12/30/1899") << path;
        ASSERT_EQ(setNodePropertyValue(document.get(), path, "to", "soon"), 0);
        EXPECT_EQ(getNodePropertyValue(document.get(), path, "to"), "") << path;
    }

    // "more" lists take any element name as a line of the block's columns.
    for (const char* block : {"n800", "n900", "n1100", "n1200", "n1300", "n1500"}) {
        const std::string more = std::string(block) + "/more";
        EXPECT_EQ(getChildNodeCount(document.get(), more), 0u) << block;
        EXPECT_EQ(createNode(document.get(), "x", more), "x1") << block;
        EXPECT_EQ(createNode(document.get(), "n801", more), "n8011") << block;
        for (const auto& line : at(*document, more).children())
            EXPECT_EQ(ownProperties(*line), e) << more << "/" << line->getName();
    }
    EXPECT_EQ(createNode(document.get(), "not a name", "n800/more"), std::nullopt);
}

} // namespace
} // namespace velmora::testing
