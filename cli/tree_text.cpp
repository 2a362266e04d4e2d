#include "tree_text.h"

#include "tree/held_value.h"
#include "tree/section_node.h"

#include <string>

namespace velmora::cli {
namespace {

void printNode(std::ostream& out, CSectionNode& node, int depth, int maxDepth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out << indent << node.getName() << " \"" << node.getDisplayName() << '"';
    if (!node.getDescription().empty())
        out << " - " << node.getDescription();
    out << '\n';
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        const std::string text = node.propertyText(def);
        if (holdsValue(node, def, text))
            out << indent << "  . " << def.name << " = " << text << '\n';
    }
    if (maxDepth >= 0 && depth >= maxDepth) {
        if (node.childCount() > 0)
            out << indent << "  ... " << node.childCount() << " children\n";
        return;
    }
    for (const auto& child : node.children())
        printNode(out, *child, depth + 1, maxDepth);
}

} // namespace

void printTree(std::ostream& out, CSectionNode& node, int maxDepth) {
    printNode(out, node, 0, maxDepth);
}

} // namespace velmora::cli
