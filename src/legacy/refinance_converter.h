// The conversion of a legacy refinance statement into a document of type
// "hud1a".
#pragma once

#include "legacy/legacy_record.h"

#include <memory>
#include <string>

namespace velmora {

class CHudDocument;

// A new "hud1a" document with its standard sections, filled from `record`.
std::unique_ptr<CHudDocument> convertRefinanceRecord(const RefinanceRecord& record);

// Converts and writes the document over `path` in the XML format: 0 when
// written, -1 when not.
int convertRefinanceFile(const RefinanceRecord& record, const std::string& path);

} // namespace velmora
