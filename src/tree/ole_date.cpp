#include "tree/ole_date.h"

#include "tree/text_trim.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given proleptic Gregorian date.
std::int64_t daysSinceUnixEpoch(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromUnixDays(std::int64_t z, CivilDateTime& out) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    out.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    out.year = yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0);
}

const std::int64_t kOleEpoch = daysSinceUnixEpoch(1899, 12, 30);

bool isLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// A small cursor over the text being parsed.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ == text_.size(); }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t position) { pos_ = position; }

    void skipSpace() {
        while (!atEnd() && text_[pos_] == ' ')
            ++pos_;
    }

    bool take(char c) {
        if (atEnd() || text_[pos_] != c)
            return false;
        ++pos_;
        return true;
    }

    // Takes 1 to `maxDigits` decimal digits; reports how many were taken.
    bool number(std::int64_t& value, int& digitCount, int maxDigits = 12) {
        value = 0;
        digitCount = 0;
        while (!atEnd() && text_[pos_] >= '0' && text_[pos_] <= '9' && digitCount < maxDigits) {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++digitCount;
        }
        return digitCount > 0;
    }

    bool number(int& value, int maxDigits = 2) {
        std::int64_t wide = 0;
        int count = 0;
        if (!number(wide, count, maxDigits))
            return false;
        value = static_cast<int>(wide);
        return true;
    }

    // Case-insensitive "AM" or "PM"; sets `pm`.
    bool meridiem(bool& pm) {
        if (text_.size() - pos_ < 2)
            return false;
        const char first = static_cast<char>(text_[pos_] | 0x20);
        const char second = static_cast<char>(text_[pos_ + 1] | 0x20);
        if ((first != 'a' && first != 'p') || second != 'm')
            return false;
        pm = first == 'p';
        pos_ += 2;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool signedYear(Scanner& in, std::int64_t& year, int& digitCount) {
    const bool negative = in.take('-');
    if (!in.number(year, digitCount))
        return false;
    if (negative) {
        year = -year;
        digitCount = 0; // a signed year is never a two-digit abbreviation
    }
    return true;
}

// "h:mm[:ss] AM|PM" or "H:mm[:ss]".
bool parseTime(Scanner& in, CivilDateTime& out) {
    if (!in.number(out.hour) || !in.take(':') || !in.number(out.minute))
        return false;
    if (in.take(':') && !in.number(out.second))
        return false;
    in.skipSpace();
    bool pm = false;
    if (in.meridiem(pm)) {
        if (out.hour < 1 || out.hour > 12)
            return false;
        out.hour = out.hour % 12 + (pm ? 12 : 0);
    }
    return out.hour < 24 && out.minute < 60 && out.second < 60;
}

bool parseUsDate(Scanner& in, CivilDateTime& out) {
    int yearDigits = 0;
    if (!in.number(out.month) || !in.take('/') || !in.number(out.day) || !in.take('/') ||
        !signedYear(in, out.year, yearDigits))
        return false;
    if (yearDigits == 1 || yearDigits == 2)
        out.year += out.year < 30 ? 2000 : 1900;
    in.skipSpace();
    return in.atEnd() || parseTime(in, out);
}

bool parseIsoDate(Scanner& in, CivilDateTime& out) {
    int yearDigits = 0;
    if (!signedYear(in, out.year, yearDigits) || !in.take('-') || !in.number(out.month) ||
        !in.take('-') || !in.number(out.day))
        return false;
    if (in.atEnd())
        return true;
    if (!in.take('T') && !in.take(' '))
        return false;
    if (!in.number(out.hour) || !in.take(':') || !in.number(out.minute))
        return false;
    if (in.take(':') && !in.number(out.second))
        return false;
    return out.hour < 24 && out.minute < 60 && out.second < 60;
}

std::optional<double> parseCivil(std::string_view text) {
    for (const auto& form : {parseUsDate, parseIsoDate}) {
        Scanner in(text);
        CivilDateTime civil;
        if (form(in, civil) && in.atEnd())
            return daysFromCivil(civil);
    }
    Scanner in(text);
    CivilDateTime timeAlone;
    if (parseTime(in, timeAlone) && in.atEnd())
        return daysFromCivil(timeAlone);
    return std::nullopt;
}

std::string yearText(std::int64_t year) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%04lld", year < 0 ? "-" : "",
                  static_cast<long long>(year < 0 ? -year : year));
    return buffer;
}

} // namespace

std::optional<double> daysFromCivil(const CivilDateTime& civil) {
    if (civil.month < 1 || civil.month > 12 || civil.day < 1 ||
        civil.day > daysInMonth(civil.year, civil.month))
        return std::nullopt;
    if (civil.hour < 0 || civil.hour > 23 || civil.minute < 0 || civil.minute > 59 ||
        civil.second < 0 || civil.second > 59)
        return std::nullopt;
    // Years this far out would overflow the day arithmetic and are no dates.
    if (std::llabs(civil.year) > 300'000'000)
        return std::nullopt;
    const std::int64_t dayNumber =
        daysSinceUnixEpoch(civil.year, civil.month, civil.day) - kOleEpoch;
    if (std::fabs(static_cast<double>(dayNumber)) > kMaxDateDays)
        return std::nullopt;
    const double fraction =
        (civil.hour * 3600 + civil.minute * 60 + civil.second) / double{kSecondsPerDay};
    const auto whole = static_cast<double>(dayNumber);
    return dayNumber >= 0 ? whole + fraction : whole - fraction;
}

CivilDateTime civilFromDays(double days) {
    const double whole = std::trunc(days);
    std::int64_t seconds = std::llround(std::fabs(days - whole) * kSecondsPerDay);
    auto dayNumber = static_cast<std::int64_t>(whole);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    CivilDateTime civil;
    civilFromUnixDays(dayNumber + kOleEpoch, civil);
    civil.hour = static_cast<int>(seconds / 3600);
    civil.minute = static_cast<int>(seconds / 60 % 60);
    civil.second = static_cast<int>(seconds % 60);
    return civil;
}

std::string formatDate(const OleDate& date) {
    if (!date.isValid() || !std::isfinite(date.days) || std::fabs(date.days) > kMaxDateDays)
        return {};
    const CivilDateTime civil = civilFromDays(date.days);
    std::string text =
        std::to_string(civil.month) + "/" + std::to_string(civil.day) + "/" + yearText(civil.year);
    if (civil.hour == 0 && civil.minute == 0 && civil.second == 0)
        return text;
    char time[32];
    const int hour12 = civil.hour % 12 == 0 ? 12 : civil.hour % 12;
    std::snprintf(time, sizeof time, " %d:%02d:%02d %s", hour12, civil.minute, civil.second,
                  civil.hour < 12 ? "AM" : "PM");
    return text + time;
}

OleDate parseDate(std::string_view text) {
    const std::optional<double> days = parseCivil(trimmed(text));
    if (!days)
        return OleDate::invalid();
    return {*days, DateStatus::Valid};
}

} // namespace velmora
