#include "index/text_fold.h"

#include "index/text_fold_table.h"
#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmora::index {
namespace {

// The blocks of combining diacritical marks (scripts/make-fold-table leaves
// them out of its table for that reason).
constexpr std::array<std::pair<char32_t, char32_t>, 5> kMarkBlocks = {
    {{0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}}};

bool isDiacriticalMark(char32_t c) {
    return std::any_of(kMarkBlocks.begin(), kMarkBlocks.end(),
                       [c](const auto& block) { return c >= block.first && c <= block.second; });
}

char32_t foldedCodePoint(char32_t c) {
    const FoldPair* const end = kFoldPairs + kFoldPairCount;
    const FoldPair* const found = std::lower_bound(
        kFoldPairs, end, c, [](const FoldPair& pair, char32_t key) { return pair.from < key; });
    return found != end && found->from == c ? found->to : c;
}

char32_t decoded(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(sequence[i] & 0x3F); };
    const auto lead = static_cast<unsigned char>(sequence[0]);
    switch (sequence.size()) {
    case 2:
        return (static_cast<char32_t>(lead & 0x1F) << 6) | byte(1);
    case 3:
        return (static_cast<char32_t>(lead & 0x0F) << 12) | (byte(1) << 6) | byte(2);
    default:
        return (static_cast<char32_t>(lead & 0x07) << 18) | (byte(1) << 12) | (byte(2) << 6) |
               byte(3);
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string foldedText(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            ++at;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            folded += c;
            ++at;
            continue;
        }
        const char32_t codePoint = decoded(text.substr(at, length));
        if (!isDiacriticalMark(codePoint))
            appendUtf8(folded, foldedCodePoint(codePoint));
        at += length;
    }
    return folded;
}

} // namespace velmora::index
