// What a file of an archive is, told from its first bytes alone: a document
// already in the XML format, a legacy deal of a kind that converts, a legacy
// deal of a kind that does not, or no deal at all (a letter, a spreadsheet,
// a page rendered from a deal, Thumbs.db).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::batch {

enum class FileKind {
    XmlDocument,       // begins with the format marker
    Statement,         // legacy statement: converts to "hud"
    Refinance,         // legacy refinance statement: converts to "hud1a"
    UnconvertibleDeal, // legacy deal of a kind no reader converts
    NotADeal,          // anything else, the empty file included
};

struct KindOfFile {
    FileKind kind = FileKind::NotADeal;
    // The legacy version word; 0 for XML documents and files that are no deal.
    std::uint32_t versionWord = 0;
};

// Enough of a file's beginning for kindOfFile: the format marker and a
// version word.
inline constexpr std::size_t kKindBytes = 16;

// Needs the first 10 bytes of the file (the XML marker; a legacy file's
// version word is its first 2), or all of a shorter one.
KindOfFile kindOfFile(std::string_view firstBytes);

// The version word a legacy file begins with (16 bits, little-endian); none
// for a file shorter than that.
std::optional<std::uint32_t> versionWordOf(std::string_view firstBytes);

// The first kKindBytes bytes of the file at `path` (all of a shorter one),
// read without any hold: a document a host has open, or a spreadsheet open in
// its program, is looked at all the same. None when it cannot be read.
std::optional<std::string> readFirstBytes(const std::string& path);

// How a report names the kind: "xml", "hud", "hud1a", the unconvertible
// deal's own name ("mortgage closing document"), or "" for no deal.
std::string kindName(const KindOfFile& kind);

// The document type a legacy deal converts to ("hud", "hud1a"), or "".
std::string documentTypeOf(FileKind kind);

} // namespace velmora::batch
