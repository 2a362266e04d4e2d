// Whether a property "holds a value", as every reader shows one: `velmora
// show` lists only such properties, and the statement page leaves the others
// blank.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class CSectionNode;
struct PropertyDef;

// Its text is not empty and differs from what a new node of its class starts
// with. "name" and "description" never do (they are shown on the node's own
// line).
bool holdsValue(const CSectionNode& node, const PropertyDef& def, const std::string& text);

// Whether a property of `node` itself, other than `except`, holds a value.
bool holdsOwnValue(const CSectionNode& node, std::string_view except = {});

// Whether any property of `node` or of a node below it holds a value, or a
// node below it has a description.
bool holdsAnyValue(const CSectionNode& node);

} // namespace velmora
