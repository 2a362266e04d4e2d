// The date kind: its text form, its parser and the day-count calendar.
#include "tree/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora::testing {
namespace {

std::string reformat(std::string_view text) {
    return formatDate(parseDate(text));
}

double daysOf(std::string_view text) {
    const OleDate date = parseDate(text);
    EXPECT_TRUE(date.isValid()) << text;
    return date.days;
}

TEST(OleDate, DayCountsAroundTheEpoch) {
    EXPECT_EQ(daysOf("12/30/1899"), 0.0);
    EXPECT_EQ(daysOf("12/31/1899 6:00:00 AM"), 1.25);
    EXPECT_EQ(daysOf("1/1/1900"), 2.0);
    EXPECT_EQ(daysOf("9/16/2008"), 39707.0);
    // Before the epoch the fraction still counts forward within the day.
    EXPECT_EQ(daysOf("12/29/1899 6:00:00 AM"), -1.25);
    EXPECT_EQ(formatDate({-1.25, DateStatus::Valid}), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(formatDate({-2.75, DateStatus::Valid}), "12/28/1899 6:00:00 PM");
}

TEST(OleDate, DisplayForm) {
    EXPECT_EQ(formatDate({39707.0, DateStatus::Valid}), "9/16/2008");
    EXPECT_EQ(formatDate({39707.5, DateStatus::Valid}), "9/16/2008 12:00:00 PM");
    EXPECT_EQ(formatDate({39707.0 + 1.0 / 86400, DateStatus::Valid}), "9/16/2008 12:00:01 AM");
    EXPECT_EQ(formatDate({39707.0 + 14.0 / 24 + 5.0 / 1440, DateStatus::Valid}),
              "9/16/2008 2:05:00 PM");
    // A time a hair before midnight rounds to the next day, not to 24:00.
    EXPECT_EQ(formatDate({39707.9999999, DateStatus::Valid}), "9/17/2008");
    EXPECT_EQ(formatDate(OleDate::invalid()), "");
    EXPECT_EQ(formatDate({39707.0, DateStatus::Null}), "");
    EXPECT_EQ(formatDate({std::nan(""), DateStatus::Valid}), "");
}

TEST(OleDate, ParsesTheFormsOfOtherWriters) {
    EXPECT_EQ(reformat("09/16/2008"), "9/16/2008");
    EXPECT_EQ(reformat(" 9/16/2008 2:05 pm "), "9/16/2008 2:05:00 PM");
    EXPECT_EQ(reformat("9/16/2008 14:05:30"), "9/16/2008 2:05:30 PM");
    EXPECT_EQ(reformat("9/16/2008 12:30:00 AM"), "9/16/2008 12:30:00 AM");
    EXPECT_EQ(reformat("2008-09-16"), "9/16/2008");
    EXPECT_EQ(reformat("2008-09-16T14:05:30"), "9/16/2008 2:05:30 PM");
    EXPECT_EQ(reformat("12:00:00 PM"), "12/30/1899 12:00:00 PM");
    EXPECT_EQ(reformat("2/29/2000"), "2/29/2000");
}

TEST(OleDate, ShortYearsAndFarYears) {
    EXPECT_EQ(reformat("9/16/08"), "9/16/2008");
    EXPECT_EQ(reformat("9/16/29"), "9/16/2029");
    EXPECT_EQ(reformat("9/16/30"), "9/16/1930");
    EXPECT_EQ(reformat("1/1/5"), "1/1/2005");
    EXPECT_EQ(reformat("1/1/100"), "1/1/0100");
    EXPECT_EQ(reformat("1/1/0900"), "1/1/0900");
    EXPECT_EQ(reformat("1/1/0000"), "1/1/0000");
    EXPECT_EQ(reformat("12/31/9999 11:59:59 PM"), "12/31/9999 11:59:59 PM");
    EXPECT_EQ(reformat("3/1/12345"), "3/1/12345");
    EXPECT_EQ(reformat("2/29/-44"), "2/29/-0044");
    EXPECT_EQ(reformat("2/29/-0044 3:00:00 PM"), "2/29/-0044 3:00:00 PM");
}

TEST(OleDate, TextThatIsNoDateIsInvalid) {
    for (const char* text :
         {"", "garbage", "2/29/2001", "13/1/2008", "0/1/2008", "1/32/2008", "9/16/2008 24:00",
          "9/16/2008 13:00 PM", "9/16/2008 0:30 AM", "9/16/2008 1:60", "9/16/2008x", "00/00/0000",
          "9/16", "2008-02-30", "1/1/999999999999"}) {
        const OleDate date = parseDate(text);
        EXPECT_FALSE(date.isValid()) << text;
        EXPECT_EQ(date.days, 0.0) << text;
    }
}

TEST(OleDate, CalendarRoundTripsOverCenturies) {
    for (double days = -800000.0; days <= 3000000.0; days += 977.5) {
        const CivilDateTime civil = civilFromDays(days);
        const std::optional<double> back = daysFromCivil(civil);
        ASSERT_TRUE(back.has_value()) << days;
        EXPECT_EQ(*back, days);
        EXPECT_EQ(parseDate(formatDate({days, DateStatus::Valid})).days, days) << days;
    }
}

} // namespace
} // namespace velmora::testing
