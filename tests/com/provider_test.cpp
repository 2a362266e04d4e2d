// The provider's contract with its host: which out-values a call writes and
// which it leaves as the caller passed them, the -1 presets, the results after
// Dispose, paths and criteria.
#include "com/provider.h"
#include "document/hud_document.h"
#include "platform/file_system.h"
#include "recording_dialog.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {
namespace {

const std::string kUntouched = "untouched";
constexpr int kUntouchedInt = 12345;

class Provider : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(provider.initHUDDocument(), kS_OK); }

    std::string value(const std::string& uri) {
        std::string text = kUntouched;
        EXPECT_EQ(provider.getNodeValue(uri, &text), kS_OK);
        return text;
    }
    std::string property(const std::string& uri, const std::string& name) {
        std::string text = kUntouched;
        EXPECT_EQ(provider.getNodePropertyValue(uri, name, &text), kS_OK);
        return text;
    }
    void set(const std::string& uri, const std::string& name, const std::string& text) {
        int result = kUntouchedInt;
        ASSERT_EQ(provider.setNodePropertyValue(uri, name, text, &result), kS_OK);
        ASSERT_EQ(result, 0) << uri << " " << name;
    }
    int count(const std::string& uri) {
        int result = kUntouchedInt;
        EXPECT_EQ(provider.getChildNodeCount(uri, &result), kS_OK);
        return result;
    }
    int byCriterion(const std::string& uri, const std::string& criterion) {
        int result = kUntouchedInt;
        EXPECT_EQ(
            provider.setNodePropertyByCriterion(uri, criterion, "description", "hit", &result),
            kS_OK);
        return result;
    }
    int remove(const std::string& uri, const std::string& name, const std::string& criterion) {
        int result = kUntouchedInt;
        EXPECT_EQ(provider.removeChildNode(uri, name, criterion, &result), kS_OK);
        return result;
    }
    // The "description" of each line n701 to n704 of section 700.
    std::vector<std::string> descriptions() {
        std::vector<std::string> texts;
        for (const char* line : {"n701", "n702", "n703", "n704"})
            texts.push_back(property(std::string("n700/") + line, "description"));
        return texts;
    }
    // Lines of section 700 with their (payor, net) columns.
    void setPayorsAndNets(std::initializer_list<std::pair<const char*, const char*>> lines) {
        int line = 701;
        for (const auto& [payor, net] : lines) {
            const std::string uri = "n700/n" + std::to_string(line++);
            set(uri, "payor", payor);
            set(uri, "net", net);
        }
    }

    RecordingDialog dialog;
    HudProvider provider;
};

TEST_F(Provider, PathsNameTheFirstChildOfEachSegment) {
    const std::string section = value("n700");
    ASSERT_EQ(section.rfind("<n700 ", 0), 0u) << section;
    EXPECT_EQ(value("/n700"), section);
    EXPECT_EQ(value("n700/"), section);
    EXPECT_EQ(value("//n700//"), section);
    EXPECT_EQ(value("").rfind("<HUD ", 0), 0u);

    std::string added = kUntouched;
    ASSERT_EQ(provider.createNode("n701", "n700", &added), kS_OK);
    ASSERT_NE(added, kUntouched);
    set("n700/n701", "description", "first");
    EXPECT_NE(property("n700/n701", "name"), added);
    EXPECT_EQ(property("n700/n701", "description"), "first");
}

TEST_F(Provider, PathThatNamesNoNodeLeavesOutValuesAsPassed) {
    // A missing middle segment does not fall through to the segments after it.
    for (const std::string uri : {"n700/nosuch", "n700/nosuch/price", "nosuch/n700", "N700"}) {
        SCOPED_TRACE(uri);
        EXPECT_EQ(value(uri), kUntouched);
        EXPECT_EQ(property(uri, "description"), kUntouched);
        EXPECT_EQ(count(uri), kUntouchedInt);

        std::string text = kUntouched;
        EXPECT_EQ(provider.getChildNodeByIndex(uri, 0, &text), kS_OK);
        EXPECT_EQ(text, kUntouched);
        EXPECT_EQ(provider.findChildNodeByProperty(uri, "payor", "", &text), kS_OK);
        EXPECT_EQ(text, kUntouched);
        EXPECT_EQ(provider.createNode("n701", uri, &text), kS_OK);
        EXPECT_EQ(text, kUntouched);

        long exists = kUntouchedInt;
        EXPECT_EQ(provider.isNodeExist(uri, &exists), kS_OK);
        EXPECT_EQ(exists, 0);

        // The methods that preset -1 write it even when they find nothing.
        int result = kUntouchedInt;
        EXPECT_EQ(provider.setNodePropertyValue(uri, "description", "x", &result), kS_OK);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(byCriterion(uri, "payor="), -1);
        EXPECT_EQ(remove(uri, "n701", "payor="), -1);
    }
    long exists = 0;
    EXPECT_EQ(provider.isNodeExist("n700/price", &exists), kS_OK);
    EXPECT_EQ(exists, 1);
    int result = kUntouchedInt;
    EXPECT_EQ(provider.setNodePropertyValue("n700/n701", "nosuch", "1", &result), kS_OK);
    EXPECT_EQ(result, -1);
}

TEST_F(Provider, CreateNodeOfAnUnknownNameLeavesNewNameAsPassed) {
    const int before = count("n700");
    std::string name = kUntouched;
    EXPECT_EQ(provider.createNode("nosuch", "n700", &name), kS_OK);
    EXPECT_EQ(name, kUntouched);
    EXPECT_EQ(count("n700"), before);

    EXPECT_EQ(provider.createNode("n704", "n700", &name), kS_OK);
    EXPECT_EQ(name, "n7042");
    EXPECT_EQ(count("n700"), before + 1);
}

TEST_F(Provider, ChildByIndexCountsEveryChildInListOrder) {
    ASSERT_EQ(count("n700"), 5);
    std::string text = kUntouched;
    EXPECT_EQ(provider.getChildNodeByIndex("n700", 0, &text), kS_OK);
    EXPECT_EQ(text, value("n700/price"));
    EXPECT_EQ(provider.getChildNodeByIndex("n700", 4, &text), kS_OK);
    EXPECT_EQ(text, value("n700/n704"));

    for (const int index : {-1, 5, 6, -2147483647 - 1}) {
        text = kUntouched;
        EXPECT_EQ(provider.getChildNodeByIndex("n700", index, &text), kS_OK);
        EXPECT_EQ(text, kUntouched) << index;
    }
}

TEST_F(Provider, FindChildComparesBytesExactly) {
    set("n700/n702", "payor", "Acme");
    set("n700/n704", "payor", "Acme");
    std::string text = kUntouched;
    EXPECT_EQ(provider.findChildNodeByProperty("n700", "payor", "acme", &text), kS_OK);
    EXPECT_EQ(text, kUntouched);
    EXPECT_EQ(provider.findChildNodeByProperty("n700", "payor", "Acme ", &text), kS_OK);
    EXPECT_EQ(text, kUntouched);
    EXPECT_EQ(provider.findChildNodeByProperty("n700", "payor", "Acm", &text), kS_OK);
    EXPECT_EQ(text, kUntouched);
    EXPECT_EQ(provider.findChildNodeByProperty("n700", "payor", "Acme", &text), kS_OK);
    EXPECT_EQ(text, value("n700/n702"));
}

TEST_F(Provider, CriterionUpdatesOnlyTheFirstChildMatchingEveryPair) {
    setPayorsAndNets({{"A", "0"}, {"B", "1"}, {"A", "1"}, {"A", "1"}});
    EXPECT_EQ(byCriterion("n700", "payor=A|net=1"), 0);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "", "hit", ""}));

    // The first of two equal keys wins.
    EXPECT_EQ(byCriterion("n700", "payor=B|payor=A|net=1"), 0);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "hit", "hit", ""}));

    EXPECT_EQ(byCriterion("n700", "payor=A|net=2"), -1);
    EXPECT_EQ(byCriterion("n700", "payor=a"), -1);
}

TEST_F(Provider, CriterionTermWithoutEqualsTestsThePropertyOfThatName) {
    set("n700/n702", "payor", "payor");
    EXPECT_EQ(byCriterion("n700", "payor"), 0);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "hit", "", ""}));
}

TEST_F(Provider, EmptyCriterionMatchesNothing) {
    for (const std::string criterion : {"", "|", "||"}) {
        EXPECT_EQ(byCriterion("n700", criterion), -1) << criterion;
        EXPECT_EQ(remove("n700", "n701", criterion), -1) << criterion;
    }
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(count("n700"), 5);
}

TEST_F(Provider, RemoveChildTakesOnlyTheFirstOfThatNameMatchingTheCriterion) {
    std::string added = kUntouched;
    ASSERT_EQ(provider.createNode("n701", "n700", &added), kS_OK);
    ASSERT_EQ(provider.createNode("n701", "n700", &added), kS_OK);
    set("n700/n702", "payor", "A");
    ASSERT_EQ(count("n700"), 7);

    // n701 lines all have payor "" and description ""; n702 does not match by name.
    EXPECT_EQ(remove("n700", "n701", "payor=A"), -1);
    EXPECT_EQ(remove("n700", "N701", "payor="), -1);
    EXPECT_EQ(count("n700"), 7);

    EXPECT_EQ(remove("n700", "n701", "payor=|description="), 0);
    EXPECT_EQ(count("n700"), 6);
    EXPECT_EQ(property("n700/n701", "name"), "n7012");
    EXPECT_EQ(property("n700/n702", "payor"), "A");
}

TEST_F(Provider, DocumentTypeAcceptsAnyText) {
    EXPECT_EQ(provider.setDocumentType("not a type at all"), kS_OK);
    EXPECT_EQ(provider.document()->documentType(), "not a type at all");
    EXPECT_EQ(provider.setDocumentType(""), kS_OK);
    EXPECT_EQ(provider.document()->documentType(), "");
}

TEST_F(Provider, ReadAndWriteReportThroughRetVal) {
    TempFolder folder;
    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("missing.xml"), &result), kS_OK);
    EXPECT_EQ(result, -1);

    set("n700/n703", "payor", "Acme");
    result = kUntouchedInt;
    ASSERT_EQ(provider.writeHUD(folder.file("deal.xml"), &result), kS_OK);
    ASSERT_EQ(result, 0);
    // The writer holds its file until it lets go; then another provider may open it.
    ASSERT_EQ(provider.ApplyFileLock(0), kS_OK);

    HudProvider reader;
    result = kUntouchedInt;
    ASSERT_EQ(reader.readHUD(folder.file("deal.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
    std::string text = kUntouched;
    EXPECT_EQ(reader.getNodePropertyValue("n700/n703", "payor", &text), kS_OK);
    EXPECT_EQ(text, "Acme");

    // While the reader holds the file, the format test cannot read it.
    result = kUntouchedInt;
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("deal.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(reader.ApplyFileLock(0), kS_OK);
    result = kUntouchedInt;
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("deal.xml"), &result), kS_OK);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("missing.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
}

TEST_F(Provider, AfterDisposeOnlyTheFourRootMethodsFail) {
    TempFolder folder;
    writeBytes(folder.file("deal.xml"), "<calverin><HUD/></calverin>");
    ASSERT_EQ(provider.Dispose(), kS_OK);
    EXPECT_EQ(provider.document(), nullptr);

    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, kUntouchedInt);
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, kUntouchedInt);
    EXPECT_EQ(provider.writeHUD(folder.file("out.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(fileExists(folder.file("out.xml")));
    EXPECT_EQ(provider.setDocumentType("hud1a"), kE_FAIL);

    EXPECT_EQ(value(""), kUntouched);
    EXPECT_EQ(property("", "document_type"), kUntouched);
    EXPECT_EQ(count(""), kUntouchedInt);
    std::string text = kUntouched;
    EXPECT_EQ(provider.createNode("n100", "", &text), kS_OK);
    EXPECT_EQ(provider.getChildNodeByIndex("", 0, &text), kS_OK);
    EXPECT_EQ(provider.findChildNodeByProperty("", "name", "", &text), kS_OK);
    EXPECT_EQ(text, kUntouched);
    long exists = kUntouchedInt;
    EXPECT_EQ(provider.isNodeExist("", &exists), kS_OK);
    EXPECT_EQ(exists, 0);
    result = kUntouchedInt;
    EXPECT_EQ(provider.setNodePropertyValue("", "g_lot", "1", &result), kS_OK);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(byCriterion("", "name=n1001"), -1);
    EXPECT_EQ(remove("", "n100", "name=n1001"), -1);

    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_EQ(provider.ApplyFileLock(0), kS_OK);
    EXPECT_EQ(provider.initHUDDocument(), kS_OK);
    EXPECT_EQ(provider.Dispose(), kS_OK);
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
