// The deals `velmora demo` shows add up as a closing agent's would: every
// total is, to the cent, the sum of what the form says it totals.
#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "tree/node_operations.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace velmora::testing {
namespace {

long long centsOf(const std::string& text) {
    return text.empty() ? 0 : std::llround(std::stod(text) * 100);
}

class Deal {
public:
    explicit Deal(const std::string& file) : root_("hud") {
        EXPECT_EQ(loadXmlFile(root_, file), 0) << file;
    }

    long long value(const std::string& path, const std::string& property) {
        return centsOf(getNodePropertyValue(&root_, path, property).value_or(""));
    }

    // `property` summed over the lines of `blocks`, their `more` lines too.
    long long sum(std::initializer_list<const char*> blocks, const std::string& property) {
        long long total = 0;
        for (const char* block : blocks) {
            if (const CSectionNode* node = resolveUri(&root_, block))
                total += sumBelow(*node, property);
        }
        return total;
    }

private:
    long long sumBelow(const CSectionNode& node, const std::string& property) {
        long long total = 0;
        for (const auto& line : node.children())
            total += centsOf(line->getPropertyValue(property)) + sumBelow(*line, property);
        return total;
    }

    CHudDocument root_;
};

TEST(DemoTotals, ThePurchaseAndTheConvertedDealsAddUp) {
    TempFolder folder;
    const CliRun run = runCli({"demo", folder.path()});
    ASSERT_EQ(run.exitCode, 0) << run;
    const auto charges = {"n700", "n800", "n900", "n1000", "n1100", "n1200", "n1300"};
    for (const char* file : {"sample-deal.xml", "legacy-deal.hud"}) {
        SCOPED_TRACE(file);
        Deal deal(folder.file(file));
        const long long borrowerCharges = deal.value("n1400", "borrowerFund");
        const long long sellerCharges = deal.value("n1400", "sellerFund");
        EXPECT_NE(borrowerCharges, 0);
        EXPECT_EQ(borrowerCharges, deal.sum(charges, "borrowerFund"));
        EXPECT_EQ(sellerCharges, deal.sum(charges, "sellerFund"));
        EXPECT_EQ(deal.value("n700/price", "amount"),
                  std::llround(static_cast<double>(deal.value("n700", "s700Price")) *
                               static_cast<double>(deal.value("n700/price", "at")) / 10000.0));
        EXPECT_EQ(deal.value("n700/price", "amount"),
                  deal.value("n700/n701", "amount") + deal.value("n700/n702", "amount"));
        const long long price = deal.value("n100", "n101");
        const long long due = deal.value("n100", "n120");
        const long long paid = deal.value("n200", "n220");
        EXPECT_EQ(due, price + deal.value("n100", "n102") + borrowerCharges +
                           deal.sum({"n100"}, "amount"));
        EXPECT_EQ(paid, deal.value("n200", "n201") + deal.value("n200", "n202") +
                            deal.value("n200", "n203") + deal.sum({"n200"}, "amount"));
        EXPECT_EQ(deal.value("", "n303"), due - paid);
        const long long owed = deal.value("n400", "n420");
        const long long reduced = deal.value("n500", "n520");
        EXPECT_EQ(owed, price + deal.value("n400", "n402") + deal.sum({"n400"}, "amount"));
        EXPECT_EQ(reduced, deal.value("n500", "n501") + sellerCharges + deal.value("n500", "n503") +
                               deal.sum({"n500"}, "amount"));
        EXPECT_EQ(deal.value("", "n603"), owed - reduced);
    }

    Deal refinance(folder.file("legacy-refinance.rfn"));
    const long long charged = refinance.value("n1400", "borrowerFund");
    const long long disbursed = refinance.value("n1500", "n1520");
    EXPECT_EQ(charged,
              refinance.sum({"n800", "n900", "n1000", "n1100", "n1200", "n1300"}, "borrowerFund"));
    EXPECT_EQ(disbursed, refinance.sum({"n1500"}, "amount"));
    EXPECT_EQ(refinance.value("n1600", "n1604"), refinance.value("n1600", "amount") +
                                                     refinance.value("n1600", "cash") - charged -
                                                     disbursed);
}

} // namespace
} // namespace velmora::testing
