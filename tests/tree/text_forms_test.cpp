// The number and date texts: what clients read back from getPropertyValue and
// what the readers make of hand-typed or foreign texts.
#include "tree/ole_date.h"
#include "tree/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora::testing {
namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMinLong = std::numeric_limits<std::int32_t>::min();

TEST(TextForms, ParseLongAndDoubleReadLikeAtoiAndAtof) {
    const std::pair<const char*, std::int32_t> longs[] = {
        {"  \t+17", 17}, {"42abc", 42}, {"abc", 0}, {"- 5", 0}, {"2147483648", 2147483647}};
    for (const auto& [text, expected] : longs)
        EXPECT_EQ(parseLong(text), expected) << text;
    EXPECT_EQ(parseLong("-99999999999999999999"), kMinLong);
    EXPECT_EQ(formatLong(kMinLong), "-2147483648");
    const std::pair<const char*, double> doubles[] = {{"  -3.5kg", -3.5},   {"2.5E-07", 2.5e-7},
                                                      {"+-1", 0.0},         {"1e400", kInf},
                                                      {"-infinity", -kInf}, {"1e-400", 0.0}};
    for (const auto& [text, expected] : doubles)
        EXPECT_EQ(parseDouble(text), expected) << text;
    EXPECT_EQ(parseDouble("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_TRUE(std::isnan(parseDouble("nan")));
}

TEST(TextForms, FormatDoubleShowsFourteenDigitsAndTheExactFormAllThatReadBack) {
    // Rounding to 14 digits may carry into the next power of ten.
    const std::pair<double, const char*> cases[] = {{100.0, "100."},
                                                    {0.1 + 0.2, "0.3"},
                                                    {2.0 / 3.0, "0.66666666666667"},
                                                    {123456789012345678.0, "1.2345678901235e+017"},
                                                    {0.00001, "1.e-005"},
                                                    {99999999999999.9, "1.e+014"},
                                                    {9.99999999999999e-5, "0.0001"},
                                                    {kInf, "inf"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(formatDouble(value), expected) << expected;
    EXPECT_EQ(formatDouble(std::nan("")), "nan");
    EXPECT_EQ(parseDouble(formatDouble(-kInf)), -kInf);
    // The exact form is the shortest text that reads back to the same double.
    EXPECT_EQ(formatDoubleExact(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatDoubleExact(100.0), "100");
}

TEST(DateText, CanonicalFormsAndTheirDayCounts) {
    // Before the epoch the fraction still counts forward within the day.
    const std::pair<const char*, double> cases[] = {
        {"12/30/1899", 0.0},
        {"9/16/2008 12:00:00 PM", 39707.5},
        {"9/16/2008 12:00:01 AM", 39707.0 + 1.0 / 86400},
        {"12/29/1899 6:00:00 AM", -1.25}};
    for (const auto& [text, days] : cases) {
        EXPECT_EQ(parseDate(text).days, days) << text;
        EXPECT_EQ(formatDate({days, DateStatus::Valid}), text);
    }
    // A hair before midnight rounds to the next day, not to 24:00.
    EXPECT_EQ(formatDate({39707.9999999, DateStatus::Valid}), "9/17/2008");
    EXPECT_EQ(formatDate(OleDate::invalid()), "");
    EXPECT_EQ(formatDate({39707.0, DateStatus::Null}), "");
    EXPECT_EQ(formatDate({std::nan(""), DateStatus::Valid}), "");
}

// Hand-typed and foreign forms, short and far years; then one text for each
// way of being no date.
TEST(DateText, ParsesOtherWritersFormsAndRefusesTextThatIsNoDate) {
    const std::pair<const char*, const char*> cases[] = {
        {" 9/16/2008 2:05 pm ", "9/16/2008 2:05:00 PM"},
        {"\t9/16/2008\r\n", "9/16/2008"},
        {"2/29/2000", "2/29/2000"},
        {"2008-09-16T14:05:30", "9/16/2008 2:05:30 PM"},
        {"9/16/29", "9/16/2029"},
        {"12:00:00 PM", "12/30/1899 12:00:00 PM"},
        {"9/16/30", "9/16/1930"},
        {"1/1/100", "1/1/0100"},
        {"2/29/-44", "2/29/-0044"}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(formatDate(parseDate(text)), expected) << text;
    for (const char* text : {"", "garbage", "2/29/2001", "13/1/2008", "9/16/2008 24:00",
                             "9/16/2008 0:30 AM", "9/16/2008x", "9/16", "1/1/999999999999"}) {
        const OleDate date = parseDate(text);
        EXPECT_FALSE(date.isValid()) << text;
        EXPECT_EQ(date.days, 0.0) << text;
    }
}

TEST(DateText, CalendarRoundTripsOverCenturies) {
    for (double days = -800000.0; days <= 3000000.0; days += 977.5) {
        EXPECT_EQ(daysFromCivil(civilFromDays(days)), std::optional<double>(days));
        EXPECT_EQ(parseDate(formatDate({days, DateStatus::Valid})).days, days) << days;
    }
}

} // namespace
} // namespace velmora::testing
