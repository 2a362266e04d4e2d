#include "tree/text_forms.h"

#include "tree/text_trim.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velmora {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Fixed notation for `digits` (significant digits, no trailing zeros) whose
// first digit has the decimal exponent `exponent`.
std::string fixedNotation(std::string_view digits, int exponent) {
    std::string out;
    if (exponent < 0) {
        out = "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits);
        return out;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        out.append(digits);
        out.append(integerDigits - digits.size(), '0');
        out.push_back('.');
        return out;
    }
    out.append(digits.substr(0, integerDigits));
    out.push_back('.');
    out.append(digits.substr(integerDigits));
    return out;
}

std::string exponentNotation(std::string_view digits, int exponent) {
    std::string out(digits.substr(0, 1));
    out.push_back('.');
    out.append(digits.substr(1));
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "e%c%03d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    out.append(buffer.data());
    return out;
}

} // namespace

std::int32_t parseLong(std::string_view text) {
    text = trimmedStart(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (const char c : text) {
        if (!isDigit(c))
            break;
        magnitude = std::min(magnitude * 10 + (c - '0'), kLimit);
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max()));
}

double parseDouble(std::string_view text) {
    text = trimmedStart(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        return 0.0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large gives an infinity and too small a zero, as atof does.
        const std::string copy(text.substr(0, static_cast<std::size_t>(end - text.data())));
        value = std::strtod(copy.c_str(), nullptr);
    } else if (error != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string formatLong(std::int32_t value) {
    return std::to_string(value);
}

std::string formatDouble(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    constexpr int kSignificant = 14;
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*e", kSignificant - 1, value);
    std::string_view scientific(buffer.data());

    std::string sign;
    if (scientific.front() == '-') {
        sign = "-";
        scientific.remove_prefix(1);
    }
    const std::size_t ePos = scientific.find('e');
    const int exponent = std::atoi(std::string(scientific.substr(ePos + 1)).c_str());
    std::string digits;
    for (const char c : scientific.substr(0, ePos)) {
        if (isDigit(c))
            digits.push_back(c);
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= -4 && exponent < kSignificant)
        return sign + fixedNotation(digits, exponent);
    return sign + exponentNotation(digits, exponent);
}

std::string formatDoubleExact(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace velmora
