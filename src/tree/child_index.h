// Lookup tables over one node's children, so that finding a child by its
// names, counting children of one element name and naming a new child cost
// about the same whether a node has ten children or a hundred thousand.
//
// The index mirrors the child list; CNode keeps the two in step on every
// append, removal and rename. For each key it keeps the count of children
// bearing it and the first of them in child order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmora {

class CNode;

class ChildIndex {
public:
    struct Entry {
        CNode* first = nullptr;
        std::uint32_t count = 0;
    };

    // `child` was appended at the end of the list.
    void linked(CNode& child);

    // `child` leaves the list, or its display name leaves `oldDisplayName`.
    // `nextBearing` finds the first child after `child` that bears a key, for
    // the keys whose first bearer `child` was.
    using FindAfter = std::function<CNode*(const CNode& after,
                                           const std::function<bool(const CNode&)>& bears)>;
    void unlinked(const CNode& child, const FindAfter& nextBearing);
    void displayNameChanged(CNode& child, const std::string& oldDisplayName,
                            const FindAfter& nextBearing);

    Entry byElement(std::string_view elementName) const;
    Entry byKind(std::int32_t kind, std::string_view displayName) const;
    Entry byNames(std::string_view elementName, std::string_view displayName) const;

    // The number from which the search for a free "<stem><n>" name may start:
    // every smaller n is known to be taken. The caller stores back the number
    // it settles on.
    std::uint32_t& nameHint(std::int32_t kind, const std::string& stem);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    template <typename Value>
    using NameMap = std::unordered_map<std::string, Value, Hash, std::equal_to<>>;

    void addDisplayName(CNode& child, const std::string& displayName);
    void removeDisplayName(const CNode& child, const std::string& displayName,
                           const FindAfter& nextBearing);
    void lowerHintsFreedBy(std::int32_t kind, const std::string& displayName);
    NameMap<Entry>& kindMap(std::int32_t kind);
    const NameMap<Entry>* kindMap(std::int32_t kind) const;

    NameMap<Entry> elements_;
    NameMap<NameMap<Entry>> namesByElement_;
    std::vector<std::pair<std::int32_t, NameMap<Entry>>> namesByKind_;
    std::vector<std::pair<std::int32_t, NameMap<std::uint32_t>>> hintsByKind_;
};

} // namespace velmora
