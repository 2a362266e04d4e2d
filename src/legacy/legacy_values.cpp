#include "legacy/legacy_values.h"

#include "legacy/archive_reader.h"

#include <algorithm>
#include <cstdio>

namespace velmora {
namespace {

constexpr std::int64_t kLastDayNumber = 1041529204;
constexpr int kMonthStart[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool isLeap(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int64_t daysBeforeYear(std::int64_t year) {
    if (year < 2)
        return 0;
    const std::int64_t y = year - 1;
    return 365 * y + y / 4 - y / 100 + y / 400;
}

int monthStart(std::int64_t year, int month) {
    return kMonthStart[month - 1] + (month > 2 && isLeap(year) ? 1 : 0);
}

} // namespace

CDate CDate::fromDayNumber(std::uint32_t dayNumber) {
    const auto signedNumber = static_cast<std::int32_t>(dayNumber);
    if (signedNumber <= 0 || signedNumber > kLastDayNumber)
        return {};
    std::int64_t days = signedNumber - 1;
    const std::int64_t cycles400 = days / 146097;
    days %= 146097;
    const std::int64_t centuries = std::min<std::int64_t>(days / 36524, 3);
    days -= centuries * 36524;
    const std::int64_t cycles4 = days / 1461;
    days %= 1461;
    const std::int64_t years = std::min<std::int64_t>(days / 365, 3);
    days -= years * 365;

    CDate date;
    const std::int64_t year = cycles400 * 400 + centuries * 100 + cycles4 * 4 + years + 1;
    date.year = static_cast<std::int32_t>(year);
    int month = 12;
    while (month > 1 && monthStart(year, month) > days)
        --month;
    date.month = month;
    date.day = static_cast<std::int32_t>(days - monthStart(year, month) + 1);
    return date;
}

std::int64_t CDate::dayNumber() const {
    if (empty() || month < 1 || month > 12)
        return 0;
    return daysBeforeYear(year) + monthStart(year, month) + day;
}

std::string CDate::text() const {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", month, day, year);
    return buffer;
}

OleDate CDate::toOleDate() const {
    if (year < 1001 || year > 9999 || month < 1 || day < 1)
        return {};
    const auto days = daysFromCivil({year, month, day, 0, 0, 0});
    return days ? OleDate{*days, DateStatus::Valid} : OleDate{};
}

CDate CDate::read(ArchiveReader& in) {
    in.u16();
    return fromDayNumber(in.u32());
}

std::string CSubDate::text() const {
    char buffer[48];
    switch (precision) {
    case 1:
        std::snprintf(buffer, sizeof buffer, "%02d/00/%02d", month, year);
        return buffer;
    case 2:
        std::snprintf(buffer, sizeof buffer, "/00/00/%04d", year);
        return buffer;
    case 3:
        return {};
    default:
        return CDate::text();
    }
}

CSubDate CSubDate::read(ArchiveReader& in) {
    CSubDate date;
    static_cast<CDate&>(date) = CDate::read(in);
    in.u16();
    date.precision = static_cast<std::int32_t>(in.u16());
    return date;
}

CAddress CAddress::read(ArchiveReader& in) {
    CAddress address;
    for (std::string* field : {&address.name1, &address.name2, &address.street, &address.state,
                               &address.city, &address.zip, &address.sign1, &address.sign2})
        *field = in.cString();
    return address;
}

CAddTBS CAddTBS::read(ArchiveReader& in) {
    CAddTBS line;
    line.text = in.cString();
    line.borrowerFund = in.cString();
    line.sellerFund = in.cString();
    return line;
}

} // namespace velmora
