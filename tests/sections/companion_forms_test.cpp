// The companion forms: ledger, check printing, the two 1099 forms and the two
// closing records, which exist only once a client or a file makes them.
#include "sections/section_test_support.h"

namespace velmora::testing {
namespace {

TEST(CompanionForms, ExistOnlyOnDemandAndStartEmpty) {
    auto document = newDocument();
    const Names forms{"ledger",     "checkPrinting",   "form1099",
                      "form1099_1", "mortgageClosing", "titleClosing"};
    for (const std::string& form : forms) {
        EXPECT_EQ(isNodeExist(document.get(), form), 0) << form;
        EXPECT_EQ(createNode(document.get(), form, ""), form + "1");
        EXPECT_EQ(getChildNodeCount(document.get(), form), 0u) << form;
    }
    EXPECT_EQ(document->childCount(), 25u + forms.size());
    EXPECT_EQ(createNode(document.get(), "Ledger", ""), std::nullopt);
}

TEST(CompanionForms, ListsAcceptOnlyTheirOwnEntries) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "ledger", ""));
    ASSERT_TRUE(createNode(document.get(), "checkPrinting", ""));
    for (const char* list : {"deposits", "withdrawals", "transactions"})
        ASSERT_TRUE(createNode(document.get(), list, "ledger")) << list;
    EXPECT_EQ(createNode(document.get(), "deposit", "ledger"), std::nullopt);
    const char* const lists[][3] = {{"ledger/deposits", "deposit", "withdrawal"},
                                    {"ledger/withdrawals", "withdrawal", "deposit"},
                                    {"ledger/transactions", "transaction", "transactions"},
                                    {"checkPrinting", "check", "checks"}};
    for (const auto& [list, entry, other] : lists) {
        EXPECT_EQ(createNode(document.get(), entry, list), std::string(entry) + "1");
        EXPECT_EQ(createNode(document.get(), entry, list), std::string(entry) + "2");
        EXPECT_EQ(createNode(document.get(), other, list), std::nullopt) << list;
        EXPECT_FALSE(knows(at(*document, std::string(list) + "/" + entry), "memo")) << entry;
    }
}

TEST(CompanionForms, DepositsMeanWhatTheirOwnerMakesOfThem) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "ledger", ""));
    ASSERT_TRUE(createNode(document.get(), "titleClosing", ""));
    ASSERT_TRUE(createNode(document.get(), "deposits", "ledger"));
    ASSERT_TRUE(createNode(document.get(), "deposits", "titleClosing"));
    CSectionNode& ledgerDeposits = at(*document, "ledger/deposits");
    EXPECT_TRUE(ownProperties(ledgerDeposits).empty());
    EXPECT_TRUE(knows(ledgerDeposits, "deposit"));
    CSectionNode& titleDeposits = at(*document, "titleClosing/deposits");
    EXPECT_EQ(ownProperties(titleDeposits), Names{"amount"});
    EXPECT_FALSE(knows(titleDeposits, "deposit"));
}

TEST(CompanionForms, The1099FormsKnowDifferentChildren) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "form1099", ""));
    ASSERT_TRUE(createNode(document.get(), "form1099_1", ""));
    CSectionNode& single = at(*document, "form1099");
    CSectionNode& multi = at(*document, "form1099_1");
    for (const char* name : {"filer_address", "transferor_address", "transferors", "transferor"}) {
        const std::string child = name;
        EXPECT_EQ(knows(single, child), child == "filer_address" || child == "transferor_address");
        EXPECT_EQ(knows(multi, child), child == "filer_address" || child == "transferors");
    }
    EXPECT_EQ(kindOf(single, "check7"), PropertyKind::Long);
    EXPECT_EQ(kindOf(single, "closing_date"), PropertyKind::String);
    EXPECT_EQ(kindOf(multi, "filer_fedral_id_type"), PropertyKind::Long);
}

TEST(CompanionForms, NewTransferorIsWhollyAllocated) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "form1099_1", ""));
    ASSERT_TRUE(createNode(document.get(), "transferors", "form1099_1"));
    EXPECT_EQ(createNode(document.get(), "transferor", "form1099_1/transferors"), "transferor1");
    EXPECT_EQ(createNode(document.get(), "address", "form1099_1/transferors"), std::nullopt);
    CSectionNode& transferor = at(*document, "form1099_1/transferors/transferor");
    for (const PropertyDef& def : transferor.schema().inNameOrder()) {
        if (def.builtIn != BuiltIn::No)
            continue;
        const std::string expected = def.name == "grossAllocationPct" ? "100.00"
                                     : def.kind == PropertyKind::Long ? "0"
                                                                      : "";
        EXPECT_EQ(transferor.getPropertyValue(def.name), expected) << def.name;
    }
    for (const char* name : {"transferor", "address", "filer_address", "x"})
        EXPECT_FALSE(knows(transferor, name)) << name;
}

TEST(CompanionForms, ClosingRecordLinesAreApartFromTheRecordsProperties) {
    auto document = newDocument();
    ASSERT_TRUE(createNode(document.get(), "mortgageClosing", ""));
    CSectionNode& mortgage = at(*document, "mortgageClosing");
    EXPECT_EQ(mortgage.getPropertyValue("closingDate"), "12/30/1899");
    ASSERT_EQ(mortgage.setPropertyValue("taxes", "1200"), 0);
    ASSERT_TRUE(createNode(document.get(), "taxes", "mortgageClosing"));
    CSectionNode& taxesLine = at(mortgage, "taxes");
    EXPECT_EQ(ownProperties(taxesLine), (Names{"amount", "at", "months"}));
    ASSERT_EQ(taxesLine.setPropertyValue("amount", "100"), 0);
    EXPECT_EQ(mortgage.getPropertyValue("taxes"), "1200");
    EXPECT_EQ(taxesLine.getPropertyValue("taxes"), "");

    ASSERT_TRUE(createNode(document.get(), "titleClosing", ""));
    CSectionNode& title = at(*document, "titleClosing");
    EXPECT_EQ(kindOf(title, "signedOn"), PropertyKind::Date);
    for (const char* list : {"moreCredits", "morePayments"}) {
        ASSERT_TRUE(createNode(document.get(), list, "titleClosing"));
        EXPECT_EQ(createNode(document.get(), "q", std::string("titleClosing/") + list), "q1");
    }
    EXPECT_EQ(ownProperties(at(title, "moreCredits/q")), (Names{"borrowerFund", "sellerFund"}));
    EXPECT_EQ(ownProperties(at(title, "morePayments/q")), Names{"amount"});
    EXPECT_FALSE(knows(title, "more"));
}

} // namespace
} // namespace velmora::testing
