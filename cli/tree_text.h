// A document tree as indented text for a person to read: each node on its
// own line (element name, display name in quotes, description after a dash),
// then its properties that hold a value, one level deeper.
#pragma once

#include <ostream>
#include <string>

namespace velmora {
class CSectionNode;
struct PropertyDef;
} // namespace velmora

namespace velmora::cli {

// Whether a property "holds a value": its text is not empty and differs from
// what a new node of its class starts with. "name" and "description" never do
// (they are shown on the node's own line).
bool holdsValue(const CSectionNode& node, const PropertyDef& def, const std::string& text);

// `maxDepth` levels below `node` (negative: all).
void printTree(std::ostream& out, CSectionNode& node, int maxDepth);

} // namespace velmora::cli
