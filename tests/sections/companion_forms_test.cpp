// The companion forms: ledger, check printing, the two 1099 forms and the two
// closing records, which exist only once a client or a file makes them.
#include "sections/section_test_support.h"

namespace velmora::testing {
namespace {
TEST(CompanionForms, ExistOnlyOnDemandAndThe1099FormsKnowDifferentChildren) {
    auto document = newDocument();
    const Names forms =
        words("ledger checkPrinting form1099 form1099_1 mortgageClosing titleClosing");
    for (const std::string& form : forms) {
        EXPECT_EQ(isNodeExist(document.get(), form), 0) << form;
        EXPECT_EQ(createNode(document.get(), form, ""), form + "1");
        EXPECT_EQ(getChildNodeCount(document.get(), form), 0u) << form;
    }
    EXPECT_EQ(elementNames(*document),
              words("tax_data b d d_borrowers e e_sellers g h n100 n200 n400 n500 n700 n800 n900 "
                    "n1000 n1100 n1200 n1300 n1400 n1500 n1600 initialEscrowDisclosure "
                    "StateCharges1201 StChargesOtherFeesCol") +
                  forms);
    EXPECT_EQ(createNode(document.get(), "Ledger", ""), std::nullopt);
    // The two 1099 forms know different children.
    CSectionNode& single = at(*document, "form1099");
    CSectionNode& multi = at(*document, "form1099_1");
    for (const std::string child : {"filer_address", "transferor_address", "transferors"}) {
        EXPECT_EQ(knows(single, child), child != "transferors") << child;
        EXPECT_EQ(knows(multi, child), child != "transferor_address") << child;
    }
    ASSERT_TRUE(createNode(document.get(), "transferors", "form1099_1"));
    EXPECT_EQ(createNode(document.get(), "transferor", "form1099_1/transferors"), "transferor1");
    EXPECT_EQ(createNode(document.get(), "address", "form1099_1/transferors"), std::nullopt);
    // A new transferor is wholly allocated; its other numbers start at 0.
    CSectionNode& transferor = at(*document, "form1099_1/transferors/transferor");
    for (const PropertyDef& def : transferor.schema().inNameOrder()) {
        const std::string expected = def.name == "grossAllocationPct" ? "100.00"
                                     : def.kind == PropertyKind::Long ? "0"
                                                                      : "";
        if (def.builtIn == BuiltIn::No) {
            EXPECT_EQ(transferor.getPropertyValue(def.name), expected) << def.name;
        }
    }
}

TEST(CompanionForms, ListsAcceptOnlyTheirOwnEntriesAndClosingLinesStandApart) {
    auto document = newDocument();
    const char* const made[][2] = {{"ledger", ""},
                                   {"deposits", "ledger"},
                                   {"withdrawals", "ledger"},
                                   {"transactions", "ledger"},
                                   {"checkPrinting", ""},
                                   {"titleClosing", ""},
                                   {"deposits", "titleClosing"}};
    for (const auto& [name, parent] : made)
        ASSERT_TRUE(createNode(document.get(), name, parent)) << parent << "/" << name;
    EXPECT_EQ(createNode(document.get(), "deposit", "ledger"), std::nullopt);
    const char* const lists[][3] = {{"ledger/deposits", "deposit", "withdrawal"},
                                    {"ledger/withdrawals", "withdrawal", "deposit"},
                                    {"ledger/transactions", "transaction", "transactions"},
                                    {"checkPrinting", "check", "checks"}};
    for (const auto& [list, entry, other] : lists) {
        EXPECT_EQ(createNode(document.get(), entry, list), std::string(entry) + "1");
        EXPECT_EQ(createNode(document.get(), entry, list), std::string(entry) + "2");
        EXPECT_EQ(createNode(document.get(), other, list), std::nullopt) << list;
    }
    // Deposits mean what their owner makes of them.
    EXPECT_TRUE(ownProperties(at(*document, "ledger/deposits")).empty());
    EXPECT_EQ(ownProperties(at(*document, "titleClosing/deposits")), Names{"amount"});
    EXPECT_FALSE(knows(at(*document, "titleClosing/deposits"), "deposit"));
    // A closing record's lines are apart from the record's own properties.
    ASSERT_TRUE(createNode(document.get(), "mortgageClosing", ""));
    CSectionNode& mortgage = at(*document, "mortgageClosing");
    EXPECT_EQ(mortgage.getPropertyValue("closingDate"), "12/30/1899");
    ASSERT_EQ(mortgage.setPropertyValue("taxes", "1200"), 0);
    EXPECT_EQ(createNode(document.get(), "taxes", "mortgageClosing"), "taxes1");
    EXPECT_EQ(ownProperties(at(mortgage, "taxes")), (Names{"amount", "at", "months"}));
    ASSERT_EQ(at(mortgage, "taxes").setPropertyValue("amount", "100"), 0);
    EXPECT_EQ(mortgage.getPropertyValue("taxes"), "1200");
}

} // namespace
} // namespace velmora::testing
