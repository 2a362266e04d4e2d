// Text at the interface: BSTRs in, 8-bit strings in the system ANSI code page
// inside the engine.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>

namespace velmora::com {

// A null BSTR is the empty string. Throws std::bad_alloc when out of memory.
std::string ansiFromBstr(BSTR text);

// A new BSTR that the caller frees; an empty text gives an empty BSTR, never
// a null one. nullptr only when out of memory.
BSTR bstrFromAnsi(const std::string& text);

} // namespace velmora::com
