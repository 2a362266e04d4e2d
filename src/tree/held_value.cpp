#include "tree/held_value.h"

#include "tree/section_node.h"

namespace velmora {

bool holdsValue(const CSectionNode& node, const PropertyDef& def, const std::string& text) {
    if (def.builtIn != BuiltIn::No || text.empty())
        return false;
    return !node.holdsInitial(def);
}

} // namespace velmora
