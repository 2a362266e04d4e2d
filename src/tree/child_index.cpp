#include "tree/child_index.h"

#include "tree/section_node.h"

namespace velmora {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

ChildIndex::ChildIndex() = default;
// Out of line, where CSectionNode is complete.
ChildIndex::~ChildIndex() = default;

bool ChildIndex::linked(CNode& child) {
    if (!lastLinkedElement_ || lastLinkedElement_->first != child.elementName_)
        lastLinkedElement_ = &*elements_.try_emplace(child.elementName_).first;
    Entry& element = lastLinkedElement_->second;
    if (element.count++ == 0)
        element.first = &child;
    return displayNames_.insert(child, child.displayName_);
}

void ChildIndex::unlinked(const CNode& child, const FindAfter& nextWithElementName) {
    const auto it = elements_.find(child.elementName_);
    if (it != elements_.end()) {
        Entry& element = it->second;
        if (--element.count == 0) {
            if (lastLinkedElement_ == &*it)
                lastLinkedElement_ = nullptr;
            elements_.erase(it);
        } else if (element.first == &child)
            element.first = nextWithElementName(child);
    }
    displayNames_.erase(child, child.displayName_);
    lowerHintsFreedBy(child.kind_, child.displayName_);
}

void ChildIndex::displayNameChanged(CNode& child, const std::string& oldDisplayName) {
    displayNames_.erase(child, oldDisplayName);
    displayNames_.insert(child, child.displayName_);
    lowerHintsFreedBy(child.kind_, oldDisplayName);
}

CNode* ChildIndex::byKind(std::int32_t kind, std::string_view displayName) const {
    return displayNames_.find(displayName,
                              [kind](const CNode& node) { return node.kind_ == kind; });
}

CNode* ChildIndex::byNames(std::string_view elementName, std::string_view displayName) const {
    return displayNames_.find(
        displayName, [elementName](const CNode& node) { return node.elementName_ == elementName; });
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

ChildIndex::Entry ChildIndex::byElement(std::string_view elementName) const {
    const auto it = elements_.find(elementName);
    return it == elements_.end() ? Entry{} : it->second;
}

std::uint32_t& ChildIndex::nameHint(std::int32_t kind, const std::string& stem) {
    // Lists are filled one element name after another: the last hint asked
    // for is usually the next one too.
    if (lastHint_ && lastHintKind_ == kind && lastHintStem_ == stem)
        return *lastHint_;
    NameMap<std::uint32_t>* hints = nullptr;
    for (auto& [hintKind, map] : hintsByKind_) {
        if (hintKind == kind)
            hints = &map;
    }
    if (!hints)
        hints = &hintsByKind_.emplace_back(kind, NameMap<std::uint32_t>{}).second;
    lastHint_ = &hints->try_emplace(stem, 1).first->second;
    lastHintKind_ = kind;
    lastHintStem_ = stem;
    return *lastHint_;
}

} // namespace velmora
