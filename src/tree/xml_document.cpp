#include "tree/xml_document.h"

#include "platform/code_page.h"
#include "platform/dialog.h"
#include "platform/safe_file.h"
#include "tree/section_node.h"
#include "tree/strict_xml_file.h"
#include "tree/text_forms.h"
#include "tree/xml_text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace velmora {
namespace {

constexpr char kDocumentElement[] = "calverin";

// The storage rule for string values (see the header), by offsets from
// U+E000: the carriers of bytes at the offsets of those bytes, the marker at
// 0x20. In UTF-8, U+E000..U+E0FF are EE 80..83 followed by one continuation.
constexpr char32_t kPrivateUseBase = 0xE000;
constexpr unsigned kMarker = 0x20;
constexpr unsigned char kPrivateUseLead = 0xEE;

constexpr bool isCarrier(unsigned offset) {
    return offset < kMarker || offset >= 0x80;
}

// Private-use characters of the rule's own, which a string holding them is
// stored with after the marker.
constexpr bool isEscaped(unsigned offset) {
    return offset <= kMarker || offset >= 0x80;
}

// The offset of the private-use character U+E000..U+E0FF at `at`, if one is there.
std::optional<unsigned> privateUseAt(std::string_view text, std::size_t at) {
    if (at + 3 > text.size() || static_cast<unsigned char>(text[at]) != kPrivateUseLead)
        return std::nullopt;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if ((second & 0xFC) != 0x80 || (third & 0xC0) != 0x80)
        return std::nullopt;
    return (second & 0x03u) << 6 | (third & 0x3Fu);
}

void appendPrivateUse(std::string& out, unsigned offset) {
    appendUtf8(out, kPrivateUseBase + offset);
}

// Only the carriers and escapes start with 0xEE; memchr finds it fast.
bool mayHoldEscapes(std::string_view stored) {
    return stored.find(static_cast<char>(kPrivateUseLead)) != std::string_view::npos;
}

// Bytes that may need a carrier or start an escape: the control bytes XML
// cannot carry, and every byte from 0x80 on, which may not be well-formed UTF-8.
constexpr std::array<bool, 256> kBytesNeedingWork = [] {
    std::array<bool, 256> table{};
    for (unsigned byte = 0; byte < 0x20; ++byte)
        table[byte] = byte != '\t' && byte != '\n' && byte != '\r';
    for (unsigned byte = 0x80; byte < 0x100; ++byte)
        table[byte] = true;
    return table;
}();

// Almost every stored string has none of those bytes: one table look per byte.
bool hasByteNeedingWork(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return kBytesNeedingWork[static_cast<unsigned char>(c)]; });
}

void showLoadFailure(const std::string& text) {
    currentDialog().ask("", text, dialog_flags::kOk);
}

// The first character of the file's strings that tree text cannot hold, in
// words. Such a file is refused whole: a '?' in that character's place would
// be saved over the file.
std::optional<std::string> firstCharacterTreeTextLacks(const StrictXmlFile& file) {
    if (file.ascii() || treeTextHoldsEveryCharacter())
        return std::nullopt;
    for (const std::string_view value : file.values()) {
        if (utf8IsTreeText(value))
            continue;
        if (std::optional<std::string> lacked =
                treeTextLacks(decodeStoredString(std::string(value))))
            return lacked;
    }
    return std::nullopt;
}

// Inline and stopping at the first difference: names are short, and a call to
// strcmp for each attribute cost more than the comparison itself.
bool isNamed(std::string_view known, const char* name) {
    for (std::size_t i = 0; i < known.size(); ++i) {
        // Stops at the end of `name` too, since no known name holds a NUL.
        if (name[i] != known[i])
            return false;
    }
    return name[known.size()] == '\0';
}

// Beyond what the parser checks: one document element, and no text outside it.
bool hasSingleDocumentElement(const pugi::xml_document& document) {
    int elements = 0;
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_element)
            ++elements;
        else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            return false;
    }
    return elements == 1;
}

std::size_t elementCount(const pugi::xml_node& node) {
    return static_cast<std::size_t>(std::count_if(node.begin(), node.end(), [](const auto& child) {
        return child.type() == pugi::node_element;
    }));
}

// Files written here hold the attributes in the order of the node's table, so
// the next entry of the table is tried before the name is looked up.
const PropertyDef* propertyFor(CSectionNode& node, const char* name, std::size_t& expected) {
    const std::vector<PropertyDef>& table = node.schema().inNameOrder();
    if (expected < table.size() && isNamed(table[expected].name, name))
        return &table[expected++];
    const PropertyDef* def = node.findProperty(name);
    if (def)
        expected = static_cast<std::size_t>(def - table.data()) + 1;
    return def;
}

std::optional<std::string_view> valueNamed(const ElementAttributes& attributes,
                                           std::string_view name) {
    for (const AttributePlace& place : attributes.places) {
        if (isNamed(name, attributes.name(place)))
            return attributes.value(place);
    }
    return std::nullopt;
}

// A child element read from a file, named by its "name" attribute from the
// start when it has one, so that no name is made up only to be replaced.
struct ReadChild {
    CSectionNode* node = nullptr;
    // Whether the "name" attribute is applied already; the load skips it.
    bool named = false;
};

// Builds the tree from the parsed file. In a large file each element is freed
// from the parsed form once it has been read, so that the parser's pages go
// back to the heap while the tree grows and the two never stand in memory
// side by side; in a small one the freeing would cost more time than the
// memory is worth.
class TreeLoader {
public:
    TreeLoader(StrictXmlFile& file, bool freeAsRead)
        : file_(file), asciiFile_(file.ascii()), freeAsRead_(freeAsRead) {}

    void load(CSectionNode& node, pugi::xml_node element, const ElementAttributes& attributes,
              bool named = false) {
        node.startGathering(gathered_);
        try {
            loadAttributes(node, attributes, named);
        } catch (...) {
            // What was read before the failure stays read, and the node lets go of gathered_.
            node.storeGathered();
            throw;
        }
        node.storeGathered();
        // Children a node was only given provisionally give way to the file's own.
        node.removeDiscardedChildren();
        for (pugi::xml_node child = element.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (child.type() == pugi::node_element) {
                const ElementAttributes childAttributes = file_.attributesOf(child);
                if (const ReadChild read = addChildFor(node, child, childAttributes); read.node)
                    load(*read.node, child, childAttributes, read.named);
            }
            if (freeAsRead_)
                element.remove_child(child);
            child = next;
        }
        node.loadFinished();
    }

private:
    // The tree text of a stored string: the file's own characters in the
    // common case, else decoded into scratch_. The escapes of the storage rule
    // are not ASCII, and ASCII is tree text everywhere.
    std::string_view treeText(std::string_view stored) {
        if (asciiFile_ || (!mayHoldEscapes(stored) && utf8IsTreeText(stored)))
            return stored;
        scratch_ = utf8ToTreeText(decodeStoredString(std::string(stored)));
        return scratch_;
    }

    ReadChild addChildFor(CSectionNode& parent, const pugi::xml_node& element,
                          const ElementAttributes& attributes) {
        const std::optional<std::string_view> name = valueNamed(attributes, "name");
        if (!name)
            return {parent.addChild(element.name()), false};
        const std::string displayName(treeText(*name));
        const CNode::LinkedChild child = parent.addChildAsNamed(element.name(), displayName);
        // The name's accept hook makes a name an earlier sibling bears unique; a
        // name no sibling bore needs no check.
        if (child.nameBorne)
            child.node->acceptString("name", displayName);
        return {child.node, true};
    }

    void loadAttributes(CSectionNode& node, const ElementAttributes& attributes, bool named) {
        std::size_t expected = 0;
        for (const AttributePlace& place : attributes.places) {
            const PropertyDef* def = propertyFor(node, attributes.name(place), expected);
            if (!def || (def->builtIn == BuiltIn::Name && named))
                continue;
            const std::string_view value = attributes.value(place);
            node.assignFromXml(*def, def->kind == PropertyKind::String ? treeText(value) : value);
        }
    }

    StrictXmlFile& file_;
    const bool asciiFile_;
    const bool freeAsRead_;
    // Reused from element to element, so that reading allocates only for the tree.
    TextBlockBuilder gathered_;
    std::string scratch_;
};

// From this many parsed nodes on, the parsed form is freed while it is read.
constexpr std::size_t kNodesFreedAsRead = 20'000;

// None for a property the file leaves out: a name of no kind, or a date of
// day count 0.0 (its text is empty).
std::optional<std::string> attributeText(const CSectionNode& node, const PropertyDef& def) {
    if (def.kind == PropertyKind::None)
        return std::nullopt;
    std::string text = storedValueText(node, def);
    if (def.kind == PropertyKind::String)
        return encodeStoredString(treeTextToUtf8(std::move(text)));
    if (def.kind == PropertyKind::Date && text.empty())
        return std::nullopt;
    return text;
}

void writeElement(const CSectionNode& node, pugi::xml_node& container) {
    pugi::xml_node element = container.append_child(node.getName().c_str());
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (const std::optional<std::string> text = attributeText(node, def))
            element.append_attribute(def.name.c_str()).set_value(text->c_str());
    }
    for (const auto& child : node.children())
        writeElement(*child, element);
}

class StringWriter final : public pugi::xml_writer {
public:
    std::string bytes;
    void write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

const char* entityFor(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    default:
        return nullptr;
    }
}

// Runs of characters that need no entity are appended whole.
void appendEscapedXml(std::string& out, std::string_view text) {
    std::size_t plainStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const char* entity = entityFor(text[i])) {
            out.append(text.substr(plainStart, i - plainStart));
            out += entity;
            plainStart = i + 1;
        }
    }
    out.append(text.substr(plainStart));
}

void appendNodeValue(CSectionNode& node, std::string& out) {
    out += '<';
    out += node.getName();
    const auto& registered = node.schema().inNameOrder();
    const auto& noKind = node.namesOfNoKind();
    auto nextRegistered = registered.begin();
    auto nextNoKind = noKind.begin();
    while (nextRegistered != registered.end() || nextNoKind != noKind.end()) {
        const bool takeRegistered =
            nextNoKind == noKind.end() ||
            (nextRegistered != registered.end() && nextRegistered->name < *nextNoKind);
        const std::string& name = takeRegistered ? nextRegistered->name : *nextNoKind;
        out += ' ';
        out += name;
        out += "=\"";
        if (!takeRegistered) {
            ++nextNoKind;
        } else {
            const PropertyDef& def = *nextRegistered++;
            // A string is escaped straight from the node, without a copy.
            if (def.kind == PropertyKind::String)
                appendEscapedXml(out, node.stringOf(def));
            else
                appendEscapedXml(out, node.propertyText(def));
        }
        out += '"';
    }
    out += '>';
    for (const auto& child : node.children())
        appendNodeValue(*child, out);
    out += "</";
    out += node.getName();
    out += '>';
}

} // namespace

int loadXmlFile(CSectionNode& node, const std::string& path) {
    StrictXmlFile file;
    // The document element sits at depth 1 and the node's own element at 2.
    if (!file.read(path) || !hasSingleDocumentElement(file.document()) ||
        file.depth() > kMaxTreeDepth + 1) {
        showLoadFailure("Load document failed");
        return -1;
    }
    const pugi::xml_node first = file.document().first_child();
    if (first.type() != pugi::node_element || std::string_view(first.name()) != kDocumentElement)
        return -1;
    // One element holds the whole tree: a load that took one of two would
    // drop the other from the file at the next save.
    if (elementCount(first) > 1) {
        showLoadFailure("Load document failed");
        return -1;
    }
    const pugi::xml_node content = first.find_child(
        [](const pugi::xml_node& child) { return child.type() == pugi::node_element; });
    if (!content)
        return -1;
    if (const std::optional<std::string> lacked = firstCharacterTreeTextLacks(file)) {
        showLoadFailure("Load document failed: " + path + ": " + *lacked);
        return -1;
    }
    TreeLoader loader(file, file.nodes() >= kNodesFreedAsRead);
    loader.load(node, content, file.attributesOf(content));
    return 0;
}

int saveXmlFile(CSectionNode& node, const std::string& path) {
    return writeFileReplacing(path, xmlFileText(node)) ? 0 : -1;
}

std::string xmlFileText(CSectionNode& node) {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(kDocumentElement);
    writeElement(node, root);
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(writer.bytes);
}

std::string storedValueText(const CSectionNode& node, const PropertyDef& def) {
    switch (def.kind) {
    case PropertyKind::String:
        return std::string(node.stringOf(def));
    case PropertyKind::Long:
        return formatLong(std::get<std::int32_t>(node.slotValue(def)));
    case PropertyKind::Double:
        return formatDoubleExact(std::get<double>(node.slotValue(def)));
    case PropertyKind::Bool:
        return std::get<std::int16_t>(node.slotValue(def)) != 0 ? "1" : "0";
    case PropertyKind::Date: {
        const OleDate& date = std::get<OleDate>(node.slotValue(def));
        return date.days == 0.0 ? std::string() : formatDate(date);
    }
    case PropertyKind::None:
        break;
    }
    return {};
}

std::string nodeValueText(CSectionNode& node) {
    std::string out;
    appendNodeValue(node, out);
    return out;
}

std::string encodeStoredString(std::string text) {
    if (!hasByteNeedingWork(text))
        return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = xmlCharacterLength(text, i);
        if (length == 0) {
            appendPrivateUse(out, static_cast<unsigned char>(text[i++]));
            continue;
        }
        if (const std::optional<unsigned> offset = privateUseAt(text, i);
            offset && isEscaped(*offset))
            appendPrivateUse(out, kMarker);
        out.append(text, i, length);
        i += length;
    }
    return out;
}

std::string decodeStoredString(std::string text) {
    if (!mayHoldEscapes(text))
        return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::optional<unsigned> offset = privateUseAt(text, i);
        const std::optional<unsigned> next = offset ? privateUseAt(text, i + 3) : std::nullopt;
        if (offset == kMarker && next && isEscaped(*next)) {
            out.append(text, i + 3, 3);
            i += 6;
        } else if (offset && isCarrier(*offset)) {
            out += static_cast<char>(*offset);
            i += 3;
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace velmora
