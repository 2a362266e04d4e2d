#include "tree/node.h"

#include "tree/section_node.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace velmora {
namespace {

constexpr bool isNameStartChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

constexpr bool isNameChar(unsigned char c) {
    return isNameStartChar(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Every element read from a file is checked: one table look per byte.
constexpr std::array<bool, 256> kNameChars = [] {
    std::array<bool, 256> table{};
    for (unsigned c = 0; c < table.size(); ++c)
        table[c] = isNameChar(static_cast<unsigned char>(c));
    return table;
}();

} // namespace

bool isXmlName(std::string_view name) {
    if (name.empty() || !isNameStartChar(static_cast<unsigned char>(name.front())))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return kNameChars[static_cast<unsigned char>(c)]; });
}

CNode::CNode(std::string elementName, std::int32_t kind, CNode* parent)
    : kind_(kind), parent_(parent), elementName_(std::move(elementName)) {}

CNode::~CNode() = default;

bool ChildVocabulary::accepts(std::string_view name) const {
    return anyName || std::find(names.begin(), names.end(), name) != names.end();
}

std::unique_ptr<CSectionNode> CNode::createChildNode(const std::string&) {
    return nullptr;
}

ChildVocabulary CNode::childVocabulary() const {
    return {};
}

std::string CNode::makeUniqueName(CNode& child, bool bracketed) {
    CNode* searchNode = bracketed ? parent_ : this;
    const std::string stem = bracketed ? displayName_ + "(" : child.elementName_;
    const std::string_view close = bracketed ? ")" : "";

    // Names are tried from the smallest number that may still be free.
    std::uint32_t unused = 1;
    std::uint32_t& hint = searchNode ? searchNode->index().nameHint(child.kind_, stem) : unused;
    std::string candidate;
    for (std::uint32_t n = hint;; ++n) {
        std::array<char, 16> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), n).ptr;
        candidate.assign(stem).append(digits.data(), end).append(close);
        if (!searchNode || !searchNode->findChildByKind(child.kind_, candidate)) {
            hint = n;
            break;
        }
    }
    child.rename(candidate);
    return candidate;
}

void CNode::rename(std::string newName) {
    if (newName == displayName_)
        return;
    std::string oldName = std::exchange(displayName_, std::move(newName));
    if (linked_)
        parent_->index().displayNameChanged(*this, oldName);
}

void CNode::setDiscardMark(bool mark) {
    if (mark == discardMark_)
        return;
    discardMark_ = mark;
    if (linked_)
        parent_->index().discardMarkedChildren += mark ? 1 : -1;
}

CSectionNode* CNode::addChild(const std::string& elementName) {
    std::unique_ptr<CSectionNode> child = newChild(elementName);
    if (!child)
        return nullptr;
    makeUniqueName(*child, false);
    return link(std::move(child)).node;
}

CNode::LinkedChild CNode::addChildAsNamed(const std::string& elementName, std::string displayName) {
    std::unique_ptr<CSectionNode> child = newChild(elementName);
    if (!child)
        return {};
    child->displayName_ = std::move(displayName);
    return link(std::move(child));
}

std::unique_ptr<CSectionNode> CNode::newChild(const std::string& elementName) {
    if (!isXmlName(elementName) || isAtDepthLimit())
        return nullptr;
    return createChildNode(elementName);
}

CNode::LinkedChild CNode::link(std::unique_ptr<CSectionNode> child) {
    ChildIndex& lists = index();
    child->linked_ = true;
    child->linkOrder_ = lists.nextLinkOrder++;
    if (child->discardMark_)
        ++lists.discardMarkedChildren;
    const bool nameBorne = lists.linked(*child);
    lists.children.push_back(std::move(child));
    return {lists.children.back().get(), nameBorne};
}

const std::vector<std::unique_ptr<CSectionNode>>& CNode::children() const {
    static const std::vector<std::unique_ptr<CSectionNode>> none;
    return index_ ? index_->children : none;
}

CSectionNode* CNode::nextChild(const CNode* previous) const {
    const auto& list = children();
    if (!previous)
        return list.empty() ? nullptr : list.front().get();
    const std::size_t position = positionOf(previous);
    if (position + 1 >= list.size())
        return nullptr;
    return list[position + 1].get();
}

CSectionNode* CNode::findChild(std::string_view elementName, const CNode* start) const {
    if (!start) {
        if (!index_)
            return nullptr;
        return static_cast<CSectionNode*>(index_->byElement(elementName).first);
    }
    const auto& list = children();
    for (std::size_t i = positionOf(start) + 1; i < list.size(); ++i) {
        if (list[i]->elementName_ == elementName)
            return list[i].get();
    }
    return nullptr;
}

CSectionNode* CNode::findChildByNames(std::string_view elementName,
                                      std::string_view displayName) const {
    if (!index_)
        return nullptr;
    return static_cast<CSectionNode*>(index_->byNames(elementName, displayName));
}

CSectionNode* CNode::findChildByKind(std::int32_t kind, std::string_view displayName) const {
    if (!index_)
        return nullptr;
    return static_cast<CSectionNode*>(index_->byKind(kind, displayName));
}

std::size_t CNode::countChildren(std::string_view elementName) const {
    if (elementName.empty())
        return childCount();
    return index_ ? index_->byElement(elementName).count : 0;
}

bool CNode::removeChild(const CNode* child) {
    const std::size_t position = positionOf(child);
    if (position >= childCount())
        return false;
    ChildIndex& lists = index();
    lists.unlinked(*child, nextWithSameElementName());
    if (child->discardMark_)
        --lists.discardMarkedChildren;
    lists.children.erase(lists.children.begin() + static_cast<std::ptrdiff_t>(position));
    return true;
}

void CNode::removeAllChildren() {
    index_.reset();
}

int CNode::depth() const {
    int depth = 0;
    for (const CNode* node = parent_; node; node = node->parent_)
        ++depth;
    return depth;
}

void CNode::removeDiscardedChildren() {
    if (!index_ || index_->discardMarkedChildren == 0)
        return;
    const auto& list = index_->children;
    for (std::size_t i = 0; i < list.size();) {
        if (list[i]->discardMark_)
            removeChild(list[i].get());
        else
            ++i;
    }
}

std::size_t CNode::positionOf(const CNode* child) const {
    const auto& list = children();
    if (!child || child->parent_ != this || !child->linked_)
        return list.size();
    const auto it = std::find_if(list.begin(), list.end(), [child](const auto& candidate) {
        return candidate.get() == child;
    });
    return static_cast<std::size_t>(it - list.begin());
}

ChildIndex::FindAfter CNode::nextWithSameElementName() const {
    return [this](const CNode& after) -> CNode* {
        const auto& list = children();
        for (std::size_t i = positionOf(&after) + 1; i < list.size(); ++i) {
            if (list[i]->elementName_ == after.elementName_)
                return list[i].get();
        }
        return nullptr;
    };
}

ChildIndex& CNode::index() {
    if (!index_)
        index_ = std::make_unique<ChildIndex>();
    return *index_;
}

} // namespace velmora
