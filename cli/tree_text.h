// A document tree as indented text for a person to read: each node on its
// own line (element name, display name in quotes, description after a dash),
// then its properties that hold a value, one level deeper.
#pragma once

#include <ostream>

namespace velmora {
class CSectionNode;
} // namespace velmora

namespace velmora::cli {

// `maxDepth` levels below `node` (negative: all).
void printTree(std::ostream& out, CSectionNode& node, int maxDepth);

} // namespace velmora::cli
