#include "tree/property_schema.h"

#include <algorithm>

namespace velmora {

PropertyValue defaultValueOf(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::Long:
        return std::int32_t{0};
    case PropertyKind::Double:
        return 0.0;
    case PropertyKind::Date:
        return OleDate{};
    case PropertyKind::Bool:
        return std::int16_t{0};
    case PropertyKind::None:
    case PropertyKind::String:
        break;
    }
    return std::string();
}

const PropertyDef* PropertySchema::find(std::string_view name) const {
    const auto it = index_.find(name);
    return it == index_.end() ? nullptr : &byName_[it->second];
}

const PropertySchema& PropertySchema::base() {
    static const std::unique_ptr<const PropertySchema> schema = SchemaBuilder().build();
    return *schema;
}

SchemaBuilder::SchemaBuilder() {
    defs_.push_back({"name", PropertyKind::String, BuiltIn::Name, 0, std::string()});
    defs_.push_back({"description", PropertyKind::String, BuiltIn::Description, 0, std::string()});
}

SchemaBuilder& SchemaBuilder::add(std::string_view name, PropertyKind kind) {
    return add(name, kind, defaultValueOf(kind));
}

SchemaBuilder& SchemaBuilder::add(std::string_view name, PropertyKind kind, PropertyValue initial) {
    const bool known = std::any_of(defs_.begin(), defs_.end(),
                                   [&](const PropertyDef& def) { return def.name == name; });
    if (known || kind == PropertyKind::None)
        return *this;
    std::uint32_t& nextSlot = kind == PropertyKind::String ? nextTextSlot_ : nextValueSlot_;
    defs_.push_back({std::string(name), kind, BuiltIn::No, nextSlot++, std::move(initial)});
    return *this;
}

std::unique_ptr<const PropertySchema> SchemaBuilder::build() {
    auto schema = std::make_unique<PropertySchema>();
    schema->initialValues_.resize(nextValueSlot_);
    std::vector<std::string_view> texts(nextTextSlot_);
    for (const PropertyDef& def : defs_) {
        if (def.builtIn != BuiltIn::No)
            continue;
        if (def.kind == PropertyKind::String)
            texts[def.slot] = std::get<std::string>(def.initial);
        else
            schema->initialValues_[def.slot] = def.initial;
    }
    schema->initialTexts_ = TextBlock::pack(texts);
    schema->byName_ = std::move(defs_);
    std::sort(schema->byName_.begin(), schema->byName_.end(),
              [](const PropertyDef& a, const PropertyDef& b) { return a.name < b.name; });
    for (std::uint32_t i = 0; i < schema->byName_.size(); ++i)
        schema->index_.emplace(schema->byName_[i].name, i);
    defs_.clear();
    nextTextSlot_ = 0;
    nextValueSlot_ = 0;
    return schema;
}

} // namespace velmora
