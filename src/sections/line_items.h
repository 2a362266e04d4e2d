// The three line-item kinds that statement blocks and records build from.
//
// A line registers exactly the properties of its column set; any other name
// behaves on it as a name that was never registered. A CMoreLines node is the
// open end of a block: it accepts any child name and makes it a plain line of
// the block's columns.
#pragma once

#include "sections/column_sets.h"
#include "tree/section_node.h"

#include <memory>
#include <string>

namespace velmora {

class CLineItem : public CSectionNode {
public:
    CLineItem(std::string elementName, CNode* parent, const ColumnSet& columns)
        : CSectionNode(std::move(elementName), -1, parent, columns.schema()) {}
};

// A line whose first two columns are the dates of a period.
class CDatedLineItem final : public CLineItem {
public:
    using CLineItem::CLineItem;
};

class CMoreLines final : public CSectionNode {
public:
    CMoreLines(std::string elementName, CNode* parent, const ColumnSet& lineColumns)
        : CSectionNode(std::move(elementName), -1, parent), lineColumns_(&lineColumns) {}

    std::unique_ptr<CSectionNode> createChildNode(const std::string& elementName) override {
        return std::make_unique<CLineItem>(elementName, this, *lineColumns_);
    }
    ChildVocabulary childVocabulary() const override { return {{}, true}; }

private:
    const ColumnSet* lineColumns_;
};

} // namespace velmora
