// The single-byte Windows code pages that legacy archive text can be in:
// 874 (Thai) and 1250 to 1258. An archive does not say which one it holds;
// it is the ANSI code page of the Windows that wrote it. The tables are our
// own, the same on every platform, so that an archive reads the same on
// Linux and in velmora.exe.
#pragma once

#include "platform/converted_text.h"

#include <string>
#include <string_view>

namespace velmora {

constexpr unsigned kWindows1252 = 1252;

bool isSingleByteCodePage(unsigned codePage);

// "874, 1250, 1251, ..., 1258", for messages.
std::string singleByteCodePageNames();

// `text` in `codePage` (one that isSingleByteCodePage accepts) as UTF-8.
// Bytes 0x80 to 0x9F that the code page leaves undefined read as the C1
// controls of the same number, as Windows' own conversion reads them; an
// undefined byte above those has no character, and the conversion fails on
// the first.
ConvertedText singleByteToUtf8(std::string_view text, unsigned codePage);

} // namespace velmora
