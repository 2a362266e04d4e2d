// Header records, the lists of further parties, the escrow disclosure and the
// state charge tables, including how other-fee entries meet a loaded file.
#include "recording_dialog.h"
#include "sections/section_test_support.h"
#include "temp_folder.h"

namespace velmora::testing {
namespace {
const char kFees[] = "StChargesOtherFeesCol";

// Saves `document` and loads it into a new one.
std::unique_ptr<CHudDocument> reloaded(CHudDocument& document, const TempFolder& folder) {
    EXPECT_EQ(document.save(folder.file("saved.xml")), 0);
    document.releaseLock(); // a saved document holds its file
    auto loaded = std::make_unique<CHudDocument>("hud");
    EXPECT_EQ(loaded->load(folder.file("saved.xml")), 0);
    return loaded;
}

TEST(PartySections, AddressListsHeaderDatesAndEscrowMonths) {
    auto document = newDocument();
    for (const char* list : {"d_borrowers", "e_sellers"}) {
        for (const char* expected : {"address1", "address2"})
            EXPECT_EQ(createNode(document.get(), "address", list), expected) << list;
        for (const char* other : {"Address", "d"})
            EXPECT_EQ(createNode(document.get(), other, list), std::nullopt) << other;
        EXPECT_EQ(ownProperties(at(*document, std::string(list) + "/address")),
                  words("city name1 name2 sign1 sign2 state street zip"));
    }
    for (const char* date : {"tax_start", "sewer_end", "fiscal"})
        EXPECT_EQ(getNodePropertyValue(document.get(), "tax_data", date), "12/30/1899") << date;
    CSectionNode& escrow = at(*document, "initialEscrowDisclosure");
    EXPECT_EQ(escrow.getDescription(), "Initial Escrow Account Disclosure Statement");
    EXPECT_EQ(escrow.getPropertyValue("firstPaymentDate"), "12/30/1899");
    EXPECT_EQ(elementNames(escrow), words("jan feb mar apr may jun jul aug sep oct nov dec"));
    EXPECT_EQ(ownProperties(at(escrow, "dec")), Names{"amount"});
}

TEST(StateCharges, OnlyTheReleaseHasAFixedAmountAndDescriptionsAreTwo) {
    auto document = newDocument();
    CSectionNode& charges = at(*document, "StateCharges1201");
    EXPECT_EQ(charges.getPropertyValue("UIFlag"), "0");
    CSectionNode& release = at(charges, "StateCharges1201Release");
    EXPECT_EQ(release.getPropertyValue("ChkFixedAmt"), "0");
    EXPECT_EQ(release.setPropertyValue("FixedAmt", "25.00"), 0);
    for (const char* set : {"StateCharges1201Deed", "StateCharges1201Mortgage"}) {
        CSectionNode& instrument = at(charges, set);
        EXPECT_EQ(instrument.setPropertyValue("FixedAmt", "25.00"), -1) << set;
        Names withFixed = ownProperties(instrument) + Names{"ChkFixedAmt", "FixedAmt"};
        std::sort(withFixed.begin(), withFixed.end());
        EXPECT_EQ(withFixed, ownProperties(release)) << set;
    }
    // "Description" is a property of its own beside the built-in "description".
    ASSERT_EQ(charges.setPropertyValue("Description", "Transfer tax"), 0);
    ASSERT_EQ(charges.setPropertyValue("description", "notes"), 0);
    EXPECT_EQ(charges.getPropertyValue("Description"), "Transfer tax");
}

TEST(OtherFees, EntriesHoldTheirTiersNewAndReadFromAFile) {
    auto document = newDocument();
    EXPECT_EQ(createNode(document.get(), "StChargesOtherFees", kFees), "StChargesOtherFees1");
    EXPECT_EQ(createNode(document.get(), "Deed", kFees), std::nullopt);
    CSectionNode& entry = at(*document, std::string(kFees) + "/StChargesOtherFees");
    EXPECT_EQ(elementNames(entry), (Names{"Deed", "Mortgage"}));
    EXPECT_EQ(ownProperties(at(entry, "Mortgage")),
              words("BuyerPay MaxTax SellerPay Tier1AmtLimit Tier1UnitRate Tier1UnitSize "
                    "Tier2UnitRate Tier2UnitSize Total"));
    ASSERT_EQ(entry.setPropertyValue("Description", "Recorder"), 0);
    EXPECT_EQ(entry.getPropertyValue("description"), "");
    // Saved and loaded, a new entry keeps both tiers; an entry read from a file
    // holds exactly the file's tiers.
    TempFolder folder;
    EXPECT_EQ(elementNames(*reloaded(*document, folder)->findChild(kFees)->children()[0]),
              (Names{"Deed", "Mortgage"}));
    writeBytes(folder.file("fees.xml"),
               "<calverin><HUD document_type=\"hud\"><StChargesOtherFeesCol>"
               "<StChargesOtherFees name=\"Recorder\" PayableBy=\"B\">"
               "<Mortgage name=\"Mortgage1\" MaxTax=\"50\"/><Deed name=\"Deed1\" Total=\"7\"/>"
               "</StChargesOtherFees>"
               "<StChargesOtherFees name=\"Only deed\"><Deed name=\"Deed7\"/></StChargesOtherFees>"
               "<StChargesOtherFees name=\"None\"/>"
               "</StChargesOtherFeesCol></HUD></calverin>");
    RecordingDialog dialog;
    CHudDocument fromFile("hud");
    ASSERT_EQ(fromFile.load(folder.file("fees.xml")), 0);
    CSectionNode& fees = at(fromFile, kFees);
    ASSERT_EQ(fees.childCount(), 3u);
    EXPECT_EQ(elementNames(*fees.children()[0]), (Names{"Mortgage", "Deed"}));
    EXPECT_EQ(fees.children()[0]->children()[1]->getPropertyValue("Total"), "7");
    EXPECT_EQ(elementNames(*fees.children()[1]), Names{"Deed"});
    EXPECT_EQ(fees.children()[1]->children()[0]->getDisplayName(), "Deed7");
    EXPECT_EQ(fees.children()[2]->childCount(), 0u);
    // Saving and loading again neither adds nor loses a tier.
    const auto again = reloaded(fromFile, folder); // saving sets the version
    EXPECT_EQ(again->nodeValue(), fromFile.nodeValue());
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
