#include "tree/child_index.h"

#include "tree/node.h"

namespace velmora {
namespace {

using Entry = ChildIndex::Entry;

template <typename Map>
Entry lookup(const Map& map, std::string_view key) {
    const auto it = map.find(key);
    return it == map.end() ? Entry{} : it->second;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void ChildIndex::linked(CNode& child) {
    Entry& element = elements_[child.elementName_];
    if (element.count++ == 0)
        element.first = &child;
    addDisplayName(child, child.displayName_);
}

void ChildIndex::unlinked(const CNode& child, const FindAfter& nextBearing) {
    const auto it = elements_.find(child.elementName_);
    if (it != elements_.end()) {
        Entry& element = it->second;
        if (--element.count == 0) {
            elements_.erase(it);
        } else if (element.first == &child) {
            element.first = nextBearing(child, [&](const CNode& other) {
                return other.elementName_ == child.elementName_;
            });
        }
    }
    removeDisplayName(child, child.displayName_, nextBearing);
}

void ChildIndex::displayNameChanged(CNode& child, const std::string& oldDisplayName,
                                    const FindAfter& nextBearing) {
    removeDisplayName(child, oldDisplayName, nextBearing);
    addDisplayName(child, child.displayName_);
}

void ChildIndex::addDisplayName(CNode& child, const std::string& displayName) {
    const auto takeIfEarlier = [&child](Entry& entry) {
        if (entry.count++ == 0 || child.linkOrder_ < entry.first->linkOrder_)
            entry.first = &child;
    };
    takeIfEarlier(kindMap(child.kind_)[displayName]);
    takeIfEarlier(namesByElement_[child.elementName_][displayName]);
}

void ChildIndex::removeDisplayName(const CNode& child, const std::string& displayName,
                                   const FindAfter& nextBearing) {
    const auto release = [&](auto& map, auto&& bears) {
        const auto it = map.find(displayName);
        if (it == map.end())
            return;
        Entry& entry = it->second;
        if (--entry.count == 0)
            map.erase(it);
        else if (entry.first == &child)
            entry.first = nextBearing(child, bears);
    };
    release(kindMap(child.kind_), [&](const CNode& other) {
        return other.kind_ == child.kind_ && other.displayName_ == displayName;
    });
    release(namesByElement_[child.elementName_], [&](const CNode& other) {
        return other.elementName_ == child.elementName_ && other.displayName_ == displayName;
    });
    lowerHintsFreedBy(child.kind_, displayName);
}

// A freed name "<stem><n>" or "<stem>(<n>)" may be the smallest free one for
// its stem again. The stem cannot be told from the name alone ("n1041" may be
// "n104" + 1 or "n10" + 41), so every split is tried.
void ChildIndex::lowerHintsFreedBy(std::int32_t kind, const std::string& displayName) {
    NameMap<std::uint32_t>* hints = nullptr;
    for (auto& [hintKind, map] : hintsByKind_) {
        if (hintKind == kind)
            hints = &map;
    }
    if (!hints || hints->empty())
        return;

    std::string_view name(displayName);
    if (!name.empty() && name.back() == ')')
        name.remove_suffix(1);
    std::size_t digitsStart = name.size();
    while (digitsStart > 0 && isDigit(name[digitsStart - 1]))
        --digitsStart;

    for (std::size_t split = digitsStart; split < name.size(); ++split) {
        if (name[split] == '0')
            continue; // the number of a generated name has no leading zero
        const std::string_view digits = name.substr(split);
        if (digits.size() > 9)
            continue;
        std::uint32_t number = 0;
        for (const char c : digits)
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        const auto it = hints->find(name.substr(0, split));
        if (it != hints->end() && it->second > number)
            it->second = number;
    }
}

Entry ChildIndex::byElement(std::string_view elementName) const {
    return lookup(elements_, elementName);
}

Entry ChildIndex::byKind(std::int32_t kind, std::string_view displayName) const {
    const NameMap<Entry>* map = kindMap(kind);
    return map ? lookup(*map, displayName) : Entry{};
}

Entry ChildIndex::byNames(std::string_view elementName, std::string_view displayName) const {
    const auto it = namesByElement_.find(elementName);
    return it == namesByElement_.end() ? Entry{} : lookup(it->second, displayName);
}

std::uint32_t& ChildIndex::nameHint(std::int32_t kind, const std::string& stem) {
    for (auto& [hintKind, map] : hintsByKind_) {
        if (hintKind == kind)
            return map.try_emplace(stem, 1).first->second;
    }
    hintsByKind_.emplace_back(kind, NameMap<std::uint32_t>{});
    return hintsByKind_.back().second.try_emplace(stem, 1).first->second;
}

ChildIndex::NameMap<Entry>& ChildIndex::kindMap(std::int32_t kind) {
    for (auto& [mapKind, map] : namesByKind_) {
        if (mapKind == kind)
            return map;
    }
    return namesByKind_.emplace_back(kind, NameMap<Entry>{}).second;
}

const ChildIndex::NameMap<Entry>* ChildIndex::kindMap(std::int32_t kind) const {
    for (const auto& [mapKind, map] : namesByKind_) {
        if (mapKind == kind)
            return &map;
    }
    return nullptr;
}

} // namespace velmora
