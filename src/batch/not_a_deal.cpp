#include "batch/not_a_deal.h"

#include "batch/file_kind.h"
#include "document/hud_document.h"
#include "platform/path_parts.h"

#include <algorithm>
#include <array>

namespace velmora::batch {
namespace {

constexpr std::array<std::string_view, 3> kDealExtensions = {".hud", ".rfn", ".ref"};

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

bool hasDealExtension(std::string_view path) {
    const std::string_view extension = path.substr(extensionStart(path));
    return std::any_of(kDealExtensions.begin(), kDealExtensions.end(), [&](std::string_view deal) {
        return equalIgnoringAsciiCase(extension, deal);
    });
}

std::optional<NotADealNote> notADealNote(std::string_view path, bool named,
                                         std::string_view firstBytes) {
    if (firstBytes.empty()) {
        if (!named && !hasDealExtension(path))
            return std::nullopt;
        return NotADealNote{"empty"};
    }
    if (!hasDealExtension(path)) {
        if (!named)
            return std::nullopt;
        return NotADealNote{"neither an XML document nor a legacy deal"};
    }
    const std::optional<std::uint32_t> word = versionWordOf(firstBytes);
    if (!word || isCutFormatMarker(firstBytes))
        return NotADealNote{"truncated"};
    return NotADealNote{"unknown version word " + std::to_string(*word), *word};
}

} // namespace velmora::batch
