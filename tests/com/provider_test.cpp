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
const std::vector<std::string> kAllUntouched(3, kUntouched);

class Provider : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(provider.initHUDDocument(), kS_OK); }

    // Calls `method` with an out-value preset to `initial`; the value after it.
    template <typename T, typename Method> T out(T initial, Method method) {
        EXPECT_EQ(method(&initial), kS_OK);
        return initial;
    }
    std::string value(const std::string& uri) {
        return out(kUntouched, [&](std::string* t) { return provider.getNodeValue(uri, t); });
    }
    std::string property(const std::string& uri, const std::string& name) {
        return out(kUntouched,
                   [&](std::string* t) { return provider.getNodePropertyValue(uri, name, t); });
    }
    int set(const std::string& uri, const std::string& name, const std::string& text) {
        return out(kUntouchedInt,
                   [&](int* r) { return provider.setNodePropertyValue(uri, name, text, r); });
    }
    int count(const std::string& uri) {
        return out(kUntouchedInt, [&](int* r) { return provider.getChildNodeCount(uri, r); });
    }
    int byCriterion(const std::string& uri, const std::string& criterion) {
        return out(kUntouchedInt, [&](int* r) {
            return provider.setNodePropertyByCriterion(uri, criterion, "description", "hit", r);
        });
    }
    int remove(const std::string& uri, const std::string& name, const std::string& criterion) {
        return out(kUntouchedInt,
                   [&](int* r) { return provider.removeChildNode(uri, name, criterion, r); });
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
        return out(long{kUntouchedInt}, [&](long* r) { return provider.isNodeExist(uri, r); });
    }

    // Every method that finds a node, given a uri that names none; the methods
    // that preset -1 write it even when they find nothing.
    void expectNothingFound(const std::string& uri, const std::string& child,
                            const std::string& criterion) {
        SCOPED_TRACE(uri);
        EXPECT_EQ(value(uri), kUntouched);
        EXPECT_EQ(property(uri, "description"), kUntouched);
        EXPECT_EQ(count(uri), kUntouchedInt);
        EXPECT_EQ(found(uri, 0, child), kAllUntouched);
        EXPECT_EQ(exists(uri), 0);
        EXPECT_EQ(set(uri, "description", "x"), -1);
        EXPECT_EQ(byCriterion(uri, criterion), -1);
        EXPECT_EQ(remove(uri, child, criterion), -1);
    }

    RecordingDialog dialog;
    HudProvider provider;
};

TEST_F(Provider, NothingFoundLeavesOutValuesAsPassedExceptThePresets) {
    // A missing middle segment does not fall through to the segments after it.
    for (const std::string uri : {"n700/nosuch", "n700/nosuch/price", "nosuch/n700", "N700"})
        expectNothingFound(uri, "n701", "payor=");
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
    for (int i = 0; i < 4; ++i) {
        const std::string uri = "n700/n70" + std::to_string(i + 1);
        ASSERT_EQ(set(uri, "payor", i == 1 ? "B" : "A") + set(uri, "net", i ? "1" : "0"), 0);
    }
    const auto hits = [&] {
        std::string texts;
        for (const char line : std::string("1234"))
            texts += property(std::string("n700/n70") + line, "description") + ",";
        return texts;
    };
    // Net is compared as well as payor: n701 has the payor but not the net.
    EXPECT_EQ(byCriterion("n700", "payor=A|net=1"), 0);
    EXPECT_EQ(hits(), ",,hit,,");
    // The first of two equal keys wins.
    EXPECT_EQ(byCriterion("n700", "payor=B|payor=A|net=1"), 0);
    EXPECT_EQ(hits(), ",hit,hit,,");
    EXPECT_EQ(byCriterion("n700", "payor=A|net=2"), -1);
}

TEST_F(Provider, ReadAndWriteReportThroughRetVal) {
    TempFolder folder;
    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("missing.xml"), &result), kS_OK);
    EXPECT_EQ(result, -1);

    HudProvider writer;
    ASSERT_EQ(writer.setDocumentType("not a type"), kS_OK);
    ASSERT_EQ(writer.writeHUD(folder.file("deal.xml"), &result), kS_OK);
    ASSERT_EQ(result, 0);
    ASSERT_EQ(writer.ApplyFileLock(0), kS_OK);
    result = kUntouchedInt;
    ASSERT_EQ(provider.readHUD(folder.file("deal.xml"), &result), kS_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(property("", "document_type"), "not a type");
}

TEST_F(Provider, AfterDisposeOnlyTheFourRootMethodsFail) {
    TempFolder folder;
    writeBytes(folder.file("deal.xml"), "<calverin><HUD/></calverin>");
    ASSERT_EQ(provider.Dispose(), kS_OK);

    int result = kUntouchedInt;
    EXPECT_EQ(provider.readHUD(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(provider.isXMLFileFormat(folder.file("deal.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, kUntouchedInt);
    EXPECT_EQ(provider.writeHUD(folder.file("out.xml"), &result), kE_FAIL);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(fileExists(folder.file("out.xml")));
    EXPECT_EQ(provider.setDocumentType("hud1a"), kE_FAIL);

    // The others succeed and find nothing.
    expectNothingFound("", "n100", "name=n1001");
    EXPECT_EQ(provider.ApplyFileLock(1), kS_OK);
    EXPECT_EQ(provider.ApplyFileLock(0), kS_OK);
    EXPECT_EQ(provider.initHUDDocument(), kS_OK);
    EXPECT_EQ(provider.Dispose(), kS_OK);
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
