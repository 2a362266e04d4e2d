// The document root: identity, document-level properties, the sections of a
// new document per type, the nested "secondHud" and unset dates in files.
#include "recording_dialog.h"
#include "sections/section_test_support.h"
#include "temp_folder.h"

namespace velmora::testing {
namespace {

const Names kStandardSections =
    words("tax_data b d d_borrowers e e_sellers g h n100 n200 n400 n500 n700 n800 n900 n1000 "
          "n1100 n1200 n1300 n1400 n1500 n1600 initialEscrowDisclosure StateCharges1201 "
          "StChargesOtherFeesCol");

TEST(HudDocument, NewRootCarriesTheDocumentLevelDefaults) {
    CHudDocument document("hud1a");
    EXPECT_EQ(document.getName(), "HUD");
    EXPECT_EQ(document.childCount(), 0u);
    const std::pair<const char*, const char*> expected[] = {
        {"name", "Hud document"},   {"description", "Hud xml document"},
        {"document_type", "hud1a"}, {"versionNumber", ""},
        {"g_lot_Caption", "Lot"},   {"g_Block_Caption", "Block"},
        {"i_settlementDate", ""},   {"fundingDate", ""}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(document.getPropertyValue(name), value) << name;
    EXPECT_EQ(document.slotValue(*document.schema().find("n603")), PropertyValue(0.0));
    EXPECT_TRUE(document.lockingEnabled);
    // The type is one value, whichever way it is written.
    ASSERT_EQ(document.setPropertyValue("document_type", "title"), 0);
    EXPECT_EQ(document.documentType(), "title");
}

TEST(HudDocument, OnlyStatementTypesGetTheStandardSectionsOncePerCall) {
    for (const char* type : {"hud", "hud1a"}) {
        auto document = newDocument(type);
        EXPECT_EQ(elementNames(*document), kStandardSections) << type;
        for (const auto& section : document->children())
            EXPECT_EQ(section->getDisplayName(), section->getName() + "1");
        EXPECT_EQ(getChildNodeCount(document.get(), "n100"), 9u);
        EXPECT_EQ(getChildNodeCount(document.get(), "StateCharges1201"), 3u);
        document->initDocument();
        EXPECT_EQ(elementNames(*document), kStandardSections + kStandardSections);
        EXPECT_EQ(document->children()[25]->getDisplayName(), "tax_data2");
        EXPECT_EQ(document->children()[33]->childCount(), 9u);
    }
    for (const char* name : {"n300", "n600", "n301", "HUD", "Ledger", "second_hud"})
        EXPECT_FALSE(knows(*newDocument(), name)) << name;
    for (const char* type : {"mortgage", "title", "", "HUD", "Hud1a"})
        EXPECT_EQ(newDocument(type)->childCount(), 0u) << type;
    // Sections can still be made one by one, without their lines.
    auto document = newDocument("title");
    EXPECT_EQ(createNode(document.get(), "n100", ""), "n1001");
    EXPECT_EQ(getChildNodeCount(document.get(), "n100"), 0u);
}

TEST(HudDocument, SecondHudIsANestedStatementRoot) {
    auto document = newDocument("hud1a");
    EXPECT_EQ(createNode(document.get(), "secondHud", ""), "secondHud1");
    auto* nested = dynamic_cast<CHudDocument*>(&at(*document, "secondHud"));
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->getParent(), document.get());
    EXPECT_EQ(nested->getPropertyValue("document_type"), "hud");
    EXPECT_EQ(nested->childCount(), 0u);
    EXPECT_EQ(document->documentType(), "hud1a");
    nested->initDocument();
    EXPECT_EQ(elementNames(*nested), kStandardSections);
}

TEST(HudDocument, UnsetDatesAreLeftOutOfFiles) {
    auto document = newDocument();
    TempFolder folder;
    RecordingDialog dialog;
    ASSERT_EQ(document->save(folder.file("new.xml")), 0);
    document->releaseLock(); // a saved document holds its file
    const std::string bytes = readBytes(folder.file("new.xml"));
    for (const char* date : {"i_settlementDate", "fundingDate", "settlementDate", "tax_start",
                             "firstPaymentDate", " from=", " to="})
        EXPECT_EQ(bytes.find(date), std::string::npos) << date;
    EXPECT_NE(bytes.find("s700Price=\"0\""), std::string::npos);

    CHudDocument loaded("hud");
    ASSERT_EQ(loaded.load(folder.file("new.xml")), 0);
    EXPECT_EQ(loaded.getPropertyValue("i_settlementDate"), "");
    EXPECT_EQ(getNodePropertyValue(&loaded, "n1400", "settlementDate"), "12/30/1899");
    EXPECT_EQ(loaded.nodeValue(), document->nodeValue());
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
