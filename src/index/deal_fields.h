// What the archive index keeps of one document: the fields a person asks
// for a deal by (parties, property, dates, numbers, amounts) and the text of
// every value, for the full-text search.
#pragma once

#include "index/index_schema.h"
#include "tree/ole_date.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora {
class CHudDocument;
}

namespace velmora::index {

// Sets the document's fields of `values`, from Field::DocumentType on; the
// file's own fields (path, stamp, status, format) are the caller's.
void fillDealFields(CHudDocument& document, FieldValues& values);

// Every non-empty string value of the tree, one per line, in UTF-8.
std::string documentText(const CHudDocument& document);

// The lines of `text` (documentText) that are not already a part of one of
// the full-text fields of `values` (a name of a party list, a part of an
// address): each text is kept once, and each of its words stays findable.
std::string textBeyondFields(std::string_view text, const FieldValues& values);

// Reads an amount typed by a person: "250,000.00", "$1,234.50", "(12.00)" for
// a negative one. None for a text that is not one.
std::optional<double> amountOfText(std::string_view text);

// "YYYY-MM-DD", with "THH:MM:SS" after it when the time is not midnight;
// empty when the date is not valid or is day 0, which files never hold.
std::string isoDate(const OleDate& date);

} // namespace velmora::index
