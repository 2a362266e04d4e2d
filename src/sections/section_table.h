// Section classes as data.
//
// Every section class differs from the others only in its caption, its
// properties (name, kind, initial value), the child names it knows with the
// node each becomes, and which of those children a new section gets. A
// SectionTable holds exactly that, and TableSection<table> is the class it
// describes, so each class reads as its table:
//
//     const SectionTable section100Table{
//         .caption = "Gross amount due from borrower",
//         .properties = {{"n101", Kind::String}, ...},
//         .children = lines({"n104", "n105"}, columns::A) + ...,
//         .defaults = Defaults::All,
//     };
//     using CSection100 = TableSection<section100Table>;
#pragma once

#include "sections/column_sets.h"
#include "tree/section_node.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

using NodeFactory = std::unique_ptr<CSectionNode> (*)(const std::string& elementName,
                                                      CNode* parent);

template <typename Node>
std::unique_ptr<CSectionNode> makeNode(const std::string& elementName, CNode* parent) {
    return std::make_unique<Node>(elementName, parent);
}

// One child name of a vocabulary and what it becomes.
struct ChildRule {
    enum class Kind { Line, MoreLines, Section };

    std::string name;
    Kind kind = Kind::Section;
    const ColumnSet* columns = nullptr; // for lines and more-lines
    NodeFactory make = nullptr;         // for sections
    // The new node gets its default children before it is handed back.
    bool withDefaultChildren = false;

    std::unique_ptr<CSectionNode> create(CNode* parent) const;
};

using ChildRules = std::vector<ChildRule>;

// Lines of a column set for each name; a dated set makes CDatedLineItem nodes.
ChildRules lines(std::initializer_list<std::string_view> names, const ColumnSet& columns);
// Lines "<prefix><first>" to "<prefix><last>".
ChildRules lineRange(std::string_view prefix, int first, int last, const ColumnSet& columns);
ChildRule moreLines(std::string_view name, const ColumnSet& lineColumns);
ChildRule section(std::string_view name, NodeFactory make, bool withDefaultChildren = false);
ChildRules operator+(ChildRules left, const ChildRules& right);
ChildRules operator+(ChildRules left, const ChildRule& right);

struct PropertySpec {
    std::string_view name;
    PropertyKind kind;
    PropertyValue initial = defaultValueOf(kind);
    PropertySpec(std::string_view name, PropertyKind kind) : name(name), kind(kind) {}
    PropertySpec(std::string_view name, PropertyKind kind, const char* initial)
        : name(name), kind(kind), initial(std::string(initial)) {}
    PropertySpec(std::string_view name, PropertyKind kind, PropertyValue initial)
        : name(name), kind(kind), initial(std::move(initial)) {}
};

// Properties of one kind, in member order.
std::vector<PropertySpec> strings(std::initializer_list<std::string_view> names);
std::vector<PropertySpec> operator+(std::vector<PropertySpec> left,
                                    const std::vector<PropertySpec>& right);

enum class Defaults { None, All };

struct SectionTable {
    std::string_view caption;
    std::vector<PropertySpec> properties; // member order
    ChildRules children;                  // the vocabulary
    Defaults defaults = Defaults::None;   // whether a new section gets every child

    std::unique_ptr<const PropertySchema> buildSchema() const;
    std::unique_ptr<CSectionNode> createChild(const std::string& name, CNode* parent) const;
    // The names createChild knows, in the vocabulary's order.
    ChildVocabulary vocabulary() const;
};

// A collection node: no properties, no caption, no default children, and
// one child name that it accepts any number of times.
SectionTable collectionOf(std::string_view childName, NodeFactory make,
                          bool withDefaultChildren = false);

template <const SectionTable& Table> class TableSection : public CSectionNode {
public:
    TableSection(std::string elementName, CNode* parent)
        : CSectionNode(std::move(elementName), -1, parent, schemaOf()) {
        setDescription(std::string(Table.caption));
    }

    // Built once per class, on first use.
    static const PropertySchema& schemaOf() {
        static const std::unique_ptr<const PropertySchema> schema = Table.buildSchema();
        return *schema;
    }

    std::unique_ptr<CSectionNode> createChildNode(const std::string& name) override {
        return Table.createChild(name, this);
    }
    ChildVocabulary childVocabulary() const override { return Table.vocabulary(); }

    void createDefaultChildren() override {
        if (Table.defaults == Defaults::None)
            return;
        for (const ChildRule& rule : Table.children)
            addChild(rule.name);
    }
};

} // namespace velmora
