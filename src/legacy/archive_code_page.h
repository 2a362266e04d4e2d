// The code page the text of legacy archives is read in, for the whole
// process. An archive does not say which it was written in: a run names it
// once, before any archive is read, when it is not the build's default
// (legacyTextToTreeText in platform/code_page.h says which that is).
#pragma once

#include <optional>

namespace velmora {

// `codePage` must be one that isSingleByteCodePage accepts.
void setArchiveCodePage(unsigned codePage);
std::optional<unsigned> archiveCodePage();

} // namespace velmora
