#include "document/json_export.h"

#include "document/tax_id.h"
#include "platform/code_page.h"
#include "tree/json_text.h"
#include "tree/section_node.h"
#include "tree/xml_document.h"

#include <nlohmann/json.hpp>

#include <string_view>

namespace velmora {
namespace {

const char* kindName(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::String:
        return "string";
    case PropertyKind::Long:
        return "long";
    case PropertyKind::Double:
        return "double";
    case PropertyKind::Date:
        return "date";
    case PropertyKind::Bool:
        return "bool";
    case PropertyKind::None:
        break;
    }
    return "none";
}

// JSON is UTF-8 whatever the tree text is.
std::string utf8(std::string_view text) {
    return treeTextToUtf8(std::string(text));
}

std::string valueText(CSectionNode& node, const PropertyDef& def, TaxIds taxIds) {
    const std::string stored = storedValueText(node, def);
    if (taxIds == TaxIds::Masked && isTaxIdProperty(def.name))
        return utf8(maskedTaxId(stored));
    return utf8(stored);
}

nlohmann::ordered_json nodeJson(CSectionNode& node, TaxIds taxIds) {
    nlohmann::ordered_json properties = nlohmann::ordered_json::object();
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (def.builtIn == BuiltIn::No)
            properties[utf8(def.name)] = {{"kind", kindName(def.kind)},
                                          {"value", valueText(node, def, taxIds)}};
    }
    nlohmann::ordered_json children = nlohmann::ordered_json::array();
    for (const auto& child : node.children())
        children.push_back(nodeJson(*child, taxIds));
    return {{"element", utf8(node.getName())},
            {"name", utf8(node.getDisplayName())},
            {"description", utf8(node.getDescription())},
            {"properties", std::move(properties)},
            {"children", std::move(children)}};
}

} // namespace

std::string subtreeJson(CSectionNode& node, TaxIds taxIds) {
    return jsonText(nodeJson(node, taxIds));
}

} // namespace velmora
