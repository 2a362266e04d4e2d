// CSectionNode: a node with a typed property table and the default XML load
// and save of its subtree.
//
// Every node of a document is a CSectionNode. Its class's PropertySchema says
// which properties it has; the node holds their values. A name looked up that
// the class does not have is remembered as an "entry of no kind": it reads as
// the empty text, shows in the node's XML text, and is never written to a
// file. Section classes override createChildNode (their child vocabulary) and
// createDefaultChildren (the lines every new section has).
#pragma once

#include "tree/node.h"
#include "tree/property_schema.h"
#include "tree/text_block.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class CSectionNode : public CNode {
public:
    CSectionNode(std::string elementName, std::int32_t kind, CNode* parent,
                 const PropertySchema& schema = PropertySchema::base());

    // Reads the file at `path` into this node (0) or refuses it (-1).
    virtual int load(const std::string& path);
    // Writes this subtree as a new file: 0 when it was written, -1 when not.
    virtual int save(const std::string& path);
    // The subtree as XML text.
    virtual std::string nodeValue();
    // Adds the children every new node of this class has.
    virtual void createDefaultChildren() {}

    // Accept hooks: the XML loader asks before it stores an attribute's value;
    // false keeps the member as it was. setPropertyValue does not ask.
    virtual bool acceptDate(const std::string& name, const OleDate& incoming);
    virtual bool acceptBool(const std::string& name, std::int16_t incoming);
    virtual bool acceptString(const std::string& name, std::string_view incoming);
    virtual bool acceptDouble(const std::string& name, double incoming);
    virtual bool acceptLong(const std::string& name, std::int32_t incoming);

    // Called when this node's element has been read: removes every sibling
    // (this node included) whose discard mark is set. Nothing of this node
    // may be touched after the call.
    virtual void loadFinished();

    // The text of a property by the kind's rules; empty for a name of no kind.
    std::string getPropertyValue(std::string_view name);
    std::string propertyText(const PropertyDef& def) const;
    // Converts `text` by the kind's rules and stores it: 0, or -1 for a name
    // the class does not have.
    int setPropertyValue(std::string_view name, std::string_view text);

    // The XML loader's store: converts an attribute's text, asks the accept
    // hook and stores the value when the hook agrees. Between startGathering
    // and storeGathered, which the loader calls around an element's
    // attributes, the texts of string properties other than the built-in ones
    // are stored in `gathered` (hooks and stores meanwhile see them as stored)
    // and given to the node as one block at the end.
    void startGathering(TextBlockBuilder& gathered);
    void assignFromXml(const PropertyDef& def, std::string_view text);
    void storeGathered();

    // Typed access without text conversion, for code that knows each name's
    // kind. A name the class lacks, or has with another kind, changes nothing
    // and leaves `out` as it was; putString also shows "Property not found".
    void putString(std::string_view name, std::string text);
    void getString(std::string_view name, std::string& out);
    void putLong(std::string_view name, std::int32_t value);
    void getLong(std::string_view name, std::int32_t& out);
    void putDouble(std::string_view name, double value);
    void putDate(std::string_view name, OleDate value);

    // The definition of `name`, or nullptr after entering it as an entry of
    // no kind when the class lacks it.
    const PropertyDef* findProperty(std::string_view name);

    const PropertySchema& schema() const { return *schema_; }
    // Names looked up that the class does not have, in name order.
    const std::vector<std::string>& namesOfNoKind() const;

    // The stored value of a registered property, for the XML layer: the text
    // of a string property (valid until the node's next store of a string or
    // rename) from stringOf, the value of any other kind from slotValue.
    std::string_view stringOf(const PropertyDef& def) const;
    const PropertyValue& slotValue(const PropertyDef& def) const { return values_[def.slot]; }
    // Whether a registered property still holds its class's initial value.
    bool holdsInitial(const PropertyDef& def) const;

protected:
    // Stores a string without asking an accept hook, for subclasses that keep
    // members with behaviour of their own (e.g. the document type).
    void storeString(const PropertyDef& def, std::string_view text);

private:
    template <typename T> T* typedSlot(std::string_view name, PropertyKind kind);
    void store(const PropertyDef& def, PropertyValue value);
    // The node's own texts once it has stored one, else its class's.
    const TextBlock& texts() const;
    // Puts the names of no kind gathered while loading in order, once.
    void sortNamesOfNoKind();

    const PropertySchema* schema_;
    std::unique_ptr<PropertyValue[]> values_;
    TextBlock texts_;
    // The loader's texts of the element being read into this node, if any.
    TextBlockBuilder* gathering_ = nullptr;
    // Rare, so kept out of line: most nodes never meet a name of no kind.
    std::unique_ptr<std::vector<std::string>> namesOfNoKind_;
};

} // namespace velmora
