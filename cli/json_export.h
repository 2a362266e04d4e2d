// A subtree as JSON for scripts:
//   {"element": "n100", "name": "n1001", "description": "...",
//    "properties": {"n120": {"kind": "double", "value": "0."}, ...},
//    "children": [ ... ]}
// Values are the property texts, exactly as getNodePropertyValue gives them;
// "name" and "description" appear as members of their own.
#pragma once

#include <ostream>

namespace velmora {
class CSectionNode;
}

namespace velmora::cli {

void writeJson(std::ostream& out, CSectionNode& node);

} // namespace velmora::cli
