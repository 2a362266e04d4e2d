#include "json_export.h"

#include "archive/json_text.h"
#include "platform/code_page.h"
#include "tree/section_node.h"
#include "tree/xml_document.h"

#include <cstdio>
#include <string_view>

namespace velmora::cli {
namespace {

const char* kindName(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::String:
        return "string";
    case PropertyKind::Long:
        return "long";
    case PropertyKind::Double:
        return "double";
    case PropertyKind::Date:
        return "date";
    case PropertyKind::Bool:
        return "bool";
    case PropertyKind::None:
        break;
    }
    return "none";
}

// JSON is UTF-8 whatever the tree text is.
void writeString(std::ostream& out, std::string_view text) {
    out << archive::jsonQuoted(treeTextToUtf8(std::string(text)));
}

void writeNode(std::ostream& out, CSectionNode& node) {
    out << "{\"element\":";
    writeString(out, node.getName());
    out << ",\"name\":";
    writeString(out, node.getDisplayName());
    out << ",\"description\":";
    writeString(out, node.getDescription());
    out << ",\"properties\":{";
    bool first = true;
    for (const PropertyDef& def : node.schema().inNameOrder()) {
        if (def.builtIn != BuiltIn::No)
            continue;
        out << (first ? "" : ",");
        first = false;
        writeString(out, def.name);
        out << ":{\"kind\":\"" << kindName(def.kind) << "\",\"value\":";
        writeString(out, storedValueText(node, def));
        out << '}';
    }
    out << "},\"children\":[";
    first = true;
    for (const auto& child : node.children()) {
        out << (first ? "" : ",");
        first = false;
        writeNode(out, *child);
    }
    out << "]}";
}

} // namespace

void writeJson(std::ostream& out, CSectionNode& node) {
    writeNode(out, node);
    out << '\n';
}

} // namespace velmora::cli
