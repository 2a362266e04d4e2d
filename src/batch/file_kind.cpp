#include "batch/file_kind.h"

#include "document/hud_document.h"
#include "legacy/kind_check.h"
#include "platform/native_path.h"

#include <fstream>
#include <optional>

namespace velmora::batch {
std::optional<std::uint32_t> versionWordOf(std::string_view firstBytes) {
    if (firstBytes.size() < 2)
        return std::nullopt;
    return static_cast<std::uint32_t>(static_cast<unsigned char>(firstBytes[0]) |
                                      static_cast<unsigned char>(firstBytes[1]) << 8);
}

std::optional<std::string> readFirstBytes(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes(kKindBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

KindOfFile kindOfFile(std::string_view firstBytes) {
    if (hasFormatMarker(firstBytes))
        return {FileKind::XmlDocument, 0};
    const std::optional<std::uint32_t> word = versionWordOf(firstBytes);
    if (!word)
        return {};
    if (const std::optional<LegacyReaderKind> reader = readerFor(*word))
        return {*reader == LegacyReaderKind::Statement ? FileKind::Statement : FileKind::Refinance,
                *word};
    if (unconvertibleDealOf(*word))
        return {FileKind::UnconvertibleDeal, *word};
    return {};
}

std::string kindName(const KindOfFile& kind) {
    switch (kind.kind) {
    case FileKind::XmlDocument:
        return "xml";
    case FileKind::Statement:
    case FileKind::Refinance:
        return documentTypeOf(kind.kind);
    case FileKind::UnconvertibleDeal:
        return unconvertibleDealOf(kind.versionWord).value_or("");
    case FileKind::NotADeal:
        break;
    }
    return {};
}

std::string documentTypeOf(FileKind kind) {
    if (kind == FileKind::Statement)
        return document_types::kHud;
    if (kind == FileKind::Refinance)
        return document_types::kHud1a;
    return {};
}

} // namespace velmora::batch
