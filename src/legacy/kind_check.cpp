#include "legacy/kind_check.h"

#include "platform/dialog.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace velmora {
namespace {

constexpr std::array<std::uint32_t, 7> kStatementWords = {401, 901, 1001, 1101, 1201, 1501, 1601};
constexpr std::array<std::uint32_t, 4> kRefinanceWords = {402, 902, 1202, 1502};

// The title of the component's own message boxes.
constexpr char kApplicationTitle[] = "Velmora";

template <std::size_t N>
bool contains(const std::array<std::uint32_t, N>& words, std::uint32_t word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::optional<std::string> otherKindMessage(std::uint32_t word) {
    std::optional<std::string> kind = unconvertibleDealOf(word);
    if (!kind)
        return std::nullopt;
    (*kind)[0] = static_cast<char>(std::toupper(static_cast<unsigned char>((*kind)[0])));
    return "This is " + *kind + ".";
}

} // namespace

std::optional<LegacyReaderKind> readerFor(std::uint32_t versionWord) {
    if (contains(kStatementWords, versionWord))
        return LegacyReaderKind::Statement;
    if (contains(kRefinanceWords, versionWord))
        return LegacyReaderKind::Refinance;
    return std::nullopt;
}

std::optional<std::string> unconvertibleDealOf(std::uint32_t versionWord) {
    switch (versionWord) {
    case 403:
        return "red document";
    case 404:
        return "mortgage closing document";
    case 405:
        return "title closing document";
    default:
        return std::nullopt;
    }
}

std::optional<std::string> kindCheckMessage(std::uint32_t versionWord, LegacyReaderKind reader) {
    if (reader == LegacyReaderKind::Statement) {
        if (contains(kStatementWords, versionWord))
            return std::nullopt;
        if (versionWord == 402 || versionWord == 902)
            return "This is Refinance document.";
        return otherKindMessage(versionWord).value_or("This is not Hud document!");
    }
    if (contains(kRefinanceWords, versionWord))
        return std::nullopt;
    if (versionWord == 401 || versionWord == 901)
        return "This is Hud document.";
    return otherKindMessage(versionWord).value_or("This is not Ref document");
}

void showArchiveError() {
    currentDialog().ask("Error", "The file is damaged and cannot be converted.",
                        dialog_flags::kOk | dialog_flags::kIconError);
}

int reportReadResult(ReadResult result, std::uint32_t versionWord, LegacyReaderKind reader) {
    switch (result) {
    case ReadResult::Read:
        return 0;
    case ReadResult::WrongKind:
        currentDialog().ask(kApplicationTitle, kindCheckMessage(versionWord, reader).value_or(""),
                            dialog_flags::kOk);
        return -1;
    case ReadResult::Damaged:
        showArchiveError();
        return -1;
    }
    return -1;
}

} // namespace velmora
