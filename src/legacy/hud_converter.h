// The conversion of a legacy HUD statement into a document of type "hud".
#pragma once

#include "legacy/legacy_record.h"

#include <memory>
#include <string>

namespace velmora {

class CHudDocument;

// A new "hud" document with its standard sections, filled from `record`.
// The addendum step of line 812 works on `record` itself.
std::unique_ptr<CHudDocument> convertHudRecord(HudRecord& record);

// Converts and writes the document over `path` in the XML format: 0 when
// written, -1 when not.
int convertHudFile(HudRecord& record, const std::string& path);

// Moves line 812 onto a blank line of 806..811 or into the addendum list,
// keeping line 813 as the addendum total (see the .cpp).
void applyLine812Addendum(HudRecord& record);

} // namespace velmora
