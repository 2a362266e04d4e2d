// The XML form of a node tree.
//
// A file holds the document element "calverin" and, inside it, one element
// per node: the tag is the node's element name, the attributes are its
// registered properties in name order, the child elements its children in
// child order. Files are UTF-8 without a declaration and begin with the bytes
// "<calverin>".
//
// Attribute texts: longs in decimal, doubles in the shortest text that reads
// back to the same double, bools as "1" and "0", dates as "M/D/YYYY[ h:mm:ss
// AM|PM]" and left out when the day count is 0.0. XML 1.0 cannot carry most
// control characters, nor bytes that are not UTF-8, so string values are
// stored with this reversible rule: a byte that is not part of a well-formed
// UTF-8 character XML allows (0x00-0x1F other than tab, line feed and carriage
// return; from 0x80 on, stray, malformed, overlong or cut sequences, encoded
// surrogates and the bytes of U+FFFE and U+FFFF) is stored as the private-use
// character U+E000 plus the byte; a private-use character U+E000-U+E020 or
// U+E080-U+E0FF that a string holds itself is stored after the marker U+E020.
//
// Files are read as strictly as the DOM that wrote the stored files reads
// them (see strict_xml_file.h): a file that is not well-formed to it is refused.
#pragma once

#include <string>

namespace velmora {

class CSectionNode;
struct PropertyDef;

// Reads the file at `path` into `node`, after what it already holds: 0 when
// read, -1 when refused, with `node` as it was. A file that cannot be parsed
// strictly, is nested deeper than any document, or whose "calverin" element
// holds more than one element shows "Load document failed"; a file whose
// first node is not the "calverin" element, or that holds no element in it,
// is refused silently.
int loadXmlFile(CSectionNode& node, const std::string& path);

// Writes the subtree of `node` as a new file at `path`, replacing it whole:
// 0 when written, -1 when the file could not be written (it is then as it was).
int saveXmlFile(CSectionNode& node, const std::string& path);

// The bytes saveXmlFile writes for `node`.
std::string xmlFileText(CSectionNode& node);

// The text a file holds for a registered property of `node`, the one form in
// which scripts see exact values: strings as the tree holds them (the file
// applies the storage rule below on top), the other kinds as the attribute
// texts above; the empty text for a date of day count 0.0 or not valid, which
// files leave out.
std::string storedValueText(const CSectionNode& node, const PropertyDef& def);

// The subtree as XML text: every property of the node's table (entries of no
// kind with an empty value) by its display text, with & < > " ' as entity
// references; an element without children as an opening and a closing tag.
std::string nodeValueText(CSectionNode& node);

// The storage rule for string values (see above).
std::string encodeStoredString(std::string text);
std::string decodeStoredString(std::string text);

} // namespace velmora
