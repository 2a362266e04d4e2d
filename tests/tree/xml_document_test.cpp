// The XML form of a tree: the node text, the exact bytes of a saved file, what
// loading accepts and refuses, and save/load round trips.
#include "recording_dialog.h"
#include "temp_folder.h"
#include "tree/test_nodes.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace velmora::testing {
namespace {

// Both trees hold the same nodes with the same values, doubles and dates
// compared bit for bit rather than by their display text.
void expectSameTree(CSectionNode& expected, CSectionNode& actual, const std::string& where = "") {
    const std::string here = where + "/" + expected.getName();
    ASSERT_EQ(expected.getName(), actual.getName()) << here;
    for (const PropertyDef& def : expected.schema().inNameOrder()) {
        EXPECT_EQ(expected.propertyText(def), actual.propertyText(def)) << here << " " << def.name;
        if (def.kind == PropertyKind::Double) {
            const double a = std::get<double>(expected.slotValue(def));
            const double b = std::get<double>(actual.slotValue(def));
            EXPECT_TRUE(std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)))
                << here << " " << def.name << ": " << a << " vs " << b;
        }
        if (def.kind == PropertyKind::Date) {
            EXPECT_EQ(std::get<OleDate>(expected.slotValue(def)),
                      std::get<OleDate>(actual.slotValue(def)))
                << here << " " << def.name;
        }
    }
    ASSERT_EQ(expected.childCount(), actual.childCount()) << here;
    for (std::size_t i = 0; i < expected.childCount(); ++i)
        expectSameTree(*expected.children()[i], *actual.children()[i], here);
}

class XmlDocument : public ::testing::Test {
protected:
    // Loads `bytes` as a file into `node`.
    int loadText(CSectionNode& node, const std::string& bytes) {
        const std::string path = folder.file("in.xml");
        writeBytes(path, bytes);
        return node.load(path);
    }

    RecordingDialog dialog;
    TempFolder folder;
};

TEST(EscapeXml, ReplacesEachSpecialCharacterOnce) {
    EXPECT_EQ(escapeXml("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(escapeXml("&amp;"), "&amp;amp;");
    EXPECT_EQ(escapeXml("plain"), "plain");
}

TEST_F(XmlDocument, NodeValueEscapesAndNeverUsesTheShortForm) {
    TestContainer root;
    root.setPropertyValue("title", "A&B <\"x\"> 'y'");
    CSectionNode* box = root.addChild("box");
    box->addChild("box");
    EXPECT_EQ(root.nodeValue(),
              "<HUD description=\"\" n102Option=\"0\" n120=\"0.\" name=\"\" "
              "title=\"A&amp;B &lt;&quot;x&quot;&gt; &apos;y&apos;\">"
              "<box description=\"\" n102Option=\"0\" n120=\"0.\" name=\"box1\" title=\"\">"
              "<box description=\"\" n102Option=\"0\" n120=\"0.\" name=\"box1\" title=\"\">"
              "</box></box></HUD>");
}

TEST_F(XmlDocument, SavedFileBytes) {
    TestContainer root;
    root.setPropertyValue("n102Option", "-40000");
    root.setPropertyValue("n120", "100");
    root.setPropertyValue("title", "T");
    CSectionNode* item = root.addChild("item");
    item->setPropertyValue("total", "0.1");
    item->setPropertyValue("flag", "5");
    item->setPropertyValue("when", "9/16/2008 2:05 PM");
    item->setPropertyValue("memo", "a&b<\"c\">'");
    item->getPropertyValue("unregistered");
    CSectionNode* undated = root.addChild("check");
    undated->setPropertyValue("when", "12/30/1899");
    const std::string path = folder.file("out.xml");
    ASSERT_EQ(root.save(path), 0);
    // Strings carry the writer's own escaping, lighter than the node text's.
    EXPECT_EQ(readBytes(path),
              "<calverin><HUD description=\"\" n102Option=\"-40000\" n120=\"100\" name=\"\" "
              "title=\"T\"><item amount=\"\" count=\"0\" description=\"\" flag=\"1\" "
              "memo=\"a&amp;b&lt;&quot;c&quot;>'\" name=\"item1\" total=\"0.1\" when=\"9/16/2008 "
              "2:05:00 PM\"/>"
              "<check amount=\"\" count=\"0\" description=\"\" flag=\"0\" memo=\"\" "
              "name=\"check1\" total=\"0\"/></HUD></calverin>");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.xml"});
}

TEST_F(XmlDocument, RoundTripOfEveryKind) {
    TestContainer root;
    root.setPropertyValue("description", "the root");
    root.setPropertyValue("n102Option", "-2147483648");
    root.putDouble("n120", std::numeric_limits<double>::denorm_min());
    const double doubles[] = {0.1 + 0.2,
                              -0.0,
                              1e300,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::nan("")};
    const char* dates[] = {"9/16/2008 11:59:59 PM", "12/29/1899 6:00:00 AM", "1/1/0100",
                           "2/29/-0044 1:00:00 AM", "12/31/99999",           "12/31/1899"};
    CSectionNode* box = root.addChild("box");
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        CSectionNode* item = box->addChild(i % 2 ? "check" : "deposit");
        item->putDouble("total", doubles[i]);
        item->putLong("count", static_cast<std::int32_t>(i) * -40000);
        item->setPropertyValue("when", dates[i % std::size(dates)]);
        item->setPropertyValue("flag", i % 2 ? "-1" : "0");
        item->setPropertyValue("memo", "<&\"'>\t\r\n x \xC3\xA9 ]]>");
        item->setPropertyValue("amount", "");
        item->setPropertyValue("name", "Smith");
        item->setPropertyValue("description", " spaced  out ");
    }
    root.addChild("box")->addChild("box")->addChild("item");

    const std::string path = folder.file("doc.xml");
    ASSERT_EQ(root.save(path), 0);
    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    // Equal display names of siblings come back made unique; the numbers
    // count over all siblings of the same kind, whatever their element name.
    const std::vector<std::string> expectedNames = {"Smith",    "Smith",    "Smith(1)", "Smith(2)",
                                                    "Smith(3)", "Smith(4)", "Smith(5)"};
    for (std::size_t i = 0; i < box->childCount(); ++i) {
        EXPECT_EQ(loaded.children()[0]->children()[i]->getDisplayName(), expectedNames[i]);
        box->children()[i]->rename(expectedNames[i]);
    }
    expectSameTree(root, loaded);
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, EveryControlByteRoundTripsAsValidXml) {
    std::string text;
    for (int byte = 1; byte < 32; ++byte)
        text += static_cast<char>(byte);
    // Private-use characters that the stored form uses itself, and a lone
    // lead byte sequence at the very end.
    text += "\xEE\x80\x80|\xEE\x80\x85|\xEE\x80\xA0\xEE\x80\xA0|\xEE\x80\xA1|\xEE\x80";
    text += std::string(1, '\0') + "end";

    TestContainer root;
    CSectionNode* item = root.addChild("item");
    item->setPropertyValue("memo", text);
    for (int byte = 1; byte < 32; ++byte)
        root.addChild("item")->setPropertyValue("memo", std::string(1, static_cast<char>(byte)));
    const std::string path = folder.file("control.xml");
    ASSERT_EQ(root.save(path), 0);

    const std::string bytes = readBytes(path);
    for (const char c : bytes)
        ASSERT_GE(static_cast<unsigned char>(c), 0x20) << "raw control byte in the file";
    // Character references are only allowed for tab, line feed and return.
    for (std::size_t at = bytes.find("&#"); at != std::string::npos;
         at = bytes.find("&#", at + 1)) {
        const int code = std::atoi(bytes.c_str() + at + 2);
        EXPECT_TRUE(code == 9 || code == 10 || code == 13) << bytes.substr(at, 6);
    }

    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    ASSERT_EQ(loaded.childCount(), 32u);
    EXPECT_EQ(loaded.children()[0]->getPropertyValue("memo"), text);
    for (int byte = 1; byte < 32; ++byte)
        EXPECT_EQ(loaded.children()[byte]->getPropertyValue("memo"),
                  std::string(1, static_cast<char>(byte)))
            << byte;
}

TEST(StoredString, PrivateUseCharactersFromOtherWritersAreDecoded) {
    EXPECT_EQ(decodeStoredString("a\xEE\x80\x81z"), "a\x01z");
    EXPECT_EQ(encodeStoredString("a\x01z"), "a\xEE\x80\x81z");
    EXPECT_EQ(encodeStoredString("\xEE\x80\xA0"), "\xEE\x80\xA0\xEE\x80\xA0");
    EXPECT_EQ(decodeStoredString("\xEE\x80\xA0"), "\xEE\x80\xA0");
    EXPECT_EQ(encodeStoredString("\xEE\x80\xA1 \xEE\x81\x80"), "\xEE\x80\xA1 \xEE\x81\x80");
}

TEST_F(XmlDocument, LoadReadsForeignTexts) {
    TestContainer root;
    ASSERT_EQ(loadText(root, "<calverin><HUD title=\"t\" n120=\"1E+15\" bogus=\"x\">"
                             "<!-- note --><check when=\"\" flag=\"-1\" total=\"2.5E-07\" "
                             "count=\"-40000\"/>text"
                             "<check when=\"00/00/0000\" flag=\"true\" count=\"12abc\"/>"
                             "<check when=\"2008-09-16T14:05:30\" flag=\"2\"/>"
                             "<unknown><check/></unknown></HUD></calverin>"),
              0);
    EXPECT_EQ(root.getPropertyValue("n120"), "1.e+015");
    ASSERT_EQ(root.childCount(), 3u);
    CSectionNode& a = *root.children()[0];
    CSectionNode& b = *root.children()[1];
    CSectionNode& c = *root.children()[2];
    EXPECT_EQ(a.getPropertyValue("when"), "1/1/0900");
    EXPECT_EQ(a.getPropertyValue("flag"), "1");
    EXPECT_EQ(a.getPropertyValue("total"), "2.5e-007");
    EXPECT_EQ(a.getPropertyValue("count"), "-40000");
    EXPECT_EQ(b.getPropertyValue("when"), "1/1/0900");
    EXPECT_EQ(b.getPropertyValue("flag"), "0");
    EXPECT_EQ(b.getPropertyValue("count"), "12");
    EXPECT_EQ(c.getPropertyValue("when"), "9/16/2008 2:05:30 PM");
    EXPECT_EQ(c.getPropertyValue("flag"), "1");
    EXPECT_EQ(a.getDisplayName(), "check1");
    EXPECT_EQ(c.getDisplayName(), "check3");

    // The unregistered attribute shows in the node text, never in a file.
    EXPECT_NE(root.nodeValue().find(" bogus=\"\" description"), std::string::npos);
    const std::string path = folder.file("out.xml");
    ASSERT_EQ(root.save(path), 0);
    EXPECT_EQ(readBytes(path).find("bogus"), std::string::npos);
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, WhiteSpaceAroundTheDocumentElementIsAccepted) {
    TestContainer root;
    EXPECT_EQ(loadText(root, "<calverin>\n  <HUD title=\"x\"/>\n</calverin>\r\n\n"), 0);
    EXPECT_EQ(root.getPropertyValue("title"), "x");
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, LoadMakesEqualSiblingNamesUnique) {
    TestContainer root;
    root.addChild("check")->rename("Jones");
    ASSERT_EQ(loadText(root, "<calverin><HUD>"
                             "<check name=\"Smith\"/><check name=\"Smith\"/>"
                             "<deposit name=\"Smith\"/><check name=\"Smith\"/>"
                             "<check name=\"Smith(1)\"/><check/><check name=\"Jones\"/>"
                             "</HUD></calverin>"),
              0);
    std::vector<std::string> names;
    for (const auto& child : root.children())
        names.push_back(child->getDisplayName());
    EXPECT_EQ(names, (std::vector<std::string>{"Jones", "Smith", "Smith(1)", "Smith", "Smith(2)",
                                               "Smith(1)(1)", "check1", "Jones(1)"}));
}

TEST_F(XmlDocument, LoadDropsEntriesMarkedForDiscard) {
    OpenContainer root;
    ASSERT_EQ(loadText(root, "<calverin><HUD><list>"
                             "<drop memo=\"keep\" name=\"a\"/><drop memo=\"drop\" name=\"b\"/>"
                             "<drop memo=\"keep\" name=\"c\"/><drop memo=\"drop\" name=\"d\"/>"
                             "</list><after/></HUD></calverin>"),
              0);
    ASSERT_EQ(root.childCount(), 2u);
    CSectionNode& list = *root.children()[0];
    ASSERT_EQ(list.childCount(), 2u);
    EXPECT_EQ(list.children()[0]->getDisplayName(), "a");
    EXPECT_EQ(list.children()[1]->getDisplayName(), "c");
}

TEST_F(XmlDocument, RefusedSilently) {
    for (const char* bytes : {"<?xml version=\"1.0\"?><calverin><HUD title=\"x\"/></calverin>",
                              "<!-- c --><calverin><HUD title=\"x\"/></calverin>", "<calverin/>",
                              "<calverin></calverin>", "<calverin>text only</calverin>",
                              "<other><HUD title=\"x\"/></other>"}) {
        TestContainer root;
        EXPECT_EQ(loadText(root, bytes), -1) << bytes;
        EXPECT_EQ(root.getPropertyValue("title"), "") << bytes;
    }
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, MalformedMissingOrTooDeepShowsTheMessage) {
    std::string tooDeep = "<calverin><HUD>";
    for (int level = 1; level < kMaxTreeDepth; ++level)
        tooDeep += "<box>";
    tooDeep += "<item/>";
    for (int level = 1; level < kMaxTreeDepth; ++level)
        tooDeep += "</box>";
    tooDeep += "</HUD></calverin>";
    std::string veryDeep = "<calverin><HUD title=\"x\">";
    for (int level = 0; level < 20000; ++level)
        veryDeep += "<box>";

    const std::vector<std::string> files = {"<calverin><HUD title=\"x\"></calverin>",
                                            "<calverin><HUD title=\"x\"><box>",
                                            "<calverin><HUD title=\"x\"/>",
                                            "<calverin><HUD title=\"x\"/></calverin><calverin/>",
                                            "<calverin><HUD title=\"x\"/></calverin>stray",
                                            "stray<calverin><HUD title=\"x\"/></calverin>",
                                            "",
                                            tooDeep,
                                            veryDeep + std::string(veryDeep.size(), ' ')};
    for (const std::string& bytes : files) {
        TestContainer root;
        EXPECT_EQ(loadText(root, bytes), -1) << bytes.substr(0, 80);
        EXPECT_EQ(root.childCount(), 0u);
        EXPECT_EQ(root.getPropertyValue("title"), "");
    }
    TestContainer root;
    EXPECT_EQ(root.load(folder.file("missing.xml")), -1);

    const auto shown = dialog.shown();
    ASSERT_EQ(shown.size(), files.size() + 1);
    for (const ShownMessage& message : shown) {
        EXPECT_EQ(message.caption, "");
        EXPECT_EQ(message.text, "Load document failed");
        EXPECT_EQ(message.flags, 0u);
    }
}

TEST_F(XmlDocument, DeepestTreeSavesAndLoads) {
    TestContainer root;
    CNode* deepest = &root;
    while (CSectionNode* child = deepest->addChild("box"))
        deepest = child;
    deepest->setDescription("bottom");
    ASSERT_EQ(deepest->depth(), kMaxTreeDepth - 1);
    const std::string path = folder.file("deep.xml");
    ASSERT_EQ(root.save(path), 0);
    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    expectSameTree(root, loaded);
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, LoadAppendsToWhatTheNodeHolds) {
    TestContainer root;
    root.addChild("check");
    ASSERT_EQ(
        loadText(root, "<calverin><Other><check/><check name=\"check1\"/></Other></calverin>"), 0);
    ASSERT_EQ(root.childCount(), 3u);
    EXPECT_EQ(root.children()[1]->getDisplayName(), "check2");
    EXPECT_EQ(root.children()[2]->getDisplayName(), "check1(1)");
}

TEST_F(XmlDocument, SaveReplacesTheFileWhole) {
    const std::string path = folder.file("doc.xml");
    writeBytes(path, std::string(100000, 'x'));
    TestContainer root;
    ASSERT_EQ(root.save(path), 0);
    EXPECT_EQ(readBytes(path),
              "<calverin><HUD description=\"\" n102Option=\"0\" n120=\"0\" name=\"\" "
              "title=\"\"/></calverin>");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"doc.xml"});
}

TEST_F(XmlDocument, SaveThatCannotWriteReportsFailureAndLeavesNothing) {
    TestContainer root;
    root.setPropertyValue("title", "new");
    EXPECT_EQ(root.save(folder.file("missing/doc.xml")), -1);
    EXPECT_EQ(root.save(folder.file("doc.xml/")), -1);
    EXPECT_EQ(root.save(""), -1);
    writeBytes(folder.file("plain"), "old");
    EXPECT_EQ(root.save(folder.file("plain/doc.xml")), -1);

    // A target that is a folder is not replaced.
    std::filesystem::create_directory(folder.file("target"));
    writeBytes(folder.file("target/inside"), "kept");
    EXPECT_EQ(root.save(folder.file("target")), -1);
    EXPECT_EQ(readBytes(folder.file("target/inside")), "kept");
    EXPECT_EQ(readBytes(folder.file("plain")), "old");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"plain", "target"}));
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
