// Files that are no deal, and which of them a run tells a person about.
//
// Letters, spreadsheets and Thumbs.db beside the deals pass in silence. A
// file whose name says deal (.hud, .rfn, .ref) while its bytes do not is told,
// with what its bytes are, as is any file the person named.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::batch {

// Whether the file's name ends in an extension deal files carry, in any case.
bool hasDealExtension(std::string_view path);

struct NotADealNote {
    // "empty", "truncated", "unknown version word 1701", or for a file named
    // that is none of these "neither an XML document nor a legacy deal".
    std::string reason;
    // The version word read, when the reason names one; else 0.
    std::uint32_t versionWord = 0;
};

// Why the file at `path`, no deal, beginning with `firstBytes` (all of it
// when shorter than kKindBytes), is none, when a person is to be told; none
// for clutter found in a folder.
std::optional<NotADealNote> notADealNote(std::string_view path, bool named,
                                         std::string_view firstBytes);

} // namespace velmora::batch
