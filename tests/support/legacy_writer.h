// A writer of legacy archive files, for tests only: the product reads this
// format but never writes it. Each document kind is laid out field by field,
// independently of the readers, so that a reader that skips, swaps or
// misreads a field fails the tests. Texts are copied byte for byte: a fixture
// holds them as Windows-1252.
#pragma once

#include "legacy/legacy_record.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

// The day number of a calendar date: 1 January of year 1 is day 1.
std::uint32_t dayNumberOf(int year, int month, int day);

class LegacyWriter {
public:
    void u16(std::uint32_t value);
    void u32(std::uint32_t value);
    void f64(double value);
    void raw(std::string_view bytes) { bytes_.append(bytes); }
    // With the shortest length prefix; tests write the longer escapes raw.
    void cString(std::string_view text);
    void date(const CDate& date);       // schema word 1, the day number
    void subDate(const CSubDate& date); // the CDate form, schema word 1, the kind
    void address(const CAddress& a);
    void addTbs(const CAddTBS& line);

    // Object lists. Classes and objects take the next index of the file's one
    // counter: a new class and its first object take two.
    void count(std::uint32_t elements);
    void newClass(std::string_view name, std::uint32_t schema = 0);
    // A new-class tag on the first object of `name`, else a known-class tag.
    void objectTag(std::string_view name);
    void addressList(const std::vector<CAddress>& elements);
    void addTbsList(const std::vector<CAddTBS>& elements);

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::map<std::string, std::uint32_t, std::less<>> classes_;
    std::uint32_t nextIndex_ = 1;
};

// A HUD statement file of `r.version` holding the values of `r`. The record
// gives the words as the file stores them: taxDays before the x10 rule, the
// raw line-201 option word and, for line 402, the double `line402`.
// form1099.propertyStreet is split at its first blank into the file's two
// texts. Fields the import drops are filled with distinct junk.
std::string hudFile(const HudRecord& r, double line402 = 0.0);

// A refinance statement file of `r.version`. Version 402 stores line 901's
// dates without their precision.
std::string refinanceFile(const RefinanceRecord& r);

} // namespace velmora::testing
