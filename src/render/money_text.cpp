#include "render/money_text.h"

#include "tree/text_forms.h"
#include "tree/text_trim.h"

#include <algorithm>
#include <optional>

namespace velmora::render {
namespace {

// Digits of the integer part from which an amount is printed as it stands.
constexpr std::size_t kMaxWholeDigits = 15;
// Exponents beyond this make every mantissa either too large or zero cents.
constexpr long kExponentLimit = 1000;

// value = digits x 10^exponent
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The exponent after "e"; none when no digit follows the optional sign.
std::optional<long> exponentOf(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), kExponentLimit);
    }
    return negative ? -value : value;
}

std::optional<Decimal> parseDecimal(std::string_view text) {
    Decimal number;
    text = trimmed(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        number.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool point = false;
    std::size_t at = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (isDigit(c)) {
            number.digits += c;
            number.exponent -= point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (number.digits.empty())
        return std::nullopt;
    if (at == text.size())
        return number;
    if (text[at] != 'e' && text[at] != 'E')
        return std::nullopt;
    const std::optional<long> exponent = exponentOf(text.substr(at + 1));
    if (!exponent)
        return std::nullopt;
    number.exponent += *exponent;
    return number;
}

// `digits` plus one in its last place.
std::string incremented(std::string digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return digits;
        }
        *it = '0';
    }
    return '1' + digits;
}

// The amount in units of 10^-places as digits without leading zeros,
// rounded half away from zero; none when it is too large to print.
std::optional<std::string> unitsOf(const Decimal& number, long places) {
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return "0";
    const std::string digits = number.digits.substr(first);
    const auto longest = kMaxWholeDigits + static_cast<std::size_t>(places);
    const long shift = number.exponent + places;
    if (shift >= 0) {
        if (digits.size() + static_cast<std::size_t>(shift) > longest)
            return std::nullopt;
        return digits + std::string(static_cast<std::size_t>(shift), '0');
    }
    const long kept = static_cast<long>(digits.size()) + shift;
    if (kept < 0)
        return "0";
    const auto keep = static_cast<std::size_t>(kept);
    std::string units = keep == 0 ? "0" : digits.substr(0, keep);
    if (digits[keep] >= '5')
        units = incremented(units);
    if (units.size() > longest)
        return std::nullopt;
    return units;
}

std::string grouped(std::string_view whole) {
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += ',';
        out += whole[i];
    }
    return out;
}

std::optional<std::string> asMoney(std::string_view text) {
    const std::optional<Decimal> number = parseDecimal(text);
    if (!number)
        return std::nullopt;
    std::optional<std::string> cents = unitsOf(*number, 2);
    if (!cents)
        return std::nullopt;
    const bool zero = *cents == "0";
    if (cents->size() < 3)
        cents->insert(0, 3 - cents->size(), '0');
    const std::string_view digits = *cents;
    return std::string(number->negative && !zero ? "-" : "") +
           grouped(digits.substr(0, digits.size() - 2)) + "." +
           std::string(digits.substr(digits.size() - 2));
}

// Places a rate is printed with: enough for the eighths and sixteenths of a
// per cent that rates are quoted in.
constexpr long kPercentPlaces = 4;

std::optional<std::string> asPercent(std::string_view text) {
    const std::optional<Decimal> number = parseDecimal(text);
    std::optional<std::string> units = number ? unitsOf(*number, kPercentPlaces) : std::nullopt;
    if (!units)
        return std::nullopt;
    const bool negative = number->negative && *units != "0";
    const auto places = static_cast<std::size_t>(kPercentPlaces);
    if (units->size() <= places)
        units->insert(0, places + 1 - units->size(), '0');
    std::string out = units->substr(0, units->size() - places);
    const std::string fraction = units->substr(units->size() - places);
    const std::size_t last = fraction.find_last_not_of('0');
    if (last != std::string::npos)
        out += "." + fraction.substr(0, last + 1);
    return (negative ? "-" : "") + out;
}

} // namespace

std::string moneyText(std::string_view number) {
    return asMoney(number).value_or(std::string(number));
}

// From the shortest text that reads back to `value`, so that cents are
// rounded from the value itself, not from a text already rounded to 14 digits.
std::string moneyText(double value) {
    return asMoney(formatDoubleExact(value)).value_or(formatDouble(value));
}

std::string percentText(std::string_view number) {
    return asPercent(number).value_or(std::string(number));
}

bool isMoneyText(std::string_view text) {
    const std::size_t point = text.size() >= 3 ? text.size() - 3 : std::string_view::npos;
    if (point == std::string_view::npos || text[point] != '.')
        return false;
    if (text.front() == '-')
        text.remove_prefix(1);
    return std::count(text.begin(), text.end(), '.') == 1 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return isDigit(c) || c == ',' || c == '.'; });
}

bool isZeroAmount(std::string_view number) {
    return moneyText(number) == "0.00";
}

} // namespace velmora::render
