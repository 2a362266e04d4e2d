#include "tree/strict_xml_file.h"

#include "platform/native_path.h"
#include "tree/xml_text.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>

namespace velmora {
namespace {

// Places in a file are kept in 32 bits; no document comes near 4 GB.
constexpr std::size_t kLargestFile = std::numeric_limits<std::uint32_t>::max();

// As a fragment, because otherwise the parser drops text outside the document
// element without a word and the loader cannot refuse it.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_escapes) |
                                   pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_doctype | pugi::parse_fragment;

// Inline: names are short and differ early, and a call to strcmp for each
// attribute cost more than the comparison itself.
bool namedBefore(const char* name, const char* other) {
    while (*name != '\0' && *name == *other) {
        ++name;
        ++other;
    }
    return static_cast<unsigned char>(*name) < static_cast<unsigned char>(*other);
}

// A name with its first eight bytes as one big-endian number (zeros after
// its end), which orders as the bytes do: sorting compares most names in one
// step, and the whole names only where the first eight bytes agree.
SortableName sortableName(const char* name) {
    SortableName sortable{0, name};
    bool ended = false;
    for (int i = 0; i < 8; ++i) {
        const auto byte = ended ? 0u : static_cast<unsigned char>(name[i]);
        ended = byte == 0;
        sortable.head = (sortable.head << 8) | byte;
    }
    return sortable;
}

bool sortsBefore(const SortableName& name, const SortableName& other) {
    if (name.head != other.head)
        return name.head < other.head;
    return namedBefore(name.name, other.name);
}

// Files hold an element's attributes in name order, so that comparing each
// name with the one before proves them distinct in the common case; any
// other order costs one sort.
bool hasDistinctNames(const ElementAttributes& attributes, std::vector<SortableName>& names) {
    const std::span<const AttributePlace> places = attributes.places;
    bool inNameOrder = true;
    for (std::size_t i = 1; i < places.size() && inNameOrder; ++i)
        inNameOrder = namedBefore(attributes.name(places[i - 1]), attributes.name(places[i]));
    if (inNameOrder)
        return true;
    names.clear();
    for (const AttributePlace& place : places)
        names.push_back(sortableName(attributes.name(place)));
    std::sort(names.begin(), names.end(), sortsBefore);
    return std::adjacent_find(names.begin(), names.end(),
                              [](const SortableName& a, const SortableName& b) {
                                  return !sortsBefore(a, b);
                              }) == names.end();
}

} // namespace

bool StrictXmlFile::read(const std::string& path) {
    return readBytes(path) && parse() && acceptsNodes() && acceptsValues();
}

ElementAttributes StrictXmlFile::attributesOf(const pugi::xml_node& element) {
    const std::optional<std::uint32_t> name = placeOf(element.name());
    while (nextElement_ < elements_.size() && elements_[nextElement_].name != name)
        ++nextElement_;
    if (nextElement_ == elements_.size())
        return {};
    const std::size_t first = elements_[nextElement_].firstAttribute;
    ++nextElement_;
    const std::size_t end = nextElement_ < elements_.size() ? elements_[nextElement_].firstAttribute
                                                            : attributes_.size();
    return {bytes_.get(), std::span(attributes_).subspan(first, end - first)};
}

std::vector<std::string_view> StrictXmlFile::values() const {
    std::vector<std::string_view> values;
    values.reserve(attributes_.size());
    for (const AttributePlace& place : attributes_)
        values.emplace_back(bytes_.get() + place.value, place.length);
    return values;
}

bool StrictXmlFile::readBytes(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0 || static_cast<std::uintmax_t>(size) > kLargestFile)
        return false;
    size_ = static_cast<std::size_t>(size);
    bytes_ = std::make_unique_for_overwrite<char[]>(size_);
    in.seekg(0);
    return static_cast<bool>(in.read(bytes_.get(), size));
}

bool StrictXmlFile::parse() {
    const std::string_view bytes(bytes_.get(), size_);
    const TextBytes text = scanTextBytes(bytes);
    if (!text.xmlCharacters)
        return false;
    ascii_ = text.ascii;
    // Texts can only hold references when the file holds an '&'.
    holdsReferences_ = bytes.find('&') != std::string_view::npos;
    return document_.load_buffer_inplace(bytes_.get(), size_, kParseOptions, pugi::encoding_utf8);
}

// Iterative, so that a hostile file cannot exhaust the stack here either.
bool StrictXmlFile::acceptsNodes() {
    // Room for the attributes of a file as this program writes it, so that
    // gathering them copies nothing as it goes.
    attributes_.reserve(size_ / 16);
    elements_.reserve(size_ / 128);
    int depth = 0;
    pugi::xml_node node = document_.first_child();
    while (node) {
        ++nodes_;
        if (!accepts(node))
            return false;
        if (node.type() == pugi::node_element)
            depth_ = std::max(depth_, depth + 1);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling() && depth >= 0) {
            node = node.parent();
            --depth;
        }
        node = depth < 0 ? pugi::xml_node() : node.next_sibling();
    }
    return true;
}

bool StrictXmlFile::accepts(const pugi::xml_node& node) {
    if (node.type() == pugi::node_element)
        return gather(node) && hasDistinctNames(lastGathered(), scratchNames_);
    if (node.type() == pugi::node_pcdata && holdsReferences_)
        return decodeReferences(node.value(), scratch_);
    return true;
}

// False for texts that do not stand in the file's bytes, which the parser
// working in place cannot give.
bool StrictXmlFile::gather(const pugi::xml_node& element) {
    const std::optional<std::uint32_t> name = placeOf(element.name());
    if (!name)
        return false;
    elements_.push_back({*name, static_cast<std::uint32_t>(attributes_.size())});
    // The null attribute after the last has an empty name, which no parsed
    // attribute has: testing the name saves a call into the parser for each.
    for (pugi::xml_attribute attribute = element.first_attribute();;
         attribute = attribute.next_attribute()) {
        const char* const text = attribute.name();
        if (*text == '\0')
            return true;
        const std::optional<std::uint32_t> attributeName = placeOf(text);
        const std::optional<std::uint32_t> value = placeOf(attribute.value());
        if (!attributeName || !value)
            return false;
        attributes_.push_back({*attributeName, *value});
    }
}

ElementAttributes StrictXmlFile::lastGathered() const {
    return {bytes_.get(), std::span(attributes_).subspan(elements_.back().firstAttribute)};
}

bool StrictXmlFile::acceptsValues() {
    for (AttributePlace& place : attributes_) {
        const std::string_view raw(bytes_.get() + place.value);
        if (raw.find('<') != std::string_view::npos)
            return false;
        place.length = static_cast<std::uint32_t>(raw.size());
        if (holdsReferences_ && raw.find('&') != std::string_view::npos && !decodeInPlace(place))
            return false;
    }
    return true;
}

// A reference is longer than the character it stands for, so the decoded text
// fits where the raw one stood, and ends with a NUL as that did.
bool StrictXmlFile::decodeInPlace(AttributePlace& place) {
    char* const value = bytes_.get() + place.value;
    if (!decodeReferences({value, place.length}, scratch_))
        return false;
    std::memcpy(value, scratch_.data(), scratch_.size());
    value[scratch_.size()] = '\0';
    place.length = static_cast<std::uint32_t>(scratch_.size());
    ascii_ = ascii_ && std::all_of(scratch_.begin(), scratch_.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return true;
}

std::optional<std::uint32_t> StrictXmlFile::placeOf(const char* text) const {
    const char* const begin = bytes_.get();
    const std::less<const char*> before;
    if (before(text, begin) || !before(text, begin + size_))
        return std::nullopt;
    return static_cast<std::uint32_t>(text - begin);
}

} // namespace velmora
