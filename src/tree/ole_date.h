// The date kind: a day count from 30 December 1899 whose fraction is the time
// of day, with a validity status.
//
// Days before the epoch are negative, and their fraction still counts forward
// within the day: -1.25 is 29 December 1899, 6:00 AM. The calendar is the
// proleptic Gregorian one, for any year, so that every stored date can be
// written and read again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

enum class DateStatus : std::int32_t { Valid = 0, Invalid = 1, Null = 2 };

struct OleDate {
    double days = 0.0;
    DateStatus status = DateStatus::Valid;

    static OleDate invalid() { return {0.0, DateStatus::Invalid}; }
    bool isValid() const { return status == DateStatus::Valid; }
    friend bool operator==(const OleDate&, const OleDate&) = default;
};

struct CivilDateTime {
    std::int64_t year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Day counts beyond this many days from the epoch (some 270 million years)
// are not dates; they read as "no date".
inline constexpr double kMaxDateDays = 1e11;

// The day count of a calendar date and time; none when a field is out of range.
std::optional<double> daysFromCivil(const CivilDateTime& civil);

// The calendar date and time of a day count, to the nearest second.
CivilDateTime civilFromDays(double days);

// "M/D/YYYY" at midnight, else "M/D/YYYY h:mm:ss AM|PM"; the empty text for a
// date that is not valid. Years outside 1..9999 are written with as many
// digits as they need and a leading minus sign when negative.
std::string formatDate(const OleDate& date);

// Reads the forms formatDate writes and those other writers of these files
// used: "M/D/Y" (a year of one or two digits is taken as 2000-2029 or
// 1930-1999) with an optional "h:mm[:ss] AM|PM" or 24-hour "H:mm[:ss]"; a time
// alone, which is that time on 30 December 1899; ISO "YYYY-MM-DD[THH:MM[:SS]]".
// Anything else gives an invalid date of day count 0.0.
OleDate parseDate(std::string_view text);

} // namespace velmora
