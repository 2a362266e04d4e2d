// The property table of a node class, shared by all nodes of that class.
//
// A section class registers its properties once, as data: name, kind and
// initial value. Nodes hold only their values, in registration order, so a
// document of tens of thousands of list entries pays for names and lookups
// once per class, not once per node. The built-in properties "name" and
// "description" are in every schema and live in the node itself. A node keeps
// its other strings packed together (TextBlock) and the values of the other
// kinds in a list of their own, so each kind numbers its slots from zero.
#pragma once

#include "tree/ole_date.h"
#include "tree/text_block.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace velmora {

enum class PropertyKind : std::uint8_t { None, String, Long, Double, Date, Bool };

// A property value; the alternative in use always matches the property's kind.
using PropertyValue = std::variant<std::string, std::int32_t, double, OleDate, std::int16_t>;

PropertyValue defaultValueOf(PropertyKind kind);

// Where a registered property lives: one of the node's two built-in strings,
// or a slot of its value list.
enum class BuiltIn : std::uint8_t { No, Name, Description };

struct PropertyDef {
    std::string name;
    PropertyKind kind = PropertyKind::None;
    BuiltIn builtIn = BuiltIn::No;
    // Where the node keeps the value when not built in: the index of its text
    // for a string, else the index into the node's values.
    std::uint32_t slot = 0;
    PropertyValue initial;
};

class PropertySchema {
public:
    // Definitions in name order, the order of attributes in files and texts.
    const std::vector<PropertyDef>& inNameOrder() const { return byName_; }

    // The definition of `name`, or nullptr when the class has no such property.
    const PropertyDef* find(std::string_view name) const;

    // Initial values of the value slots, in slot order; none of them a string.
    const std::vector<PropertyValue>& initialValues() const { return initialValues_; }
    // Initial texts of the string properties that are not built in, in slot
    // order; every node of the class shares them until it stores a text.
    const TextBlock& initialTexts() const { return initialTexts_; }

    // The schema with only "name" and "description".
    static const PropertySchema& base();

private:
    friend class SchemaBuilder;

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::vector<PropertyDef> byName_;
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> index_;
    std::vector<PropertyValue> initialValues_;
    TextBlock initialTexts_;
};

// Builds a schema from "name" and "description" plus registrations in member
// order. Registering a name that is already there keeps the first one.
class SchemaBuilder {
public:
    SchemaBuilder();

    SchemaBuilder& add(std::string_view name, PropertyKind kind);
    SchemaBuilder& add(std::string_view name, PropertyKind kind, PropertyValue initial);

    SchemaBuilder& string(std::string_view name) { return add(name, PropertyKind::String); }
    SchemaBuilder& longValue(std::string_view name) { return add(name, PropertyKind::Long); }
    SchemaBuilder& doubleValue(std::string_view name) { return add(name, PropertyKind::Double); }
    SchemaBuilder& date(std::string_view name) { return add(name, PropertyKind::Date); }
    SchemaBuilder& boolValue(std::string_view name) { return add(name, PropertyKind::Bool); }

    std::unique_ptr<const PropertySchema> build();

private:
    std::vector<PropertyDef> defs_;
    std::uint32_t nextTextSlot_ = 0;
    std::uint32_t nextValueSlot_ = 0;
};

} // namespace velmora
