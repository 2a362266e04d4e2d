// The kind of a file, told from its first bytes alone.
#include "batch/file_kind.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velmora::testing {
namespace {

using batch::FileKind;

TEST(FileKindOf, FirstBytesDecide) {
    const auto word = [](unsigned w, std::string rest = "...") {
        return std::string{static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)} + rest;
    };
    const std::tuple<std::string, FileKind, unsigned, std::string> cases[] = {
        {"<calverin><HUD/></calverin>", FileKind::XmlDocument, 0, "xml"},
        {"<calverin>", FileKind::XmlDocument, 0, "xml"},
        {"<calveri", FileKind::NotADeal, 0, ""},
        {word(401), FileKind::Statement, 401, "hud"},
        {word(1601, ""), FileKind::Statement, 1601, "hud"},
        {word(902), FileKind::Refinance, 902, "hud1a"},
        {word(1502), FileKind::Refinance, 1502, "hud1a"},
        {word(403), FileKind::UnconvertibleDeal, 403, "red document"},
        {word(404), FileKind::UnconvertibleDeal, 404, "mortgage closing document"},
        {word(405), FileKind::UnconvertibleDeal, 405, "title closing document"},
        {word(1603), FileKind::NotADeal, 0, ""},
        {word(400), FileKind::NotADeal, 0, ""},
        {"\x91", FileKind::NotADeal, 0, ""},
        {"", FileKind::NotADeal, 0, ""},
        {"PK\x03\x04 a word file", FileKind::NotADeal, 0, ""}};
    for (const auto& [bytes, kind, version, name] : cases) {
        const batch::KindOfFile found = batch::kindOfFile(bytes);
        EXPECT_EQ(found.kind, kind) << bytes;
        EXPECT_EQ(found.versionWord, version) << bytes;
        EXPECT_EQ(batch::kindName(found), name) << bytes;
    }
}

} // namespace
} // namespace velmora::testing
