// CHudDocument: the root of every document tree.
//
// The root carries the document-level data of the statement (document type,
// file format version, tax numbers, lender, lot and block, place and dates of
// settlement), creates the top-level sections by name, and builds the
// standard set of sections for a new document. A CHudDocument also serves as
// the nested child "secondHud".
#pragma once

#include "sections/section_table.h"

#include <string>

namespace velmora {

extern const SectionTable hudDocumentTable;

namespace document_types {
inline constexpr char kHud[] = "hud";
inline constexpr char kHud1a[] = "hud1a";
inline constexpr char kMortgage[] = "mortgage";
inline constexpr char kTitle[] = "title";
} // namespace document_types

class CHudDocument : public TableSection<hudDocumentTable> {
public:
    // A top-level root, element name "HUD", of the given document type.
    explicit CHudDocument(const std::string& documentType);
    // The nested root "secondHud" made by a parent's factory; type "hud".
    CHudDocument(std::string elementName, CNode* parent);

    // Gives a "hud" or "hud1a" document its standard sections with their
    // default lines; other types get nothing. Existing children are not looked
    // at, so a second call adds a second set.
    void initDocument();

    const std::string& documentType() const;
    void setDocumentType(std::string documentType);

    // Whether opening and saving hold the file against other writers.
    bool lockingEnabled = true;
    // The file currently held, if any.
    std::string lockedPath;

private:
    void applyDocumentType(std::string documentType);
};

} // namespace velmora
