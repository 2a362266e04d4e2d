// CNode: the tree core of every document node.
//
// A node has an element name (its tag in paths and files), a display name
// (the property "name", which tells apart siblings of one element name), a
// description, a non-owning parent link and an ordered list of owned
// children. Children are appended only at the end and may be removed from
// anywhere. Typed properties and the XML hooks come with CSectionNode.
#pragma once

#include "tree/child_index.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class CSectionNode;

// Trees of more levels than this are neither loaded nor built: a real
// document has fewer than ten, and every recursive walk over a tree stays far
// from the end of the stack.
inline constexpr int kMaxTreeDepth = 32;

// The element names a node's createChildNode makes children of.
struct ChildVocabulary {
    std::vector<std::string> names;
    // An open vocabulary: every XML element name makes a child.
    bool anyName = false;

    bool accepts(std::string_view name) const;
};

class CNode {
public:
    CNode(std::string elementName, std::int32_t kind, CNode* parent);
    virtual ~CNode();
    CNode(const CNode&) = delete;
    CNode& operator=(const CNode&) = delete;

    // The child class for `elementName` in this node's vocabulary, constructed
    // with this node as its parent, or none when the name is not part of it.
    virtual std::unique_ptr<CSectionNode> createChildNode(const std::string& elementName);
    // The names createChildNode knows, from the same rules it follows.
    virtual ChildVocabulary childVocabulary() const;

    // Gives `child` a display name no sibling of its kind bears: its element
    // name followed by the smallest free positive number; when `bracketed`,
    // this node's display name followed by "(n)", unique among this node's
    // siblings. Returns the name given.
    virtual std::string makeUniqueName(CNode& child, bool bracketed);

    const std::string& getName() const { return elementName_; }
    const std::string& getDisplayName() const { return displayName_; }
    const std::string& getDescription() const { return description_; }
    std::int32_t getKind() const { return kind_; }
    CNode* getParent() const { return parent_; }

    void rename(std::string newName);
    void setDescription(std::string text) { description_ = std::move(text); }

    bool discardMark() const { return discardMark_; }
    // Marks this node as provisional: the XML loader drops it when it reads
    // the file's children of its parent, and so does a sibling's
    // loadFinished.
    void setDiscardMark(bool mark);

    // Asks createChildNode for `elementName`, names the child with
    // makeUniqueName and appends it. None, and nothing changed, when the
    // vocabulary lacks the name, the name cannot be an XML element name, or
    // the tree would grow beyond kMaxTreeDepth levels.
    CSectionNode* addChild(const std::string& elementName);
    struct LinkedChild {
        CSectionNode* node = nullptr;
        // Whether an earlier sibling bears the child's display name too.
        bool nameBorne = false;
    };
    // Like addChild, but the child bears `displayName` as given, whether a
    // sibling bears it too or not. For the XML loader: the file names the
    // child, and the name's accept hook makes a repeated name unique.
    LinkedChild addChildAsNamed(const std::string& elementName, std::string displayName);

    const std::vector<std::unique_ptr<CSectionNode>>& children() const;
    std::size_t childCount() const { return index_ ? index_->children.size() : 0; }

    CSectionNode* nextChild(const CNode* previous) const;
    CSectionNode* findChild(std::string_view elementName, const CNode* start = nullptr) const;
    CSectionNode* findChildByNames(std::string_view elementName,
                                   std::string_view displayName) const;
    CSectionNode* findChildByKind(std::int32_t kind, std::string_view displayName) const;
    // All children for the empty name, else those of that element name.
    std::size_t countChildren(std::string_view elementName) const;

    bool removeChild(const CNode* child);
    void removeAllChildren();

    // Number of ancestors; 0 for a root.
    int depth() const;
    // Whether a child would take the tree beyond kMaxTreeDepth levels.
    bool isAtDepthLimit() const { return depth() + 1 >= kMaxTreeDepth; }

    // Removes and destroys every child whose discard mark is set.
    void removeDiscardedChildren();

private:
    std::unique_ptr<CSectionNode> newChild(const std::string& elementName);
    LinkedChild link(std::unique_ptr<CSectionNode> child);
    std::size_t positionOf(const CNode* child) const;
    ChildIndex::FindAfter nextWithSameElementName() const;
    ChildIndex& index();

    // Documents hold tens of thousands of nodes, most of them leaves: the
    // small fields share a word, and what only a parent needs (the children
    // themselves included) lives in its ChildIndex.
    bool discardMark_ = false;
    // Set while this node is in its parent's child list.
    bool linked_ = false;
    std::int32_t kind_;
    CNode* parent_;
    std::string elementName_;
    std::string displayName_;
    std::string description_;
    // Orders children without looking up their positions.
    std::uint64_t linkOrder_ = 0;
    std::unique_ptr<ChildIndex> index_;

    friend class ChildIndex;
    friend class DisplayNameTable;
};

// True when `name` can stand as an XML element name in our files.
bool isXmlName(std::string_view name);

} // namespace velmora
