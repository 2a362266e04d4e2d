// Conversions between the 8-bit code pages the engine meets.
//
// Legacy archives hold Windows-1252 text; the tree holds UTF-8 on Linux (the
// ANSI code page on Windows, where the conversion is the identity).
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// number, as the platform's own conversion does.
std::string windows1252ToUtf8(std::string_view text);

} // namespace velmora
