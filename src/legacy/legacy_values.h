// The persistent value classes of legacy archives: dates with an optional
// precision, name-and-address records and the extra lines of the open lists.
#pragma once

#include "tree/ole_date.h"

#include <cstdint>
#include <string>

namespace velmora {

class ArchiveReader;

// A calendar date stored as a day number: 1 January of year 1 is day 1, day 0
// is the empty date (year, month and day 0).
struct CDate {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;

    // Day numbers outside 0..1041529204 (read as signed) are the empty date.
    static CDate fromDayNumber(std::uint32_t dayNumber);
    std::int64_t dayNumber() const;
    bool empty() const { return year == 0 && month == 0 && day == 0; }

    // "MM/DD/YYYY", the parts of an empty date as zeros.
    std::string text() const;
    // The date at midnight, when its year lies in 1001..9999 and its month and
    // day are set; else the date value 0.
    OleDate toOleDate() const;

    // u16 schema word (ignored), u32 day number.
    static CDate read(ArchiveReader& in);
};

// A date with a precision: kind 1 knows month and year, kind 2 the year only,
// kind 3 nothing; any other kind the whole date.
struct CSubDate : CDate {
    std::int32_t precision = 3;

    std::string text() const;

    // The CDate form, a u16 schema word (ignored), the u16 precision kind.
    static CSubDate read(ArchiveReader& in);
};

struct CAddress {
    std::string name1, name2, street, state, city, zip, sign1, sign2;

    // Eight texts in member order.
    static CAddress read(ArchiveReader& in);
};

// One extra line of an open list. The file holds its text and the two
// amounts; payor and net are never stored.
struct CAddTBS {
    std::string text;
    std::string payor;
    std::int32_t net = 0;
    std::string borrowerFund;
    std::string sellerFund;

    static CAddTBS read(ArchiveReader& in);
};

} // namespace velmora
