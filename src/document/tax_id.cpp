#include "document/tax_id.h"

#include <algorithm>
#include <array>

namespace velmora {
namespace {

constexpr std::array<std::string_view, 4> kTaxIdProperties = {"e_SellerTin", "h_AgentTin", "eTin",
                                                              "hTin"};
constexpr std::size_t kDigitsShown = 4;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isDigitShaped(std::string_view value) {
    const bool onlyDigitsAndSeparators = std::all_of(
        value.begin(), value.end(), [](char c) { return isDigit(c) || c == '-' || c == ' '; });
    return onlyDigitsAndSeparators &&
           static_cast<std::size_t>(std::count_if(value.begin(), value.end(), isDigit)) >=
               kDigitsShown;
}

} // namespace

bool isTaxIdProperty(std::string_view name) {
    return std::find(kTaxIdProperties.begin(), kTaxIdProperties.end(), name) !=
           kTaxIdProperties.end();
}

std::string maskedTaxId(std::string_view value) {
    if (!isDigitShaped(value))
        return std::string(value.size(), '*');
    std::string masked(value);
    std::size_t digitsLeft =
        static_cast<std::size_t>(std::count_if(value.begin(), value.end(), isDigit));
    for (char& c : masked) {
        if (!isDigit(c))
            continue;
        if (digitsLeft-- > kDigitsShown)
            c = '*';
    }
    return masked;
}

} // namespace velmora
