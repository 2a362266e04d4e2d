// Small node classes for testing the tree without a settlement schema.
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

// Accepts "item", "check" and "deposit" leaves and nested "box" containers.
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

// Accepts every element name as an OpenContainer.
class OpenContainer final : public CSectionNode {
public:
    explicit OpenContainer(std::string elementName = "HUD", CNode* parent = nullptr)
        : CSectionNode(std::move(elementName), -1, parent, TestContainer::schemaOf()) {}
    std::unique_ptr<CSectionNode> createChildNode(const std::string& name) override {
        return std::make_unique<OpenContainer>(name, this);
    }
};

} // namespace velmora::testing
