// Lookup tables over one node's children, so that finding a child by its
// names, counting children of one element name and naming a new child cost
// about the same whether a node has ten children or a hundred thousand.
//
// The index mirrors the child list; CNode keeps the two in step on every
// append, removal and rename. Per element name it keeps the count of
// children and the first of them in child order; by display name, every
// child in a flat hash table.
#pragma once

#include "tree/display_name_table.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmora {

class CNode;
class CSectionNode;

class ChildIndex {
public:
    ChildIndex();
    ~ChildIndex();
    ChildIndex(const ChildIndex&) = delete;
    ChildIndex& operator=(const ChildIndex&) = delete;

    // The children themselves, in order; owned here so that a leaf pays for
    // no list at all.
    std::vector<std::unique_ptr<CSectionNode>> children;

    struct Entry {
        CNode* first = nullptr;
        std::uint32_t count = 0;
    };

    // The link order the next appended child gets.
    std::uint64_t nextLinkOrder = 0;
    // How many children carry a discard mark.
    std::size_t discardMarkedChildren = 0;

    // `child` was appended at the end of the list. True when an earlier
    // child bears its display name.
    bool linked(CNode& child);

    // `child` leaves the list. `nextWithElementName` finds the first child
    // after it with the same element name, when `child` was the first.
    using FindAfter = std::function<CNode*(const CNode& after)>;
    void unlinked(const CNode& child, const FindAfter& nextWithElementName);
    // The display name of `child` changed from `oldDisplayName`.
    void displayNameChanged(CNode& child, const std::string& oldDisplayName);

    Entry byElement(std::string_view elementName) const;
    // The first child of that kind / element name bearing `displayName`.
    CNode* byKind(std::int32_t kind, std::string_view displayName) const;
    CNode* byNames(std::string_view elementName, std::string_view displayName) const;

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

    void lowerHintsFreedBy(std::int32_t kind, const std::string& displayName);

    NameMap<Entry> elements_;
    // Lists are filled one element name after another: the entry of the last
    // child linked is usually the next one's too.
    NameMap<Entry>::value_type* lastLinkedElement_ = nullptr;
    DisplayNameTable displayNames_;
    // A std::list keeps the maps, and so the cached hint, where they are.
    std::list<std::pair<std::int32_t, NameMap<std::uint32_t>>> hintsByKind_;
    std::uint32_t* lastHint_ = nullptr;
    std::int32_t lastHintKind_ = 0;
    std::string lastHintStem_;
};

} // namespace velmora
