// The number texts: what clients read back from getPropertyValue and what the
// readers make of hand-typed or foreign texts.
#include "tree/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora::testing {
namespace {

TEST(ParseLong, ReadsLikeAtoi) {
    EXPECT_EQ(parseLong("-40000"), -40000);
    EXPECT_EQ(parseLong("  \t+17"), 17);
    EXPECT_EQ(parseLong("42abc"), 42);
    EXPECT_EQ(parseLong("12.9"), 12);
    EXPECT_EQ(parseLong("abc"), 0);
    EXPECT_EQ(parseLong(""), 0);
    EXPECT_EQ(parseLong("- 5"), 0);
    EXPECT_EQ(parseLong("--5"), 0);
    EXPECT_EQ(parseLong("0x1F"), 0);
}

TEST(ParseLong, SaturatesAtTheEndsOfTheRange) {
    EXPECT_EQ(parseLong("2147483647"), 2147483647);
    EXPECT_EQ(parseLong("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseLong("2147483648"), 2147483647);
    EXPECT_EQ(parseLong("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(ParseDouble, ReadsLikeAtof) {
    EXPECT_EQ(parseDouble("12.50"), 12.5);
    EXPECT_EQ(parseDouble("  -3.5kg"), -3.5);
    EXPECT_EQ(parseDouble(".5"), 0.5);
    EXPECT_EQ(parseDouble("+2e3"), 2000.0);
    EXPECT_EQ(parseDouble("2.5E-07"), 2.5e-7);
    EXPECT_EQ(parseDouble("1E+15"), 1e15);
    EXPECT_EQ(parseDouble("1e"), 1.0);
    EXPECT_EQ(parseDouble("abc"), 0.0);
    EXPECT_EQ(parseDouble(""), 0.0);
    EXPECT_EQ(parseDouble("+-1"), 0.0);
}

TEST(ParseDouble, ReadsTheSpecialValuesAndOverflow) {
    EXPECT_TRUE(std::isnan(parseDouble("nan")));
    EXPECT_EQ(parseDouble("inf"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDouble("-infinity"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDouble("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDouble("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseDouble("1e-400"), 0.0);
    EXPECT_EQ(parseDouble("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(FormatDouble, FourteenSignificantDigitsWithTheDecimalPointKept) {
    EXPECT_EQ(formatDouble(100.0), "100.");
    EXPECT_EQ(formatDouble(12.5), "12.5");
    EXPECT_EQ(formatDouble(0.125), "0.125");
    EXPECT_EQ(formatDouble(0.0), "0.");
    EXPECT_EQ(formatDouble(-2.5), "-2.5");
    EXPECT_EQ(formatDouble(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatDouble(1.0 / 3.0), "0.33333333333333");
    EXPECT_EQ(formatDouble(2.0 / 3.0), "0.66666666666667");
    EXPECT_EQ(formatDouble(12345678901234.0), "12345678901234.");
    EXPECT_EQ(formatDouble(0.0001), "0.0001");
}

TEST(FormatDouble, ExponentFormOutsideTheFixedRange) {
    EXPECT_EQ(formatDouble(1e20), "1.e+020");
    EXPECT_EQ(formatDouble(1e14), "1.e+014");
    EXPECT_EQ(formatDouble(123456789012345678.0), "1.2345678901235e+017");
    EXPECT_EQ(formatDouble(0.00001), "1.e-005");
    EXPECT_EQ(formatDouble(-2.5e-7), "-2.5e-007");
    EXPECT_EQ(formatDouble(1e300), "1.e+300");
    // Rounding to 14 digits carries into the next power of ten.
    EXPECT_EQ(formatDouble(99999999999999.9), "1.e+014");
    EXPECT_EQ(formatDouble(9.99999999999999e-5), "0.0001");
}

TEST(FormatDouble, SpecialValuesReadBack) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatDouble(std::nan("")), "nan");
    EXPECT_EQ(formatDouble(inf), "inf");
    EXPECT_EQ(formatDouble(-inf), "-inf");
    EXPECT_EQ(parseDouble(formatDouble(-inf)), -inf);
}

TEST(FormatDoubleExact, ReadsBackToTheIdenticalDouble) {
    const double values[] = {0.1 + 0.2,
                             1.0 / 3.0,
                             -40000.0,
                             1e15,
                             123456789.123456789,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             -0.0};
    for (const double value : values) {
        const std::string text = formatDoubleExact(value);
        EXPECT_EQ(parseDouble(text), value) << text;
        EXPECT_EQ(std::signbit(parseDouble(text)), std::signbit(value)) << text;
    }
    EXPECT_EQ(formatDoubleExact(12.5), "12.5");
    EXPECT_EQ(formatDoubleExact(100.0), "100");
    EXPECT_EQ(formatDoubleExact(0.1 + 0.2), "0.30000000000000004");
    EXPECT_TRUE(std::isnan(parseDouble(formatDoubleExact(std::nan("")))));
}

TEST(FormatLong, Decimal) {
    EXPECT_EQ(formatLong(-40000), "-40000");
    EXPECT_EQ(formatLong(0), "0");
    EXPECT_EQ(formatLong(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

} // namespace
} // namespace velmora::testing
