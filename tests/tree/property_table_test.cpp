// The typed property table of a node: conversions by kind, names of no kind,
// the typed accessors and their message.
#include "recording_dialog.h"
#include "tree/test_nodes.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {
class PropertyTable : public ::testing::Test {
protected:
    RecordingDialog dialog;
    TestContainer root;
    CSectionNode& item = *root.addChild("item");
};

TEST_F(PropertyTable, TextIsConvertedByTheKindOfTheProperty) {
    const char* const cases[][3] = {{"count", "none", "0"},
                                    {"total", "12.50", "12.5"},
                                    // A bool keeps the low sixteen bits of the number.
                                    {"flag", "5", "1"},
                                    {"flag", "65536", "0"},
                                    {"when", "09/16/2008 14:05", "9/16/2008 2:05:00 PM"},
                                    {"memo", " a <b> & c ", " a <b> & c "},
                                    {"amount", "12.50", "12.50"}};
    for (const auto& [name, text, expected] : cases) {
        EXPECT_EQ(item.setPropertyValue(name, text), 0) << name;
        EXPECT_EQ(item.getPropertyValue(name), expected) << name << " " << text;
    }
}

TEST_F(PropertyTable, UnregisteredNamesReadEmptyAndShowInTheNodeText) {
    EXPECT_EQ(item.getPropertyValue("zeta"), "");
    EXPECT_EQ(item.setPropertyValue("alpha", "x"), -1);
    EXPECT_EQ(item.getPropertyValue("alpha"), "");
    EXPECT_EQ(item.namesOfNoKind(), (std::vector<std::string>{"alpha", "zeta"}));
    EXPECT_EQ(item.nodeValue(),
              "<item alpha=\"\" amount=\"\" count=\"0\" description=\"\" flag=\"0\" memo=\"\" "
              "name=\"item1\" total=\"0.\" when=\"12/30/1899\" zeta=\"\"></item>");
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(PropertyTable, TypedAccessorsAndBuiltInNamesMoveValuesOfTheirOwnKindOnly) {
    item.putLong("count", -40000);
    item.putDouble("total", 0.1 + 0.2);
    item.putDate("when", {39707.5, DateStatus::Valid});
    EXPECT_EQ(item.getPropertyValue("name"), "item1");
    item.putString("name", "Jones");
    ASSERT_EQ(item.setPropertyValue("description", "Line 101"), 0);
    EXPECT_EQ(item.getDescription(), "Line 101");
    EXPECT_EQ(root.findChildByNames("item", "Jones"), &item);
    EXPECT_EQ(root.findChildByNames("item", "item1"), nullptr);
    EXPECT_EQ(item.getPropertyValue("count"), "-40000");
    EXPECT_EQ(item.getPropertyValue("when"), "9/16/2008 12:00:00 PM");
    EXPECT_EQ(item.getDisplayName(), "Jones");
    std::int32_t number = 5;
    item.getLong("count", number);
    EXPECT_EQ(number, -40000);

    // Another kind changes nothing and shows no message.
    item.putString("count", "9");
    item.putLong("total", 9);
    item.putDate("memo", {9.0, DateStatus::Valid});
    item.getLong("total", number);
    std::string text = "unchanged";
    item.getString("count", text);
    EXPECT_EQ(item.getPropertyValue("count"), "-40000");
    EXPECT_EQ(item.getPropertyValue("memo"), "");
    EXPECT_EQ(number, -40000);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(std::get<double>(item.slotValue(*item.schema().find("total"))), 0.1 + 0.2);
    EXPECT_TRUE(dialog.shown().empty());

    // An unknown name is worth a message.
    item.putString("memmo", "rent");
    const auto shown = dialog.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Property not found");
    EXPECT_EQ(shown[0].text, "property memmo not found");
    EXPECT_EQ(shown[0].flags, 0u);
}

// Nodes of a class start from its initial texts; a store reaches its own node only.
TEST(PropertySchema, InitialValuesStartEveryNodeAndStoresStayWithTheirNode) {
    const auto schema = SchemaBuilder()
                            .add("caption", PropertyKind::String, std::string("Lot"))
                            .string("memo")
                            .add("count", PropertyKind::Long, std::int32_t{7})
                            .add("note", PropertyKind::String, std::string(20, 'n'))
                            .build();
    CSectionNode first("line", -1, nullptr, *schema);
    CSectionNode second("line", -1, nullptr, *schema);
    const PropertyDef& caption = *schema->find("caption");
    const PropertyDef& memo = *schema->find("memo");
    const PropertyDef& note = *schema->find("note");
    EXPECT_EQ(first.getPropertyValue("caption"), "Lot");
    EXPECT_EQ(first.getPropertyValue("count"), "7");
    EXPECT_TRUE(first.holdsInitial(caption));

    ASSERT_EQ(first.setPropertyValue("memo", "rent"), 0);
    ASSERT_EQ(first.setPropertyValue("caption", "Parcel"), 0);
    first.putLong("count", 8);
    EXPECT_EQ(first.getPropertyValue("caption"), "Parcel");
    EXPECT_EQ(first.getPropertyValue("memo"), "rent");
    EXPECT_EQ(first.getPropertyValue("note"), std::string(20, 'n'));
    EXPECT_FALSE(first.holdsInitial(caption));
    EXPECT_FALSE(first.holdsInitial(memo));
    EXPECT_TRUE(first.holdsInitial(note));

    EXPECT_EQ(second.getPropertyValue("caption"), "Lot");
    EXPECT_EQ(second.getPropertyValue("memo"), "");
    EXPECT_EQ(second.getPropertyValue("count"), "7");
    EXPECT_EQ(CSectionNode("line", -1, nullptr, *schema).getPropertyValue("caption"), "Lot");

    // Back to the initial text counts as initial again.
    ASSERT_EQ(first.setPropertyValue("caption", "Lot"), 0);
    EXPECT_TRUE(first.holdsInitial(caption));
}

// The first registration of a name wins; names sort by byte.
TEST(PropertySchema, FirstRegistrationWinsAndNamesSortByByte) {
    const auto schema = SchemaBuilder()
                            .longValue("b")
                            .string("b")
                            .doubleValue("B")
                            .add("a", PropertyKind::None)
                            .build();
    std::vector<std::string> names;
    for (const PropertyDef& def : schema->inNameOrder())
        names.push_back(def.name);
    EXPECT_EQ(names, (std::vector<std::string>{"B", "b", "description", "name"}));
    EXPECT_EQ(schema->find("b")->kind, PropertyKind::Long);
}

} // namespace
} // namespace velmora::testing
