#include "render/shown_values.h"

#include "render/money_text.h"
#include "tree/held_value.h"
#include "tree/section_node.h"

namespace velmora::render {

std::string shown(const CSectionNode* node, std::string_view name) {
    if (!node)
        return {};
    const PropertyDef* def = node->schema().find(name);
    if (!def)
        return {};
    std::string text = node->propertyText(*def);
    return holdsValue(*node, *def, text) ? text : std::string();
}

std::string shownAmount(const CSectionNode* node, std::string_view name) {
    const std::string text = shown(node, name);
    if (text.empty())
        return text;
    const PropertyDef& def = *node->schema().find(name);
    if (def.kind == PropertyKind::Double)
        return moneyText(std::get<double>(node->slotValue(def)));
    return moneyText(text);
}

std::string storedText(const CSectionNode* node, std::string_view name) {
    const PropertyDef* def = node ? node->schema().find(name) : nullptr;
    return def ? node->propertyText(*def) : std::string();
}

bool hasProperty(const CSectionNode* node, std::string_view name) {
    return node && node->schema().find(name);
}

const CSectionNode* childAt(const CSectionNode* parent, std::string_view path) {
    const CSectionNode* node = parent;
    while (node && !path.empty()) {
        const std::size_t slash = path.find('/');
        node = node->findChild(path.substr(0, slash));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return node;
}

namespace {

bool holdsOwnValue(const CSectionNode& node, std::string_view unprinted = {}) {
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (def.name != unprinted && holdsValue(node, def, node.propertyText(def)))
            return true;
    }
    return false;
}

} // namespace

bool holdsAnyValue(const CSectionNode& node) {
    if (holdsOwnValue(node))
        return true;
    for (const auto& child : node.children()) {
        if (!child->getDescription().empty() || holdsAnyValue(*child))
            return true;
    }
    return false;
}

bool isBlankLine(const CSectionNode* line) {
    return !line || (line->getDescription().empty() && !holdsOwnValue(*line, "net"));
}

} // namespace velmora::render
