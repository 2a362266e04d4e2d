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

    std::string setAndRead(std::string_view name, std::string_view text) {
        EXPECT_EQ(item.setPropertyValue(name, text), 0) << name;
        return item.getPropertyValue(name);
    }
};

TEST_F(PropertyTable, LongReadsByAtoi) {
    EXPECT_EQ(setAndRead("count", "-40000"), "-40000");
    EXPECT_EQ(setAndRead("count", " 42 apples"), "42");
    EXPECT_EQ(setAndRead("count", "none"), "0");
    EXPECT_EQ(setAndRead("count", "7.9"), "7");
}

TEST_F(PropertyTable, DoubleReadsByAtofAndShowsFourteenDigits) {
    EXPECT_EQ(setAndRead("total", "12.50"), "12.5");
    EXPECT_EQ(setAndRead("total", "100"), "100.");
    EXPECT_EQ(setAndRead("total", "1e20"), "1.e+020");
    EXPECT_EQ(setAndRead("total", "$5"), "0.");
}

TEST_F(PropertyTable, BoolKeepsTheLowSixteenBits) {
    EXPECT_EQ(setAndRead("flag", "5"), "1");
    EXPECT_EQ(setAndRead("flag", "yes"), "0");
    EXPECT_EQ(setAndRead("flag", "-1"), "1");
    EXPECT_EQ(setAndRead("flag", "65536"), "0");
    EXPECT_EQ(setAndRead("flag", "65537"), "1");
}

TEST_F(PropertyTable, DateAndStringTexts) {
    EXPECT_EQ(setAndRead("when", "09/16/2008 14:05"), "9/16/2008 2:05:00 PM");
    EXPECT_EQ(setAndRead("when", "not a date"), "");
    EXPECT_EQ(setAndRead("memo", " a <b> & c "), " a <b> & c ");
    EXPECT_EQ(setAndRead("amount", "12.50"), "12.50");
}

TEST_F(PropertyTable, BuiltInPropertiesAreTheNodesNames) {
    EXPECT_EQ(item.getPropertyValue("name"), "item1");
    EXPECT_EQ(setAndRead("name", "Smith"), "Smith");
    EXPECT_EQ(item.getDisplayName(), "Smith");
    EXPECT_EQ(root.findChildByNames("item", "Smith"), &item);
    EXPECT_EQ(root.findChildByNames("item", "item1"), nullptr);
    EXPECT_EQ(setAndRead("description", "Line 101"), "Line 101");
    EXPECT_EQ(item.getDescription(), "Line 101");
}

TEST_F(PropertyTable, UnregisteredNamesReadEmptyAndShowInTheNodeText) {
    EXPECT_EQ(item.getPropertyValue("zeta"), "");
    EXPECT_EQ(item.setPropertyValue("alpha", "x"), -1);
    EXPECT_EQ(item.getPropertyValue("alpha"), "");
    EXPECT_EQ(item.getPropertyValue("zeta"), "");
    EXPECT_EQ(item.namesOfNoKind(), (std::vector<std::string>{"alpha", "zeta"}));
    EXPECT_EQ(item.nodeValue(),
              "<item alpha=\"\" amount=\"\" count=\"0\" description=\"\" flag=\"0\" memo=\"\" "
              "name=\"item1\" total=\"0.\" when=\"12/30/1899\" zeta=\"\"></item>");
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(PropertyTable, PutStringOnAnUnknownNameShowsTheMessage) {
    item.putString("memmo", "rent");
    const auto shown = dialog.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Property not found");
    EXPECT_EQ(shown[0].text, "property memmo not found");
    EXPECT_EQ(shown[0].flags, 0u);
    EXPECT_EQ(item.namesOfNoKind(), std::vector<std::string>{"memmo"});
}

TEST_F(PropertyTable, TypedAccessorsMoveValuesWithoutText) {
    item.putString("memo", "rent");
    item.putString("name", "Jones");
    item.putLong("count", -40000);
    item.putDouble("total", 0.1 + 0.2);
    item.putDate("when", {39707.5, DateStatus::Valid});
    EXPECT_EQ(item.getPropertyValue("memo"), "rent");
    EXPECT_EQ(item.getDisplayName(), "Jones");
    EXPECT_EQ(item.getPropertyValue("count"), "-40000");
    EXPECT_EQ(std::get<double>(item.slotValue(*item.schema().find("total"))), 0.1 + 0.2);
    EXPECT_EQ(item.getPropertyValue("when"), "9/16/2008 12:00:00 PM");

    std::string text = "unchanged";
    item.getString("memo", text);
    EXPECT_EQ(text, "rent");
    std::int32_t number = 5;
    item.getLong("count", number);
    EXPECT_EQ(number, -40000);
    EXPECT_TRUE(dialog.shown().empty());
}

TEST_F(PropertyTable, TypedAccessorsOfAnotherKindChangeNothing) {
    item.putString("count", "9");
    item.putLong("total", 9);
    item.putLong("name", 9);
    item.putDouble("count", 9.0);
    item.putDate("memo", {9.0, DateStatus::Valid});
    item.putLong("nothing", 9);
    EXPECT_EQ(item.getPropertyValue("count"), "0");
    EXPECT_EQ(item.getPropertyValue("total"), "0.");
    EXPECT_EQ(item.getPropertyValue("memo"), "");
    EXPECT_EQ(item.getDisplayName(), "item1");
    // Only an unknown name is worth a message; a kind mismatch is silent.
    EXPECT_TRUE(dialog.shown().empty());

    std::string text = "unchanged";
    item.getString("count", text);
    item.getString("missing", text);
    EXPECT_EQ(text, "unchanged");
    std::int32_t number = 5;
    item.getLong("total", number);
    item.getLong("missing", number);
    EXPECT_EQ(number, 5);
}

TEST(PropertySchema, FirstRegistrationWinsAndNamesSortByByte) {
    const auto schema = SchemaBuilder()
                            .longValue("b")
                            .string("b")
                            .doubleValue("B")
                            .string("name")
                            .add("ab", PropertyKind::Long, std::int32_t{7})
                            .add("a", PropertyKind::None)
                            .build();
    std::vector<std::string> names;
    for (const PropertyDef& def : schema->inNameOrder())
        names.push_back(def.name);
    EXPECT_EQ(names, (std::vector<std::string>{"B", "ab", "b", "description", "name"}));
    EXPECT_EQ(schema->find("b")->kind, PropertyKind::Long);
    EXPECT_EQ(schema->find("name")->builtIn, BuiltIn::Name);
    EXPECT_EQ(schema->find("a"), nullptr);

    CSectionNode node("n", -1, nullptr, *schema);
    EXPECT_EQ(node.getPropertyValue("ab"), "7");
    EXPECT_EQ(node.getPropertyValue("B"), "0.");
}

} // namespace
} // namespace velmora::testing
