// A document file read for loading, as strictly as the DOM that wrote the
// stored files reads it (xml_text.h has the characters and references): a
// damaged file must not load with a guess at its values, which the next save
// would make permanent.
//
// The file is read whole and its bytes checked, then parsed in place with the
// parser's own decoding of references off, so that what the parser would let
// through stays recognisable: one walk through the parsed nodes then gathers
// every element's attributes and checks them, and the values' references are
// decoded in place. All of it comes before anything is built from the file,
// so that a refused file changes nothing. The loader then reads the gathered
// attributes rather than asking the parser for each one again, which would
// cost more than the checks.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Where an attribute's name and value stand in the file's bytes, and the
// value's length: twelve bytes an attribute, where a large file holds millions.
struct AttributePlace {
    std::uint32_t name;
    std::uint32_t value;
    std::uint32_t length = 0;
};

// The attributes of one element, in the file's order.
struct ElementAttributes {
    const char* bytes = nullptr;
    std::span<const AttributePlace> places;

    const char* name(const AttributePlace& place) const { return bytes + place.name; }
    std::string_view value(const AttributePlace& place) const {
        return {bytes + place.value, place.length};
    }
};

// An attribute's name as the check for names given twice sorts it.
struct SortableName {
    std::uint64_t head = 0; // its first eight bytes, big-endian
    const char* name = nullptr;
};

class StrictXmlFile {
public:
    // False when the file at `path` cannot be read, or is not well-formed to
    // a strict parser: bytes that are not UTF-8 of characters XML allows, a
    // '<' in a value, a reference XML does not define or to a character it
    // does not allow, two attributes of one name on an element.
    bool read(const std::string& path);

    pugi::xml_document& document() { return document_; }
    // Of the deepest element, counted from the document.
    int depth() const { return depth_; }
    std::size_t nodes() const { return nodes_; }
    // No byte of the file, nor of a value its references give, lies beyond ASCII.
    bool ascii() const { return ascii_; }

    // Every attribute value of the file, references decoded, in the file's order.
    std::vector<std::string_view> values() const;

    // The attributes of `element`, references decoded. Elements are asked
    // for in document order; any may be left out, with its descendants.
    ElementAttributes attributesOf(const pugi::xml_node& element);

private:
    struct ElementPlace {
        std::uint32_t name;
        std::uint32_t firstAttribute;
    };

    bool readBytes(const std::string& path);
    bool parse();
    bool acceptsNodes();
    bool accepts(const pugi::xml_node& node);
    bool gather(const pugi::xml_node& element);
    ElementAttributes lastGathered() const;
    bool acceptsValues();
    bool decodeInPlace(AttributePlace& place);
    std::optional<std::uint32_t> placeOf(const char* text) const;

    // Before the document, which points into it.
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    bool ascii_ = false;
    bool holdsReferences_ = false;
    pugi::xml_document document_;
    int depth_ = 0;
    std::size_t nodes_ = 0;

    std::vector<ElementPlace> elements_;
    std::vector<AttributePlace> attributes_;
    std::size_t nextElement_ = 0;

    // Reused from text to text.
    std::string scratch_;
    std::vector<SortableName> scratchNames_;
};

} // namespace velmora
