// Header records, the lists of further parties, the escrow disclosure and the
// state charge tables, including how other-fee entries meet a loaded file.
#include "recording_dialog.h"
#include "sections/section_test_support.h"
#include "temp_folder.h"

namespace velmora::testing {
namespace {

TEST(PartyLists, AcceptAnyNumberOfAddressesAndNothingElse) {
    auto document = newDocument();
    for (const char* list : {"d_borrowers", "e_sellers"}) {
        EXPECT_EQ(getChildNodeCount(document.get(), list), 0u);
        for (const char* expected : {"address1", "address2", "address3"})
            EXPECT_EQ(createNode(document.get(), "address", list), expected) << list;
        for (const char* other : {"Address", "d", "borrowers"})
            EXPECT_EQ(createNode(document.get(), other, list), std::nullopt) << other;
        EXPECT_EQ(ownProperties(at(*document, std::string(list) + "/address")),
                  ownProperties(at(*document, "d")));
    }
    EXPECT_EQ(ownProperties(at(*document, "d")),
              (Names{"city", "name1", "name2", "sign1", "sign2", "state", "street", "zip"}));
}

TEST(HeaderRecords, StartWithZeroDatesAndNumbers) {
    auto document = newDocument();
    for (const char* date : {"tax_start", "tax_end", "sewer_start", "sewer_end", "fiscal"})
        EXPECT_EQ(getNodePropertyValue(document.get(), "tax_data", date), "12/30/1899") << date;
    EXPECT_EQ(getNodePropertyValue(document.get(), "tax_data", "tax_days"), "0");
    EXPECT_EQ(getNodePropertyValue(document.get(), "b", "loanOption"), "0");
    CSectionNode& escrow = at(*document, "initialEscrowDisclosure");
    EXPECT_EQ(escrow.getDescription(), "Initial Escrow Account Disclosure Statement");
    EXPECT_EQ(escrow.getPropertyValue("firstPaymentDate"), "12/30/1899");
    EXPECT_EQ(escrow.getPropertyValue("maxMonthsAllowed"), "0");
    EXPECT_EQ(elementNames(escrow), (Names{"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug",
                                           "sep", "oct", "nov", "dec"}));
    for (const auto& month : escrow.children())
        EXPECT_EQ(ownProperties(*month), Names{"amount"}) << month->getName();
    EXPECT_FALSE(knows(escrow, "Jan"));
}

TEST(StateCharges, OnlyTheReleaseHasAFixedAmount) {
    auto document = newDocument();
    CSectionNode& charges = at(*document, "StateCharges1201");
    for (const char* name : {"CurrentState", "AutoCalcTax", "UIFlag"})
        EXPECT_EQ(charges.getPropertyValue(name), "0") << name;
    EXPECT_EQ(kindOf(charges, "UIFlag"), PropertyKind::Bool);
    CSectionNode& release = at(charges, "StateCharges1201Release");
    for (const char* name : {"Set1Fixed", "Set2Fixed", "ChkFixedAmt"})
        EXPECT_EQ(release.getPropertyValue(name), "0") << name;
    EXPECT_EQ(release.setPropertyValue("FixedAmt", "25.00"), 0);
    for (const char* set : {"StateCharges1201Deed", "StateCharges1201Mortgage"}) {
        CSectionNode& instrument = at(charges, set);
        EXPECT_EQ(instrument.setPropertyValue("FixedAmt", "25.00"), -1) << set;
        EXPECT_EQ(sorted(ownProperties(instrument) + Names{"ChkFixedAmt", "FixedAmt"}),
                  ownProperties(release))
            << set;
    }
}

TEST(StateCharges, DescriptionAndTheBuiltInDescriptionAreIndependent) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "StChargesOtherFees", "StChargesOtherFeesCol"));
    for (const char* path : {"StateCharges1201", "StChargesOtherFeesCol/StChargesOtherFees"}) {
        CSectionNode& node = at(*document, path);
        ASSERT_EQ(node.setPropertyValue("Description", "Transfer tax"), 0);
        EXPECT_EQ(node.getPropertyValue("description"), "") << path;
        ASSERT_EQ(node.setPropertyValue("description", "notes"), 0);
        EXPECT_EQ(node.getPropertyValue("Description"), "Transfer tax") << path;
    }
    TempFolder folder;
    ASSERT_EQ(document->save(folder.file("charges.xml")), 0);
    document->releaseLock(); // a saved document holds its file
    CHudDocument loaded("hud");
    ASSERT_EQ(loaded.load(folder.file("charges.xml")), 0);
    EXPECT_EQ(getNodePropertyValue(&loaded, "StateCharges1201", "Description"), "Transfer tax");
    EXPECT_EQ(getNodePropertyValue(&loaded, "StateCharges1201", "description"), "notes");
}

TEST(OtherFees, NewEntriesComeWithDeedAndMortgageTiers) {
    auto document = newDocument();
    EXPECT_EQ(createNode(document.get(), "StChargesOtherFees", "StChargesOtherFeesCol"),
              "StChargesOtherFees1");
    EXPECT_EQ(createNode(document.get(), "StChargesOtherFees", "StChargesOtherFeesCol"),
              "StChargesOtherFees2");
    EXPECT_EQ(createNode(document.get(), "Deed", "StChargesOtherFeesCol"), std::nullopt);
    const Names tiers{"BuyerPay",      "MaxTax",        "SellerPay",
                      "Tier1AmtLimit", "Tier1UnitRate", "Tier1UnitSize",
                      "Tier2UnitRate", "Tier2UnitSize", "Total"};
    for (const auto& entry : at(*document, "StChargesOtherFeesCol").children()) {
        EXPECT_EQ(elementNames(*entry), (Names{"Deed", "Mortgage"}));
        for (const auto& tier : entry->children())
            EXPECT_EQ(ownProperties(*tier), tiers);
        EXPECT_EQ(entry->getPropertyValue("ChkTier1AmtLimit"), "0");
    }
    // An entry a client made keeps its two tiers through a save and a load.
    setNodePropertyValue(document.get(), "StChargesOtherFeesCol/StChargesOtherFees/Mortgage",
                         "MaxTax", "900");
    TempFolder folder;
    ASSERT_EQ(document->save(folder.file("fees.xml")), 0);
    document->releaseLock(); // a saved document holds its file
    CHudDocument loaded("hud");
    ASSERT_EQ(loaded.load(folder.file("fees.xml")), 0);
    for (const auto& entry : at(loaded, "StChargesOtherFeesCol").children())
        EXPECT_EQ(elementNames(*entry), (Names{"Deed", "Mortgage"}));
    EXPECT_EQ(getNodePropertyValue(&loaded, "StChargesOtherFeesCol/StChargesOtherFees/Mortgage",
                                   "MaxTax"),
              "900");
}

TEST(OtherFees, EntriesReadFromAFileHoldExactlyTheFilesTiers) {
    TempFolder folder;
    writeBytes(folder.file("fees.xml"),
               "<calverin><HUD document_type=\"hud\"><StChargesOtherFeesCol>"
               "<StChargesOtherFees name=\"Recorder\" PayableBy=\"B\">"
               "<Mortgage name=\"Mortgage1\" MaxTax=\"50\"/><Deed name=\"Deed1\" Total=\"7\"/>"
               "</StChargesOtherFees>"
               "<StChargesOtherFees name=\"Only deed\"><Deed name=\"Deed7\"/></StChargesOtherFees>"
               "<StChargesOtherFees name=\"None\"/>"
               "</StChargesOtherFeesCol></HUD></calverin>");
    RecordingDialog dialog;
    CHudDocument document("hud");
    ASSERT_EQ(document.load(folder.file("fees.xml")), 0);
    CSectionNode& fees = at(document, "StChargesOtherFeesCol");
    ASSERT_EQ(fees.childCount(), 3u);
    const CSectionNode& first = *fees.children()[0];
    ASSERT_EQ(elementNames(first), (Names{"Mortgage", "Deed"}));
    EXPECT_EQ(first.children()[0]->getDisplayName(), "Mortgage1");
    EXPECT_EQ(first.children()[1]->getDisplayName(), "Deed1");
    EXPECT_EQ(
        getNodePropertyValue(&document, "StChargesOtherFeesCol/StChargesOtherFees/Deed", "Total"),
        "7");
    ASSERT_EQ(elementNames(*fees.children()[1]), Names{"Deed"});
    EXPECT_EQ(fees.children()[1]->children()[0]->getDisplayName(), "Deed7");
    EXPECT_EQ(fees.children()[2]->childCount(), 0u);

    // Saving and loading again neither adds nor loses a tier.
    ASSERT_EQ(document.save(folder.file("again.xml")), 0);
    document.releaseLock(); // a saved document holds its file
    CHudDocument reloaded("hud");
    ASSERT_EQ(reloaded.load(folder.file("again.xml")), 0);
    EXPECT_EQ(reloaded.nodeValue(), document.nodeValue());
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
