// The view of a deal that the index and the statement page share: which
// blocks are its parties, where the property, the lender and the settlement
// agent are read from, and the lender's name taken off a converted address.
#include "document/deal_view.h"
#include "sections/section_test_support.h"

namespace velmora::testing {
namespace {

std::vector<std::string> firstNames(const std::vector<AddressParts>& parties) {
    std::vector<std::string> names;
    for (const AddressParts& party : parties)
        names.push_back(party.name1);
    return names;
}

void addParty(CHudDocument& document, const std::string& list, const std::string& name) {
    const std::optional<std::string> entry = createNode(&document, "address", list);
    ASSERT_TRUE(entry);
    ASSERT_EQ(setNodePropertyByCriterion(&document, list, "name=" + *entry, "name1", name), 0);
}

// The block of box D or E counts once it holds anything, a signature line
// alone too; every entry of the lists counts, empty ones as well, so that
// the page and the index count the parties alike.
TEST(DealView, PartiesAreTheMainBlockWhenItHoldsAnythingThenEveryListEntry) {
    auto document = newDocument();
    addParty(*document, "d_borrowers", "Riley");
    addParty(*document, "d_borrowers", "");
    EXPECT_EQ(firstNames(readDealView(*document).borrowers), (Names{"Riley", ""}));

    at(*document, "d").putString("sign1", "signed");
    at(*document, "e").putString("name1", "Morgan");
    at(*document, "e").putString("name2", "Lee");
    const DealView deal = readDealView(*document);
    EXPECT_EQ(firstNames(deal.borrowers), (Names{"", "Riley", ""}));
    ASSERT_EQ(deal.sellers.size(), 1u);
    EXPECT_EQ(deal.sellers[0].name2, "Lee");
}

TEST(DealView, PropertyLenderAndAgentComeFromTheirBoxes) {
    auto document = newDocument();
    const std::pair<const char*, const char*> place[] = {
        {"name1", "Lot 4"}, {"name2", "Mill Estate"}, {"street", "22 Quarry Road"},
        {"city", "York"},   {"state", "PA"},          {"zip", "17406"}};
    for (const auto& [part, text] : place)
        at(*document, "g").putString(part, text);
    at(*document, "h").putString("name1", "Velmora Title");
    at(*document, "h").putString("city", "Bath");
    document->putString("f_LenderName", "Harbor Bank");
    document->putString("f_LenderAddress", "1 Quay");

    DealView deal = readDealView(*document);
    EXPECT_EQ(deal.property.name1, "Lot 4");
    EXPECT_EQ(deal.property.name2, "Mill Estate");
    EXPECT_EQ(deal.property.street, "22 Quarry Road");
    EXPECT_EQ(deal.property.city, "York");
    EXPECT_EQ(deal.property.state, "PA");
    EXPECT_EQ(deal.property.zip, "17406");
    EXPECT_EQ(deal.agentBox.city, "Bath");
    EXPECT_EQ(deal.lenderName, "Harbor Bank");
    EXPECT_EQ(deal.lenderAddress, "1 Quay");
    // Box H names the agent until line 1400 says who certifies the statement.
    EXPECT_EQ(deal.settlementAgent, "Velmora Title");
    at(*document, "n1400").putString("settlementAgent", "Agent Smith");
    EXPECT_EQ(readDealView(*document).settlementAgent, "Agent Smith");
}

TEST(DealView, ConvertedLenderAddressLosesTheRepeatedNameOnlyAsAWholeName) {
    const std::pair<const char*, const char*> cases[] = {
        {"Harbor Bank\r\n1 Quay, Bath", "1 Quay, Bath"},
        {"Harbor Bank; 1 Quay", "1 Quay"},
        {"Harbor Bank", ""},
        {"Harbor Banking Trust, 1 Quay", "Harbor Banking Trust, 1 Quay"},
        {"1 Quay\nHarbor Bank", "1 Quay\nHarbor Bank"}};
    for (const auto& [stored, shown] : cases) {
        auto document = newDocument();
        document->putString("f_LenderName", "Harbor Bank");
        document->putString("f_LenderAddress", stored);
        EXPECT_EQ(readDealView(*document).lenderAddress, shown) << stored;
    }
    auto unnamed = newDocument();
    unnamed->putString("f_LenderAddress", "\n1 Quay");
    EXPECT_EQ(readDealView(*unnamed).lenderAddress, "\n1 Quay");
}

// A title document starts without sections; a view of it is empty, not a crash.
TEST(DealView, DocumentWithoutTheBoxesGivesAnEmptyView) {
    const CHudDocument document("title");
    const DealView deal = readDealView(document);
    EXPECT_TRUE(deal.borrowers.empty());
    EXPECT_TRUE(deal.sellers.empty());
    EXPECT_EQ(deal.property.street, "");
    EXPECT_EQ(deal.settlementAgent, "");
    EXPECT_EQ(addressPartsOf(nullptr).zip, "");
}

} // namespace
} // namespace velmora::testing
