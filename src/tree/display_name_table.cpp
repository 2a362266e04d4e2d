#include "tree/display_name_table.h"

#include "tree/node.h"

#include <functional>
#include <utility>

namespace velmora {
namespace {

constexpr std::size_t kFirstCapacity = 8;

// True when `slot`'s home position lies cyclically in (gap, current]: the
// entry may stay where it is when the slot at `gap` is freed.
bool staysBehindGap(std::size_t home, std::size_t gap, std::size_t current) {
    return gap <= current ? (gap < home && home <= current) : (gap < home || home <= current);
}

} // namespace

std::size_t DisplayNameTable::hashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

bool DisplayNameTable::bears(const CNode& node, std::string_view displayName) {
    return node.displayName_ == displayName;
}

bool DisplayNameTable::before(const CNode& left, const CNode& right) {
    return left.linkOrder_ < right.linkOrder_;
}

bool DisplayNameTable::insert(CNode& node, std::string_view displayName) {
    // At most seven eighths full: probe runs stay a few cache lines long, and
    // a list of n children never needs a table of more than about 2n slots.
    if ((used_ + 1) * 8 > slots_.size() * 7)
        grow();
    const std::size_t hash = hashOf(displayName);
    // Every node bearing the name lies on the probe run up to the free slot.
    bool borne = false;
    std::size_t i = hash & mask();
    for (; slots_[i].node; i = (i + 1) & mask())
        borne = borne || (slots_[i].hash == hash && bears(*slots_[i].node, displayName));
    slots_[i] = Slot{hash, &node};
    ++used_;
    return borne;
}

void DisplayNameTable::place(Slot slot) {
    std::size_t i = slot.hash & mask();
    while (slots_[i].node)
        i = (i + 1) & mask();
    slots_[i] = slot;
}

void DisplayNameTable::grow() {
    std::vector<Slot> old = std::exchange(
        slots_, std::vector<Slot>(slots_.empty() ? kFirstCapacity : slots_.size() * 2));
    for (const Slot& slot : old) {
        if (slot.node)
            place(slot);
    }
}

void DisplayNameTable::erase(const CNode& node, std::string_view displayName) {
    if (slots_.empty())
        return;
    std::size_t gap = hashOf(displayName) & mask();
    while (slots_[gap].node != &node) {
        if (!slots_[gap].node)
            return;
        gap = (gap + 1) & mask();
    }
    // Linear probing without tombstones: entries after the gap whose probe
    // sequence passes through it move back into it.
    for (std::size_t current = (gap + 1) & mask(); slots_[current].node;
         current = (current + 1) & mask()) {
        if (staysBehindGap(slots_[current].hash & mask(), gap, current))
            continue;
        slots_[gap] = slots_[current];
        gap = current;
    }
    slots_[gap] = Slot{};
    --used_;
}

} // namespace velmora
