// The provider's contract with its host: which out-values a call writes and
// which it leaves as the caller passed them, the -1 presets, the results after
// Dispose, and the criterion order. The operations behind each method are
// tested on the tree itself.
#include "com/provider.h"
#include "document/hud_document.h"
#include "platform/file_system.h"
#include "recording_dialog.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
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
    int set(const std::string& uri, const std::string& name, const std::string& text) {
        int result = kUntouchedInt;
        EXPECT_EQ(provider.setNodePropertyValue(uri, name, text, &result), kS_OK);
        return result;
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
    // The string out-values of the methods that find nodes, in one list.
    std::vector<std::string> found(const std::string& uri, int index, const std::string& child) {
        std::vector<std::string> texts(3, kUntouched);
        EXPECT_EQ(provider.getChildNodeByIndex(uri, index, &texts[0]), kS_OK);
        EXPECT_EQ(provider.findChildNodeByProperty(uri, "payor", "", &texts[1]), kS_OK);
        EXPECT_EQ(provider.createNode(child, uri, &texts[2]), kS_OK);
        return texts;
    }
    long exists(const std::string& uri) {
        long result = kUntouchedInt;
        EXPECT_EQ(provider.isNodeExist(uri, &result), kS_OK);
        return result;
    }

    RecordingDialog dialog;
    HudProvider provider;
};

const std::vector<std::string> kAllUntouched(3, kUntouched);

TEST_F(Provider, NothingFoundLeavesOutValuesAsPassedExceptThePresets) {
    // A missing middle segment does not fall through to the segments after it.
    for (const std::string uri : {"n700/nosuch", "n700/nosuch/price", "nosuch/n700", "N700"}) {
        SCOPED_TRACE(uri);
        EXPECT_EQ(value(uri), kUntouched);
        EXPECT_EQ(property(uri, "description"), kUntouched);
        EXPECT_EQ(count(uri), kUntouchedInt);
        EXPECT_EQ(found(uri, 0, "n701"), kAllUntouched);
        EXPECT_EQ(exists(uri), 0);
        // The methods that preset -1 write it even when they find nothing.
        EXPECT_EQ(set(uri, "description", "x"), -1);
        EXPECT_EQ(byCriterion(uri, "payor="), -1);
        EXPECT_EQ(remove(uri, "n701", "payor="), -1);
    }
    EXPECT_EQ(exists("n700/price"), 1);
    EXPECT_EQ(set("n700/n701", "nosuch", "1"), -1);

    // An index outside the list, or a child name the parent does not know.
    ASSERT_EQ(count("n700"), 5);
    for (const int index : {-1, 5, -2147483647 - 1})
        EXPECT_EQ(found("n700", index, "nosuch")[0], kUntouched) << index;
    EXPECT_EQ(found("n700", 0, "nosuch")[2], kUntouched);
    EXPECT_EQ(count("n700"), 5);
}

TEST_F(Provider, CriterionUpdatesOnlyTheFirstChildMatchingEveryPair) {
    const std::pair<const char*, const char*> lines[] = {
        {"A", "0"}, {"B", "1"}, {"A", "1"}, {"A", "1"}};
    for (int i = 0; i < 4; ++i) {
        const std::string uri = "n700/n70" + std::to_string(i + 1);
        ASSERT_EQ(set(uri, "payor", lines[i].first), 0);
        ASSERT_EQ(set(uri, "net", lines[i].second), 0);
    }
    const auto descriptions = [&] {
        std::vector<std::string> texts;
        for (const char* line : {"n701", "n702", "n703", "n704"})
            texts.push_back(property(std::string("n700/") + line, "description"));
        return texts;
    };
    // Net is compared as well as payor: n701 has the payor but not the net.
    EXPECT_EQ(byCriterion("n700", "payor=A|net=1"), 0);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "", "hit", ""}));
    // The first of two equal keys wins.
    EXPECT_EQ(byCriterion("n700", "payor=B|payor=A|net=1"), 0);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"", "hit", "hit", ""}));
    EXPECT_EQ(byCriterion("n700", "payor=A|net=2"), -1);
}

TEST_F(Provider, ReadAndWriteReportThroughRetVal) {
    TempFolder folder;
    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("missing.xml"), &result), kS_OK);
    EXPECT_EQ(result, -1);

    ASSERT_EQ(set("n700/n703", "payor", "Acme"), 0);
    ASSERT_EQ(provider.setDocumentType("not a type"), kS_OK);
    ASSERT_EQ(provider.writeHUD(folder.file("deal.xml"), &result), kS_OK);
    ASSERT_EQ(result, 0);
    ASSERT_EQ(provider.ApplyFileLock(0), kS_OK);

    HudProvider reader;
    result = kUntouchedInt;
    ASSERT_EQ(reader.readHUD(folder.file("deal.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
    std::string text = kUntouched;
    EXPECT_EQ(reader.getNodePropertyValue("n700/n703", "payor", &text), kS_OK);
    EXPECT_EQ(text, "Acme");
    EXPECT_EQ(reader.getNodePropertyValue("", "document_type", &text), kS_OK);
    EXPECT_EQ(text, "not a type");
}

TEST_F(Provider, AfterDisposeOnlyTheFourRootMethodsFail) {
    TempFolder folder;
    writeBytes(folder.file("deal.xml"), "<calverin><HUD/></calverin>");
    ASSERT_EQ(provider.Dispose(), kS_OK);
    EXPECT_EQ(provider.document(), nullptr);

    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, kUntouchedInt);
    EXPECT_EQ(provider.writeHUD(folder.file("out.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(fileExists(folder.file("out.xml")));
    EXPECT_EQ(provider.setDocumentType("hud1a"), kE_FAIL);

    // The others succeed and find nothing.
    EXPECT_EQ(value(""), kUntouched);
    EXPECT_EQ(property("", "document_type"), kUntouched);
    EXPECT_EQ(count(""), kUntouchedInt);
    EXPECT_EQ(found("", 0, "n100"), kAllUntouched);
    EXPECT_EQ(exists(""), 0);
    EXPECT_EQ(set("", "g_lot", "1"), -1);
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
