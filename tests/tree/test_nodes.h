// Small node classes for testing the tree on its own, without the schema of
// a settlement document.
#pragma once

#include "tree/section_node.h"

#include <memory>
#include <string>
#include <utility>

namespace velmora::testing {

// A leaf with one property of every kind.
class TestItem final : public CSectionNode {
public:
    TestItem(std::string elementName, CNode* parent)
        : CSectionNode(std::move(elementName), -1, parent, schemaOf()) {}

    static const PropertySchema& schemaOf() {
        static const auto schema = SchemaBuilder()
                                       .string("memo")
                                       .string("amount")
                                       .longValue("count")
                                       .doubleValue("total")
                                       .date("when")
                                       .boolValue("flag")
                                       .build();
        return *schema;
    }
};

// A container that accepts "item", "check", "deposit" and "box" children;
// "box" is a TestContainer itself, so trees of any depth can be built.
class TestContainer final : public CSectionNode {
public:
    explicit TestContainer(std::string elementName = "HUD", CNode* parent = nullptr)
        : CSectionNode(std::move(elementName), -1, parent, schemaOf()) {}

    static const PropertySchema& schemaOf() {
        static const auto schema =
            SchemaBuilder().string("title").longValue("n102Option").doubleValue("n120").build();
        return *schema;
    }

    std::unique_ptr<CSectionNode> createChildNode(const std::string& name) override {
        if (name == "box")
            return std::make_unique<TestContainer>(name, this);
        if (name == "item" || name == "check" || name == "deposit")
            return std::make_unique<TestItem>(name, this);
        return nullptr;
    }
};

// An item that asks to be dropped when its "memo" arrives from a file as
// "drop", as sections do with entries that a newer version no longer keeps.
class DiscardingItem final : public CSectionNode {
public:
    DiscardingItem(std::string elementName, CNode* parent)
        : CSectionNode(std::move(elementName), -1, parent, TestItem::schemaOf()) {}

    bool acceptString(const std::string& name, const std::string& incoming) override {
        if (name == "memo" && incoming == "drop")
            setDiscardMark(true);
        return CSectionNode::acceptString(name, incoming);
    }
};

// A container whose vocabulary is every element name: "drop" children are
// DiscardingItems, any other name a container of the same class. Used where
// the name itself is under test rather than the vocabulary.
class OpenContainer final : public CSectionNode {
public:
    explicit OpenContainer(std::string elementName = "HUD", CNode* parent = nullptr)
        : CSectionNode(std::move(elementName), -1, parent, TestContainer::schemaOf()) {}

    std::unique_ptr<CSectionNode> createChildNode(const std::string& name) override {
        if (name == "drop")
            return std::make_unique<DiscardingItem>(name, this);
        return std::make_unique<OpenContainer>(name, this);
    }
};

} // namespace velmora::testing
