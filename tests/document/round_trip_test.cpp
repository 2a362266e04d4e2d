// A document in which every node class occurs and every property holds a value
// other than its initial one is saved and read back unchanged.
#include "recording_dialog.h"
#include "sections/section_test_support.h"
#include "temp_folder.h"
#include "tree/ole_date.h"

#include <set>

namespace velmora::testing {
namespace {

// Nodes made on demand, in order: parent path and the names of the children
// to create there; a name given twice makes two entries.
const std::pair<const char*, const char*> kOnDemand[] = {
    {"", "ledger checkPrinting form1099 form1099_1 mortgageClosing titleClosing secondHud"},
    {"ledger", "deposits withdrawals transactions"},
    {"ledger/deposits", "deposit deposit"},
    {"ledger/withdrawals", "withdrawal"},
    {"ledger/transactions", "transaction"},
    {"checkPrinting", "check check"},
    {"form1099", "filer_address transferor_address"},
    {"form1099_1", "filer_address transferors"},
    {"form1099_1/transferors", "transferor transferor"},
    {"mortgageClosing", "taxes insurance premium b1 b2 b3 c1 c2 c3 interestOnLoan d1 d2 d3"},
    {"titleClosing", "purchasePrice deposits taxes assessments rent fuel waterCharges "
                     "sewerCharges mortgageAssumed moreCredits morePayments"},
    {"titleClosing/moreCredits", "credit"},
    {"titleClosing/morePayments", "payment"},
    {"d_borrowers", "address address"},
    {"e_sellers", "address"},
    {"StChargesOtherFeesCol", "StChargesOtherFees StChargesOtherFees"},
    {"n800/more", "extra"},
    {"n900/more", "extra"},
    {"n1100/more", "extra"},
    {"n1200/more", "extra"},
    {"n1300/more", "extra"},
    {"n1500/more", "extra extra"},
};

// Every node holds a child of each name its class knows among all the names in
// the document, so no class is left out; open lists know every name and the
// nested root is skipped.
void expectEveryKnownChildPresent(CSectionNode& node, const std::set<std::string>& names) {
    for (const std::string& name : names) {
        if (knows(node, name) && !knows(node, "zz_no_such_child")) {
            EXPECT_NE(node.findChild(name), nullptr) << node.getName() << " lacks " << name;
        }
    }
    for (const auto& child : node.children()) {
        if (child->getName() != "secondHud")
            expectEveryKnownChildPresent(*child, names);
    }
}

void collectNames(const CNode& node, std::set<std::string>& names) {
    for (const auto& child : node.children()) {
        names.insert(child->getName());
        collectNames(*child, names);
    }
}

// Gives every property a distinct value other than its initial one.
void fill(CSectionNode& node, int& count) {
    const bool root = dynamic_cast<CHudDocument*>(&node) != nullptr;
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        const std::string n = std::to_string(++count);
        std::string text = "v" + n + " & <b> \"q\" 'a'\t\n\x01 end";
        if (def.kind == PropertyKind::Long)
            text = "-10000" + n;
        else if (def.kind == PropertyKind::Double)
            text = "-" + n + ".123456789012345678";
        else if (def.kind == PropertyKind::Date)
            text = formatDate({40000.0 + count + 0.75, DateStatus::Valid});
        else if (def.kind == PropertyKind::Bool)
            text = "1";
        if (root && (def.name == "document_type" || def.name == "versionNumber"))
            text = def.name == "versionNumber" ? "201" : "hud1a";
        ASSERT_EQ(node.setPropertyValue(def.name, text), 0) << node.getName() << def.name;
        if (def.builtIn == BuiltIn::No) {
            EXPECT_FALSE(node.holdsInitial(def)) << node.getName() << " " << def.name;
        }
    }
    for (const auto& child : node.children())
        fill(*child, count);
}

TEST(RoundTrip, EveryPropertyOfEveryClassSurvivesSaveAndLoad) {
    auto document = newDocument();
    for (const auto& [parent, names] : kOnDemand) {
        for (const std::string& name : words(names))
            ASSERT_TRUE(createNode(document.get(), name, parent)) << parent << "/" << name;
    }
    auto* nested = dynamic_cast<CHudDocument*>(resolveUri(document.get(), "secondHud"));
    ASSERT_NE(nested, nullptr);
    nested->initDocument();
    std::set<std::string> names;
    collectNames(*document, names);
    expectEveryKnownChildPresent(*document, names);
    int count = 0;
    fill(*document, count);
    if (HasFatalFailure())
        return;

    TempFolder folder;
    RecordingDialog dialog;
    ASSERT_EQ(document->save(folder.file("full.xml")), 0);
    document->releaseLock(); // a saved document holds its file
    CHudDocument loaded("hud");
    ASSERT_EQ(loaded.load(folder.file("full.xml")), 0);
    EXPECT_EQ(loaded.nodeValue(), document->nodeValue());
    // A second cycle writes the same bytes, so no digit was lost on the way.
    ASSERT_EQ(loaded.save(folder.file("again.xml")), 0);
    loaded.releaseLock();
    EXPECT_EQ(readBytes(folder.file("again.xml")), readBytes(folder.file("full.xml")));
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
