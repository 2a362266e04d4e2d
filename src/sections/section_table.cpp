#include "sections/section_table.h"

#include "sections/line_items.h"

namespace velmora {

std::unique_ptr<CSectionNode> ChildRule::create(CNode* parent) const {
    std::unique_ptr<CSectionNode> node;
    switch (kind) {
    case Kind::Line:
        if (columns->kind() == ColumnSet::Kind::Dated)
            node = std::make_unique<CDatedLineItem>(name, parent, *columns);
        else
            node = std::make_unique<CLineItem>(name, parent, *columns);
        break;
    case Kind::MoreLines:
        node = std::make_unique<CMoreLines>(name, parent, *columns);
        break;
    case Kind::Section:
        node = make(name, parent);
        break;
    }
    if (withDefaultChildren)
        node->createDefaultChildren();
    return node;
}

ChildRules lines(std::initializer_list<std::string_view> names, const ColumnSet& columns) {
    ChildRules rules;
    for (const std::string_view name : names)
        rules.push_back({std::string(name), ChildRule::Kind::Line, &columns, nullptr, false});
    return rules;
}

ChildRules lineRange(std::string_view prefix, int first, int last, const ColumnSet& columns) {
    ChildRules rules;
    for (int number = first; number <= last; ++number) {
        rules.push_back({std::string(prefix) + std::to_string(number), ChildRule::Kind::Line,
                         &columns, nullptr, false});
    }
    return rules;
}

ChildRule moreLines(std::string_view name, const ColumnSet& lineColumns) {
    return {std::string(name), ChildRule::Kind::MoreLines, &lineColumns, nullptr, false};
}

ChildRule section(std::string_view name, NodeFactory make, bool withDefaultChildren) {
    return {std::string(name), ChildRule::Kind::Section, nullptr, make, withDefaultChildren};
}

ChildRules operator+(ChildRules left, const ChildRules& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

ChildRules operator+(ChildRules left, const ChildRule& right) {
    left.push_back(right);
    return left;
}

std::vector<PropertySpec> strings(std::initializer_list<std::string_view> names) {
    std::vector<PropertySpec> properties;
    for (const std::string_view name : names)
        properties.emplace_back(name, PropertyKind::String);
    return properties;
}

std::vector<PropertySpec> operator+(std::vector<PropertySpec> left,
                                    const std::vector<PropertySpec>& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

SectionTable collectionOf(std::string_view childName, NodeFactory make, bool withDefaultChildren) {
    return {.caption = "",
            .properties = {},
            .children = {section(childName, make, withDefaultChildren)},
            .defaults = Defaults::None};
}

std::unique_ptr<const PropertySchema> SectionTable::buildSchema() const {
    SchemaBuilder builder;
    for (const PropertySpec& property : properties)
        builder.add(property.name, property.kind, property.initial);
    return builder.build();
}

std::unique_ptr<CSectionNode> SectionTable::createChild(const std::string& name,
                                                        CNode* parent) const {
    for (const ChildRule& rule : children) {
        if (rule.name == name)
            return rule.create(parent);
    }
    return nullptr;
}

ChildVocabulary SectionTable::vocabulary() const {
    ChildVocabulary vocabulary;
    for (const ChildRule& rule : children)
        vocabulary.names.push_back(rule.name);
    return vocabulary;
}

} // namespace velmora
