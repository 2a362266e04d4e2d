// The children of one node by display name: an open-addressing hash table of
// node pointers, so that a node with a hundred thousand children finds one by
// name with a probe or two in one flat array, and adding or removing a child
// allocates nothing but the occasional doubling.
//
// A slot keeps the hash of the name the node was entered under, so probing
// compares names only on a hash match, and a node can be removed under its old
// name after its display name has changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

class CNode;

class DisplayNameTable {
public:
    // True when another node already bears `displayName`.
    bool insert(CNode& node, std::string_view displayName);
    // Removes `node`, entered under `displayName`; nothing when it is not there.
    void erase(const CNode& node, std::string_view displayName);

    // Of the nodes bearing `displayName` for which `matches` holds, the first
    // in child order, or nullptr. Siblings rarely share a display name, so
    // the probe sequence is almost always short.
    template <typename Matches> CNode* find(std::string_view displayName, Matches&& matches) const {
        if (slots_.empty())
            return nullptr;
        const std::size_t hash = hashOf(displayName);
        CNode* first = nullptr;
        for (std::size_t i = hash & mask(); slots_[i].node; i = (i + 1) & mask()) {
            CNode* const node = slots_[i].node;
            if (slots_[i].hash == hash && bears(*node, displayName) && matches(*node) &&
                (!first || before(*node, *first)))
                first = node;
        }
        return first;
    }

private:
    struct Slot {
        std::size_t hash = 0;
        CNode* node = nullptr; // nullptr: the slot is free
    };

    static std::size_t hashOf(std::string_view text);
    static bool bears(const CNode& node, std::string_view displayName);
    static bool before(const CNode& left, const CNode& right);
    std::size_t mask() const { return slots_.size() - 1; }
    void place(Slot slot);
    void grow();

    std::vector<Slot> slots_; // empty, or a power of two long
    std::size_t used_ = 0;
};

} // namespace velmora
