// What a row of another index must be before a merge takes it: the index
// merged from may come from anywhere, and a row taken in is kept, searched
// and printed from then on.
#pragma once

#include "index/index_schema.h"

#include <optional>
#include <string>

namespace velmora::index {

// Why the fields and full text of a row may not be merged; none when they
// may: a path that is absolute, a known status, each field of its column's
// type (or empty), every text valid UTF-8 without NUL.
std::optional<std::string> mergeRowProblem(const FieldValues& values, const std::string& text);

} // namespace velmora::index
