// The XML form of a tree: the node text, the exact bytes of a saved file, what
// loading accepts and refuses, and save/load round trips.
#include "recording_dialog.h"
#include "temp_folder.h"
#include "tree/test_nodes.h"
#include "tree/xml_document.h"
#include "tree/xml_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace velmora::testing {
namespace {
using Names = std::vector<std::string>;

class XmlDocument : public ::testing::Test {
protected:
    int loadText(CSectionNode& node, const std::string& bytes) {
        writeBytes(folder.file("in.xml"), bytes);
        return node.load(folder.file("in.xml"));
    }

    RecordingDialog dialog;
    TempFolder folder;
};

TEST_F(XmlDocument, NodeTextEscapesAndSavedBytesReplaceTheFileWhole) {
    TestContainer root;
    root.setPropertyValue("n102Option", "-40000");
    root.setPropertyValue("n120", "100");
    CSectionNode* item = root.addChild("item");
    item->setPropertyValue("total", "0.1");
    item->setPropertyValue("flag", "5");
    item->setPropertyValue("when", "9/16/2008 2:05 PM");
    item->setPropertyValue("memo", "a&amp;b<\"c\">'");
    item->getPropertyValue("unregistered");
    root.addChild("check")->setPropertyValue("when", "12/30/1899");
    const std::string path = folder.file("out.xml");
    writeBytes(path, std::string(100000, 'x'));
    EXPECT_NE(root.nodeValue().find("memo=\"a&amp;amp;b&lt;&quot;c&quot;&gt;&apos;\" name"),
              std::string::npos);
    ASSERT_EQ(root.save(path), 0);
    // Strings carry the writer's own escaping, lighter than the node text's;
    // a zero date is left out.
    EXPECT_EQ(
        readBytes(path),
        "<calverin><HUD description=\"\" n102Option=\"-40000\" n120=\"100\" name=\"\" "
        "title=\"\"><item amount=\"\" count=\"0\" description=\"\" flag=\"1\" "
        "memo=\"a&amp;amp;b&lt;&quot;c&quot;>'\" name=\"item1\" total=\"0.1\" when=\"9/16/2008 "
        "2:05:00 PM\"/>"
        "<check amount=\"\" count=\"0\" description=\"\" flag=\"0\" memo=\"\" "
        "name=\"check1\" total=\"0\"/></HUD></calverin>");
    EXPECT_EQ(folder.entries(), Names{"out.xml"});
}

TEST_F(XmlDocument, RoundTripOfEveryKindAtEveryDepth) {
    TestContainer root;
    root.setPropertyValue("description", "the root");
    root.setPropertyValue("n102Option", "-2147483648");
    root.putDouble("n120", std::numeric_limits<double>::denorm_min());
    using Limits = std::numeric_limits<double>;
    const double doubles[] = {0.1 + 0.2,           -0.0,        Limits::max(), Limits::infinity(),
                              -Limits::infinity(), std::nan("")};
    const char* dates[] = {"9/16/2008 11:59:59 PM", "12/29/1899 6:00:00 AM", "1/1/0100",
                           "2/29/-0044 1:00:00 AM", "12/31/99999",           "12/31/1899"};
    CSectionNode* box = root.addChild("box");
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        CSectionNode* item = box->addChild(i % 2 ? "check" : "deposit");
        item->putDouble("total", doubles[i]);
        item->putLong("count", static_cast<std::int32_t>(i) * -40000);
        item->setPropertyValue("when", dates[i]);
        item->setPropertyValue("flag", i % 2 ? "-1" : "0");
        item->setPropertyValue("memo", "<&\"'>\t\r\n x \xC3\xA9 ]]>");
        item->setPropertyValue("description", " spaced  out ");
        item->setPropertyValue("name", "Smith(" + std::to_string(i) + ")");
    }
    CNode* deepest = &root;
    while (CSectionNode* child = deepest->addChild("box"))
        deepest = child;
    static_cast<CSectionNode*>(deepest)->setDescription("bottom");

    const std::string path = folder.file("doc.xml");
    ASSERT_EQ(root.save(path), 0);
    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    EXPECT_EQ(loaded.nodeValue(), root.nodeValue());
    // The node text shows 14 digits; the file keeps every bit of a double.
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        const CSectionNode& back = *loaded.children()[0]->children()[i];
        const double value = std::get<double>(back.slotValue(*back.schema().find("total")));
        EXPECT_TRUE(std::isnan(doubles[i]) ? std::isnan(value)
                                           : std::bit_cast<std::uint64_t>(value) ==
                                                 std::bit_cast<std::uint64_t>(doubles[i]))
            << i;
    }
    // A second save writes the same bytes.
    ASSERT_EQ(loaded.save(folder.file("again.xml")), 0);
    EXPECT_EQ(readBytes(folder.file("again.xml")), readBytes(path));
    EXPECT_TRUE(dialog.shown().empty());
}

// Large files are read while their parsed form is freed element by element;
// the tree must come out the same as from a small file, repeated names made
// unique as ever.
TEST_F(XmlDocument, LargeFileLoadsWholeWhileItsParsedFormIsFreed) {
    TestContainer root;
    CSectionNode* box = root.addChild("box");
    constexpr int kItems = 25'000;
    for (int i = 0; i < kItems; ++i) {
        CSectionNode* item = box->addChild(i % 3 ? "item" : "check");
        item->setPropertyValue("memo", i % 1000 ? "memo " + std::to_string(i) : "bell\a");
        item->setPropertyValue("count", std::to_string(i));
    }
    const std::string path = folder.file("large.xml");
    ASSERT_EQ(root.save(path), 0);
    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    EXPECT_EQ(loaded.nodeValue(), root.nodeValue());

    // The last child is a check; checks are named check1, check2, ... every
    // third child.
    box->children().back()->rename("check7");
    ASSERT_EQ(root.save(path), 0);
    TestContainer renamed;
    ASSERT_EQ(renamed.load(path), 0);
    const CNode& loadedBox = *renamed.children().front();
    EXPECT_EQ(loadedBox.childCount(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(loadedBox.children().back()->getDisplayName(), "check7(1)");
    EXPECT_EQ(loadedBox.findChildByNames("check", "check7"), loadedBox.children()[18].get());
}

// Every byte value, and every way a string can fail to be UTF-8 or to be
// characters XML allows, is saved as characters a strict parser accepts and
// reads back as it was.
TEST_F(XmlDocument, EveryByteRoundTripsAsStrictXml) {
    std::string text;
    for (int byte = 0; byte < 256; ++byte)
        text += static_cast<char>(byte);
    // Private-use characters the stored form uses itself, and one it does not.
    text += "|\xEE\x80\x80|\xEE\x80\x85|\xEE\x80\xA0\xEE\x80\xA0|\xEE\x80\xA1|\xEE\x82\x80|"
            "\xEE\x83\xBF|\xEE\x81\x80|";
    // Overlong, surrogate, beyond U+10FFFF, U+FFFE, well-formed, and cut at the end.
    text += "\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xEF\xBF\xBE|\xC3\xA9\xF0\x9F\x98\x80|\xEE\x80";
    TestContainer root;
    root.addChild("item")->setPropertyValue("memo", text);
    const std::string path = folder.file("control.xml");
    ASSERT_EQ(root.save(path), 0);

    const std::string bytes = readBytes(path);
    for (std::size_t at = 0, length = 1; at < bytes.size(); at += length) {
        length = xmlCharacterLength(bytes, at);
        ASSERT_NE(length, 0u) << "no XML character at byte " << at;
        ASSERT_GE(static_cast<unsigned char>(bytes[at]), 0x20) << "raw control byte in the file";
    }
    // Character references are only allowed for tab, line feed and return.
    for (std::size_t at = bytes.find("&#"); at != std::string::npos;
         at = bytes.find("&#", at + 1)) {
        const int code = std::atoi(bytes.c_str() + at + 2);
        EXPECT_TRUE(code == 9 || code == 10 || code == 13) << bytes.substr(at, 6);
    }

    TestContainer loaded;
    ASSERT_EQ(loaded.load(path), 0);
    ASSERT_EQ(loaded.childCount(), 1u);
    EXPECT_EQ(loaded.children()[0]->getPropertyValue("memo"), text);
    // Other writers store control bytes as private-use characters.
    EXPECT_EQ(decodeStoredString("a\xEE\x80\x81z"), "a\x01z");
    EXPECT_EQ(decodeStoredString("\xEE\x80\xA0"), "\xEE\x80\xA0");
}

// What the DOM that wrote the stored files writes, which the reader decodes
// itself: references of both forms, the five entities, line breaks, short
// empty elements, non-ASCII UTF-8, in values of every kind.
TEST_F(XmlDocument, ReadsTheReferencesAndCharactersAStrictParserAccepts) {
    TestContainer root;
    ASSERT_EQ(loadText(root,
                       "<calverin>\r\n\t<HUD title=\"a&#9;b&#10;c&#13;d&#x9;&#xA;&#xD;e\" "
                       "n102Option=\"-&#52;2\" n120=\"1&#x2E;5\">\r\n\t\t"
                       "<!-- <not markup> &undefined; -->&lt;&#x41;&gt;<![CDATA[& <]]>"
                       "<item memo=\"&amp;&lt;&gt;&quot;&apos; &#233;&#x20AC;&#x1F600;&#x0041;\" "
                       "amount=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\" count=\"&#x31;&#50;\" "
                       "flag=\"&#49;\" total=\"&#x32;.5\" when=\"9&#47;16/2008\"/>\r\n\t\t"
                       "<item memo=\"tab\tline\nreturn\r\nend\"/>"
                       "\r\n\t</HUD>\r\n</calverin>"),
              0);
    EXPECT_EQ(root.getPropertyValue("title"), "a\tb\nc\rd\t\n\re");
    EXPECT_EQ(root.getPropertyValue("n102Option"), "-42");
    EXPECT_EQ(root.getPropertyValue("n120"), "1.5");
    ASSERT_EQ(root.childCount(), 2u);
    CSectionNode& item = *root.children()[0];
    EXPECT_EQ(item.getPropertyValue("memo"), "&<>\"' \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"
                                             "A");
    EXPECT_EQ(item.getPropertyValue("amount"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(item.getPropertyValue("count"), "12");
    EXPECT_EQ(item.getPropertyValue("flag"), "1");
    EXPECT_EQ(item.getPropertyValue("total"), "2.5");
    EXPECT_EQ(item.getPropertyValue("when"), "9/16/2008");
    // Raw white space in a value is a space to XML.
    EXPECT_EQ(root.children()[1]->getPropertyValue("memo"), "tab line return end");

    // The storage rule applies to what references give as to every other
    // character, also in a file of ASCII bytes only.
    TestContainer ascii;
    ASSERT_EQ(
        loadText(ascii, "<calverin><HUD title=\"&#xE001;&#xE020;&#xE080;&#233;\"/></calverin>"), 0);
    EXPECT_EQ(ascii.getPropertyValue("title"), "\x01\xEE\x82\x80\xC3\xA9");
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(XmlDocument, LoadReadsForeignTextsForgetsUnregisteredNamesAndAppends) {
    TestContainer root;
    ASSERT_EQ(loadText(root, "<calverin>\n <HUD title=\"t\" n120=\"1E+15\" bogus=\"x\">"
                             "<!-- note --><check when=\"\" flag=\"-1\" total=\"2.5E-07\"/>text"
                             "<check when=\"00/00/0000\" flag=\"true\" count=\"12abc\"/>"
                             "<check when=\"2008-09-16T14:05:30\" flag=\"2\"/>"
                             "<unknown><check/></unknown></HUD>\n</calverin>\r\n"),
              0);
    EXPECT_EQ(root.getPropertyValue("n120"), "1.e+015");
    ASSERT_EQ(root.childCount(), 3u);
    CSectionNode& a = *root.children()[0];
    CSectionNode& b = *root.children()[1];
    CSectionNode& c = *root.children()[2];
    EXPECT_EQ(a.getPropertyValue("when"), "1/1/0900");
    EXPECT_EQ(a.getPropertyValue("flag"), "1");
    EXPECT_EQ(a.getPropertyValue("total"), "2.5e-007");
    EXPECT_EQ(b.getPropertyValue("when"), "1/1/0900");
    EXPECT_EQ(b.getPropertyValue("flag"), "0");
    EXPECT_EQ(b.getPropertyValue("count"), "12");
    EXPECT_EQ(c.getPropertyValue("when"), "9/16/2008 2:05:30 PM");
    EXPECT_EQ(c.getDisplayName(), "check3");

    // The unregistered attribute shows in the node text, never in a file.
    EXPECT_NE(root.nodeValue().find(" bogus=\"\" description"), std::string::npos);
    ASSERT_EQ(root.save(folder.file("out.xml")), 0);
    EXPECT_EQ(readBytes(folder.file("out.xml")).find("bogus"), std::string::npos);
    EXPECT_TRUE(dialog.shown().empty());

    // Loading appends, and makes names equal among siblings unique.
    TestContainer other;
    other.addChild("check")->rename("Jones");
    ASSERT_EQ(loadText(other, "<calverin><HUD>"
                              "<check name=\"Smith\"/><check name=\"Smith\"/>"
                              "<deposit name=\"Smith\"/><check name=\"Smith\"/>"
                              "<check name=\"Smith(1)\"/><check/><check name=\"Jones\"/>"
                              "</HUD></calverin>"),
              0);
    Names names;
    for (const auto& child : other.children())
        names.push_back(child->getDisplayName());
    EXPECT_EQ(names, (Names{"Jones", "Smith", "Smith(1)", "Smith", "Smith(2)", "Smith(1)(1)",
                            "check1", "Jones(1)"}));
}

// Names the node does not know arrive in any order and any number; the node
// ends up with each once, in name order, whatever the file's order was.
TEST_F(XmlDocument, UnknownAttributesInAnyOrderAreEachKeptOnceInNameOrder) {
    constexpr int kCount = 3000;
    std::string descending = "<calverin><HUD";
    for (int i = kCount - 1; i >= 0; --i)
        descending += " u" + std::to_string(100000 + i) + "=\"v\"";
    descending += " title=\"kept\"/></calverin>";
    TestContainer root;
    root.getPropertyValue("u100005"); // met before the load: not listed twice
    ASSERT_EQ(loadText(root, descending), 0);
    const std::vector<std::string>& names = root.namesOfNoKind();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kCount));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "u100000");
    EXPECT_EQ(names.back(), "u" + std::to_string(100000 + kCount - 1));
    EXPECT_EQ(root.getPropertyValue("title"), "kept");
    // A name met after the load finds its place among them.
    root.getPropertyValue("a");
    root.getPropertyValue("u100007");
    EXPECT_EQ(root.namesOfNoKind().front(), "a");
    EXPECT_EQ(root.namesOfNoKind().size(), static_cast<std::size_t>(kCount) + 1);
}

// A file's texts land on top of what the node held: those it does not give
// stay.
TEST_F(XmlDocument, LoadStoresTheTextsItReadsAndKeepsTheOthers) {
    TestContainer root;
    CSectionNode& item = *root.addChild("item");
    item.setPropertyValue("memo", "kept memo");
    item.setPropertyValue("amount", "0.00");
    item.setPropertyValue("description", "kept description");
    ASSERT_EQ(loadText(item, "<calverin><item amount=\"12.50\" count=\"3\" "
                             "memo=\"the file's memo\"/></calverin>"),
              0);
    EXPECT_EQ(item.getPropertyValue("memo"), "the file's memo");
    EXPECT_EQ(item.getPropertyValue("amount"), "12.50");
    EXPECT_EQ(item.getPropertyValue("count"), "3");
    EXPECT_EQ(item.getDescription(), "kept description");

    ASSERT_EQ(loadText(item, "<calverin><item amount=\"13.00\"/></calverin>"), 0);
    EXPECT_EQ(item.getPropertyValue("memo"), "the file's memo");
    EXPECT_EQ(item.getPropertyValue("amount"), "13.00");
}

// A number hook that reads the memo and may store one of its own, as a class
// whose members depend on each other would.
class MemoHookItem final : public CSectionNode {
public:
    explicit MemoHookItem(std::string memoToStore)
        : CSectionNode("item", -1, nullptr, TestItem::schemaOf()),
          memoToStore_(std::move(memoToStore)) {}
    bool acceptDouble(const std::string&, double) override {
        memoSeen = getPropertyValue("memo");
        if (!memoToStore_.empty())
            setPropertyValue("memo", memoToStore_);
        return true;
    }
    std::string memoSeen;

private:
    std::string memoToStore_;
};

// Hooks see the attributes read before theirs, and a later attribute wins
// over what a hook stored.
TEST_F(XmlDocument, HooksMeetAnElementsTextsInAttributeOrder) {
    struct Case {
        const char* element;
        const char* memoToStore;
        const char* memoSeen;
        const char* memoAfter;
    };
    const Case cases[] = {
        {"<item memo=\"from file\" total=\"1\"/>", "", "from file", "from file"},
        {"<item memo=\"from file\" total=\"1\"/>", "from hook", "from file", "from hook"},
        {"<item total=\"1\" memo=\"from file\"/>", "from hook", "before", "from file"},
    };
    for (const Case& c : cases) {
        MemoHookItem item(c.memoToStore);
        item.setPropertyValue("memo", "before");
        ASSERT_EQ(loadText(item, std::string("<calverin>") + c.element + "</calverin>"), 0);
        EXPECT_EQ(item.memoSeen, c.memoSeen) << c.element;
        EXPECT_EQ(item.getPropertyValue("memo"), c.memoAfter) << c.element << c.memoToStore;
    }
}

TEST_F(XmlDocument, RefusedFilesLeaveTheNodeAsItWas) {
    const auto nested = [](int levels, const std::string& end) {
        std::string boxes;
        for (int level = 0; level < levels; ++level)
            boxes += "<box>";
        return "<calverin><HUD title=\"x\">" + boxes + end;
    };
    std::string tooDeep = nested(kMaxTreeDepth - 1, "<item/>");
    for (int level = 1; level < kMaxTreeDepth; ++level)
        tooDeep += "</box>";
    tooDeep += "</HUD></calverin>";
    // Refusals of a well-formed file say nothing; the others show a message.
    const std::pair<std::string, bool> files[] = {
        {"<?xml version=\"1.0\"?><calverin><HUD title=\"x\"/></calverin>", false},
        {"<calverin></calverin>", false},
        {"<calverin>text only</calverin>", false},
        {"<other><HUD title=\"x\"/></other>", false},
        {"<calverin><HUD title=\"x\"/>", true},
        {"<calverin><HUD title=\"x\"/></calverin><calverin/>", true},
        {"<calverin><HUD title=\"x\"/></calverin>stray", true},
        {"stray<calverin><HUD title=\"x\"/></calverin>", true},
        {"", true},
        {tooDeep, true},
        {nested(20000, ""), true}};
    for (const auto& [bytes, message] : files) {
        TestContainer root;
        const std::size_t before = dialog.shown().size();
        EXPECT_EQ(loadText(root, bytes), -1) << bytes.substr(0, 80);
        EXPECT_EQ(root.childCount(), 0u);
        EXPECT_EQ(root.getPropertyValue("title"), "");
        const auto shown = dialog.shown();
        ASSERT_EQ(shown.size(), before + (message ? 1 : 0)) << bytes.substr(0, 80);
        if (message) {
            EXPECT_EQ(shown.back().caption, "");
            EXPECT_EQ(shown.back().text, "Load document failed");
            EXPECT_EQ(shown.back().flags, 0u);
        }
    }
}

TEST_F(XmlDocument, SaveThatCannotWriteReportsFailureAndLeavesNothing) {
    TestContainer root;
    EXPECT_EQ(root.save(folder.file("missing/doc.xml")), -1);
    EXPECT_EQ(root.save(""), -1);
    writeBytes(folder.file("plain"), "old");
    EXPECT_EQ(root.save(folder.file("plain/doc.xml")), -1);
    std::filesystem::create_directory(folder.file("target"));
    writeBytes(folder.file("target/inside"), "kept");
    EXPECT_EQ(root.save(folder.file("target")), -1);
    EXPECT_EQ(readBytes(folder.file("target/inside")), "kept");
    EXPECT_EQ(readBytes(folder.file("plain")), "old");
    EXPECT_EQ(folder.entries(), (Names{"plain", "target"}));
    EXPECT_TRUE(dialog.shown().empty());
}

} // namespace
} // namespace velmora::testing
