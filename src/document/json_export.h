// A subtree as JSON for scripts, on one line:
//   {"element": "n100", "name": "n1001", "description": "...",
//    "properties": {"n120": {"kind": "double", "value": "0"}, ...},
//    "children": [ ... ]}
// Values are the exact texts the file holds (storedValueText): doubles in the
// shortest text that reads back to the identical double ("123456789012345",
// "0.1", "-0", "nan"), longs in decimal, bools as "1" and "0", dates as
// "M/D/YYYY[ h:mm:ss AM|PM]" and empty where the file leaves them out,
// strings as they are. So `velmora set` with an exported value leaves the file
// as it was. Values stay JSON strings: NaN, infinities and dates are not JSON
// numbers. "name" and "description" appear as members of their own.
// Tax IDs are given as stored, or masked (document/tax_id.h) for readers
// who are not to see them.
#pragma once

#include <string>

namespace velmora {

class CSectionNode;

enum class TaxIds { AsStored, Masked };

std::string subtreeJson(CSectionNode& node, TaxIds taxIds = TaxIds::AsStored);

} // namespace velmora
