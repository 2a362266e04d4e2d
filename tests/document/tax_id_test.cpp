// Tax IDs: which properties hold one, how one is masked, and the JSON that
// masks them for readers who are not to see them.
#include "document/hud_document.h"
#include "document/json_export.h"
#include "document/tax_id.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

TEST(TaxId, TheStatementsAndTheCompanionFormsTaxIdsAreKnown) {
    for (const char* name : {"e_SellerTin", "h_AgentTin", "eTin", "hTin"})
        EXPECT_TRUE(isTaxIdProperty(name)) << name;
    for (const char* name : {"e_SellerTin ", "Tin", "f_LenderName", "", "e_sellertin"})
        EXPECT_FALSE(isTaxIdProperty(name)) << name;
}

TEST(TaxId, OnlyTheLastFourDigitsShowAndAnythingElseIsMaskedWhole) {
    EXPECT_EQ(maskedTaxId("123-45-6789"), "***-**-6789");
    EXPECT_EQ(maskedTaxId("123456789"), "*****6789");
    EXPECT_EQ(maskedTaxId("12-3456789"), "**-***6789");
    EXPECT_EQ(maskedTaxId("123 45 6789"), "*** ** 6789");
    EXPECT_EQ(maskedTaxId("6789"), "6789");
    // Too few digits to leave four, or not digit-shaped: nothing shows.
    EXPECT_EQ(maskedTaxId("678"), "***");
    EXPECT_EQ(maskedTaxId("SSN 123-45-6789"), "***************");
    EXPECT_EQ(maskedTaxId("123-45-678x"), "***********");
    EXPECT_EQ(maskedTaxId("\xc3\xa9"), "**");
    EXPECT_EQ(maskedTaxId(""), "");
}

TEST(TaxId, ExportKeepsTheStoredNumberAndTheMaskedJsonShowsTheLastFour) {
    CHudDocument document(document_types::kHud);
    document.initDocument();
    document.putString("e_SellerTin", "123-45-6789");
    document.putString("h_AgentTin", "98-7654321");
    const std::string stored = subtreeJson(document);
    EXPECT_NE(stored.find(R"("e_SellerTin":{"kind":"string","value":"123-45-6789"})"),
              std::string::npos);
    const std::string masked = subtreeJson(document, TaxIds::Masked);
    EXPECT_NE(masked.find(R"("e_SellerTin":{"kind":"string","value":"***-**-6789"})"),
              std::string::npos);
    EXPECT_NE(masked.find(R"("h_AgentTin":{"kind":"string","value":"**-***4321"})"),
              std::string::npos);
    EXPECT_EQ(masked.find("123-45"), std::string::npos);
    EXPECT_EQ(masked.find("98-765"), std::string::npos);
}

} // namespace
} // namespace velmora::testing
