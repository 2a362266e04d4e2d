// The table that search prints, one deal a line: fixed columns a person can
// read at a glance, the long party lists cut short. The whole of every
// field is in the JSON of each match (jsonOfHit).
#pragma once

#include "index/index_schema.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::index {

// The names of the columns, in order: path, type, settlement_date,
// borrowers, sellers, property, lender, sales_price, loan_amount.
std::vector<std::string> searchTableHeader();

// The cells of one match, in the header's order; NULL fields are empty.
std::vector<std::string> searchTableRow(const FieldValues& hit);

// The text of a text field; empty for NULL (and for a number).
std::string fieldText(const FieldValue& value);

// Names a party list shows before it says how many more it holds.
inline constexpr std::size_t kShownNames = 2;

// The first `shown` names of a list of names between "; ", and "+N more"
// after them when there are more: "Dana Whitlock; Lee Whitlock +3 more".
std::string shortenedNames(std::string_view names, std::size_t shown = kShownNames);

// "20 of 162 matches (use --limit)" when the limit cut the list; empty when
// every match was given.
std::string cutListLine(std::size_t given, std::size_t matches);

} // namespace velmora::index
