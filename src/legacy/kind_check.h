// The document kind of a legacy file, decided on its first word.
//
// The version word is 100 x generation + kind (1 statement, 2 refinance
// statement, 3 red document, 4 mortgage closing, 5 title closing). Each
// reader accepts its own words and refuses the others with a message that
// names the kind the file is, so the user can open it as that type.
#pragma once

#include "legacy/legacy_record.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

enum class LegacyReaderKind { Statement, Refinance };

// The reader that converts files of `versionWord`, or none.
std::optional<LegacyReaderKind> readerFor(std::uint32_t versionWord);

// For the words of deals no reader converts (403, 404, 405), the kind of
// deal in words ("mortgage closing document"); none for every other word.
std::optional<std::string> unconvertibleDealOf(std::uint32_t versionWord);

// None when `reader` reads files of `versionWord`; else the refusal message.
std::optional<std::string> kindCheckMessage(std::uint32_t versionWord, LegacyReaderKind reader);

// Shown when a legacy file is damaged (ends inside a field, or holds a
// malformed object list).
void showArchiveError();

// How a reader reports the end of its read to the opening code: 0 when read;
// otherwise the refusal or damage message is shown and the answer is -1.
int reportReadResult(ReadResult result, std::uint32_t versionWord, LegacyReaderKind reader);

} // namespace velmora
