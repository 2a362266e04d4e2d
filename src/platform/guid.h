// New GUIDs in their 36-character text form: lower-case hexadecimal groups of
// 8, 4, 4, 4 and 12 digits joined by hyphens, no braces. Behind a seam so
// that tests can make them predictable.
#pragma once

#include <string>

namespace velmora {

class GuidSource {
public:
    virtual ~GuidSource() = default;
    virtual std::string newGuid() = 0;
};

// A new random (version 4) GUID from the installed source.
std::string newGuidText();
// Installs `source` (nullptr restores the random one); returns the previous one.
GuidSource* installGuidSource(GuidSource* source);

} // namespace velmora
