#include "tree/held_value.h"

#include "tree/section_node.h"

namespace velmora {

bool holdsValue(const CSectionNode& node, const PropertyDef& def, const std::string& text) {
    if (def.builtIn != BuiltIn::No || text.empty())
        return false;
    return !node.holdsInitial(def);
}

bool holdsOwnValue(const CSectionNode& node, std::string_view except) {
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (def.name != except && holdsValue(node, def, node.propertyText(def)))
            return true;
    }
    return false;
}

bool holdsAnyValue(const CSectionNode& node) {
    if (holdsOwnValue(node))
        return true;
    for (const auto& child : node.children()) {
        if (!child->getDescription().empty() || holdsAnyValue(*child))
            return true;
    }
    return false;
}

} // namespace velmora
