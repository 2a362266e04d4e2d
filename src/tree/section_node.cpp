#include "tree/section_node.h"

#include "platform/dialog.h"
#include "tree/text_forms.h"
#include "tree/xml_document.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

// The date the XML loader stores for an empty date attribute or "00/00/0000".
OleDate placeholderDate() {
    return {*daysFromCivil({900, 1, 1, 0, 0, 0}), DateStatus::Valid};
}

std::string textOf(const PropertyValue& value) {
    struct Formatter {
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(std::int32_t number) const { return formatLong(number); }
        std::string operator()(double number) const { return formatDouble(number); }
        std::string operator()(const OleDate& date) const { return formatDate(date); }
        std::string operator()(std::int16_t flag) const { return flag != 0 ? "1" : "0"; }
    };
    return std::visit(Formatter{}, value);
}

PropertyValue valueFromText(PropertyKind kind, std::string_view text) {
    switch (kind) {
    case PropertyKind::Long:
        return parseLong(text);
    case PropertyKind::Double:
        return parseDouble(text);
    case PropertyKind::Date:
        return parseDate(text);
    case PropertyKind::Bool:
        return static_cast<std::int16_t>(parseLong(text));
    case PropertyKind::None:
    case PropertyKind::String:
        break;
    }
    return std::string(text);
}

PropertyValue valueFromXmlText(PropertyKind kind, std::string_view text) {
    if (kind == PropertyKind::Date && (text.empty() || text == "00/00/0000"))
        return placeholderDate();
    if (kind == PropertyKind::Bool)
        return static_cast<std::int16_t>(parseLong(text) != 0 ? 1 : 0);
    return valueFromText(kind, text);
}

// The values of a new node: its class's initial values, in one block whose
// length the schema knows, so the node holds a single pointer to them.
std::unique_ptr<PropertyValue[]> copyOf(const std::vector<PropertyValue>& initial) {
    if (initial.empty())
        return nullptr;
    auto values = std::make_unique<PropertyValue[]>(initial.size());
    std::copy(initial.begin(), initial.end(), values.get());
    return values;
}

} // namespace

CSectionNode::CSectionNode(std::string elementName, std::int32_t kind, CNode* parent,
                           const PropertySchema& schema)
    : CNode(std::move(elementName), kind, parent), schema_(&schema),
      values_(copyOf(schema.initialValues())) {}

int CSectionNode::load(const std::string& path) {
    return loadXmlFile(*this, path);
}

int CSectionNode::save(const std::string& path) {
    return saveXmlFile(*this, path);
}

std::string CSectionNode::nodeValue() {
    return nodeValueText(*this);
}

bool CSectionNode::acceptDate(const std::string&, const OleDate&) {
    return true;
}
bool CSectionNode::acceptBool(const std::string&, std::int16_t) {
    return true;
}
bool CSectionNode::acceptDouble(const std::string&, double) {
    return true;
}
bool CSectionNode::acceptLong(const std::string&, std::int32_t) {
    return true;
}

// A stored name that an earlier sibling of the same element name already
// bears is made unique as "<name>(n)", and the loader must not store the
// incoming text over it again.
bool CSectionNode::acceptString(const std::string& name, std::string_view incoming) {
    if (name != "name")
        return true;
    rename(std::string(incoming));
    CNode* parent = getParent();
    if (!parent)
        return true;
    if (parent->findChildByNames(getName(), incoming) == this)
        return true;
    makeUniqueName(*this, true);
    return false;
}

void CSectionNode::loadFinished() {
    if (CNode* parent = getParent())
        parent->removeDiscardedChildren();
}

std::string CSectionNode::getPropertyValue(std::string_view name) {
    const PropertyDef* def = findProperty(name);
    return def ? propertyText(*def) : std::string();
}

std::string CSectionNode::propertyText(const PropertyDef& def) const {
    if (def.kind == PropertyKind::String)
        return std::string(stringOf(def));
    return textOf(values_[def.slot]);
}

int CSectionNode::setPropertyValue(std::string_view name, std::string_view text) {
    const PropertyDef* def = findProperty(name);
    if (!def)
        return -1;
    store(*def, valueFromText(def->kind, text));
    return 0;
}

void CSectionNode::startGathering(TextBlockBuilder& gathered) {
    gathered.reset(texts().size());
    gathering_ = &gathered;
}

void CSectionNode::assignFromXml(const PropertyDef& def, std::string_view text) {
    if (def.kind == PropertyKind::String) {
        if (!acceptString(def.name, text))
            return;
        storeString(def, text);
        return;
    }
    PropertyValue value = valueFromXmlText(def.kind, text);
    bool accepted = true;
    switch (def.kind) {
    case PropertyKind::Long:
        accepted = acceptLong(def.name, std::get<std::int32_t>(value));
        break;
    case PropertyKind::Double:
        accepted = acceptDouble(def.name, std::get<double>(value));
        break;
    case PropertyKind::Date:
        accepted = acceptDate(def.name, std::get<OleDate>(value));
        break;
    case PropertyKind::Bool:
        accepted = acceptBool(def.name, std::get<std::int16_t>(value));
        break;
    case PropertyKind::String:
    case PropertyKind::None:
        return;
    }
    if (accepted)
        store(def, std::move(value));
}

void CSectionNode::storeGathered() {
    TextBlockBuilder* const gathered = std::exchange(gathering_, nullptr);
    sortNamesOfNoKind();
    if (gathered && gathered->anyGiven())
        texts_ = gathered->merged(texts());
}

void CSectionNode::sortNamesOfNoKind() {
    if (!namesOfNoKind_)
        return;
    std::vector<std::string>& names = *namesOfNoKind_;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

void CSectionNode::putString(std::string_view name, std::string text) {
    const PropertyDef* def = findProperty(name);
    if (!def) {
        currentDialog().ask("Property not found", "property " + std::string(name) + " not found",
                            dialog_flags::kOk);
        return;
    }
    if (def->kind == PropertyKind::String)
        store(*def, std::move(text));
}

void CSectionNode::getString(std::string_view name, std::string& out) {
    const PropertyDef* def = findProperty(name);
    if (def && def->kind == PropertyKind::String)
        out.assign(stringOf(*def));
}

void CSectionNode::putLong(std::string_view name, std::int32_t value) {
    if (std::int32_t* member = typedSlot<std::int32_t>(name, PropertyKind::Long))
        *member = value;
}

void CSectionNode::getLong(std::string_view name, std::int32_t& out) {
    if (const std::int32_t* member = typedSlot<std::int32_t>(name, PropertyKind::Long))
        out = *member;
}

void CSectionNode::putDouble(std::string_view name, double value) {
    if (double* member = typedSlot<double>(name, PropertyKind::Double))
        *member = value;
}

void CSectionNode::putDate(std::string_view name, OleDate value) {
    if (OleDate* member = typedSlot<OleDate>(name, PropertyKind::Date))
        *member = value;
}

const std::vector<std::string>& CSectionNode::namesOfNoKind() const {
    static const std::vector<std::string> none;
    return namesOfNoKind_ ? *namesOfNoKind_ : none;
}

std::string_view CSectionNode::stringOf(const PropertyDef& def) const {
    switch (def.builtIn) {
    case BuiltIn::Name:
        return getDisplayName();
    case BuiltIn::Description:
        return getDescription();
    case BuiltIn::No:
        break;
    }
    if (gathering_ && gathering_->given(def.slot))
        return gathering_->text(def.slot);
    return texts()[def.slot];
}

bool CSectionNode::holdsInitial(const PropertyDef& def) const {
    if (def.kind == PropertyKind::String)
        return stringOf(def) == std::get<std::string>(def.initial);
    return values_[def.slot] == def.initial;
}

const TextBlock& CSectionNode::texts() const {
    return texts_.holdsTexts() ? texts_ : schema_->initialTexts();
}

const PropertyDef* CSectionNode::findProperty(std::string_view name) {
    if (const PropertyDef* def = schema_->find(name))
        return def;
    if (!namesOfNoKind_)
        namesOfNoKind_ = std::make_unique<std::vector<std::string>>();
    std::vector<std::string>& names = *namesOfNoKind_;
    // A file may hold any number of such names in any order: while its
    // element is read they are only gathered, and put in order once after
    // (sortNamesOfNoKind), so that reading stays O(n log n) in attributes.
    if (gathering_) {
        names.emplace_back(name);
        return nullptr;
    }
    const auto it = std::lower_bound(names.begin(), names.end(), name);
    if (it == names.end() || *it != name)
        names.insert(it, std::string(name));
    return nullptr;
}

template <typename T> T* CSectionNode::typedSlot(std::string_view name, PropertyKind kind) {
    const PropertyDef* def = findProperty(name);
    if (!def || def->kind != kind || def->builtIn != BuiltIn::No)
        return nullptr;
    return &std::get<T>(values_[def->slot]);
}

void CSectionNode::store(const PropertyDef& def, PropertyValue value) {
    if (def.kind == PropertyKind::String)
        storeString(def, std::get<std::string>(std::move(value)));
    else
        values_[def.slot] = std::move(value);
}

void CSectionNode::storeString(const PropertyDef& def, std::string_view text) {
    switch (def.builtIn) {
    case BuiltIn::Name:
        rename(std::string(text));
        return;
    case BuiltIn::Description:
        setDescription(std::string(text));
        return;
    case BuiltIn::No:
        if (gathering_)
            gathering_->set(def.slot, text);
        else
            texts_ = texts().replaced(def.slot, text);
        return;
    }
}

} // namespace velmora
