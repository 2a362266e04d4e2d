#include "render/shown_values.h"

#include "document/tax_id.h"
#include "render/money_text.h"
#include "tree/held_value.h"
#include "tree/section_node.h"

namespace velmora::render {

namespace {

thread_local bool taxIdsInFull = false;

} // namespace

TaxIdsInFull::TaxIdsInFull(bool full) : previous_(taxIdsInFull) {
    taxIdsInFull = full;
}

TaxIdsInFull::~TaxIdsInFull() {
    taxIdsInFull = previous_;
}

std::string shown(const CSectionNode* node, std::string_view name) {
    if (!node)
        return {};
    const PropertyDef* def = node->schema().find(name);
    if (!def)
        return {};
    std::string text = node->propertyText(*def);
    if (!holdsValue(*node, *def, text))
        return {};
    return isTaxIdProperty(name) && !taxIdsInFull ? maskedTaxId(text) : text;
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

std::string enteredAmount(const CSectionNode* node, std::string_view name) {
    std::string text = shownAmount(node, name);
    return text == "0.00" ? std::string() : text;
}

std::string enteredRate(const CSectionNode* node, std::string_view name) {
    const std::string text = shown(node, name);
    return text.empty() || isZeroAmount(text) ? std::string() : percentText(text);
}

std::string storedText(const CSectionNode* node, std::string_view name) {
    const PropertyDef* def = node ? node->schema().find(name) : nullptr;
    return def ? node->propertyText(*def) : std::string();
}

bool hasProperty(const CSectionNode* node, std::string_view name) {
    return node && node->schema().find(name);
}

bool isBlankLine(const CSectionNode* line) {
    return !line || (line->getDescription().empty() && !holdsOwnValue(*line, "net"));
}

} // namespace velmora::render
