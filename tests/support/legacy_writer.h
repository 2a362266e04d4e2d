// A writer of legacy archive files, for tests only: the product reads this
// format but never writes it. The byte order follows the file layout of each
// document kind field by field, independently of the readers, so that a
// reader that skips, swaps or misreads a field fails the tests.
//
// Texts are copied byte for byte: a fixture holds them as Windows-1252.
#pragma once

#include "legacy/legacy_record.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

// The day number of a calendar date: 1 January of year 1 is day 1; 0 for the
// empty date (year 0).
std::uint32_t dayNumberOf(int year, int month, int day);

// How a CString's length is written: the shortest prefix that holds it, or
// one of the longer escapes even when the length would fit a shorter one.
enum class LengthPrefix { Shortest, Word, DoubleWord };

class LegacyWriter {
public:
    void u16(std::uint32_t value);
    void u32(std::uint32_t value);
    void f64(double value);
    void raw(std::string_view bytes) { bytes_.append(bytes); }
    void cString(std::string_view text, LengthPrefix prefix = LengthPrefix::Shortest);

    // Schema word 1, then the day number of `date`.
    void date(const CDate& date);
    // The CDate form, schema word 1, the precision kind.
    void subDate(const CSubDate& date);
    void address(const CAddress& a);
    void addTbs(const CAddTBS& line);

    // Object list pieces. Every class and object takes the next index of the
    // file's one counter; the tag functions return the index they assigned
    // to the object (the body must follow).
    void count(std::uint32_t elements);
    std::uint32_t newClass(std::string_view name, std::uint32_t schema = 0);
    std::uint32_t knownClass(std::uint32_t classIndex);
    std::uint32_t bigKnownClass(std::uint32_t classIndex);
    void reference(std::uint32_t objectIndex) { u16(objectIndex); }
    void bigReference(std::uint32_t objectIndex);
    void null() { u16(0); }
    // A new-class tag on the first object of `name` in the file, else a
    // known-class tag; returns the object's index.
    std::uint32_t objectTag(std::string_view name);
    std::uint32_t classIndex(std::string_view name) const;

    // Whole lists, one object tag and body per element.
    void addressList(const std::vector<CAddress>& elements);
    void addTbsList(const std::vector<CAddTBS>& elements);

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::map<std::string, std::uint32_t, std::less<>> classes_;
    std::uint32_t nextIndex_ = 1;
};

// A HUD statement file of `r.version` holding the values of `r`. The record
// gives the words as the file stores them: taxDays before the ×10 rule, the
// raw line-201 option word (n201Option) and, for line 402, the double
// `line402`. form1099.propertyStreet is split at its first blank into the two
// texts of the file. Fields the import drops are filled with distinct junk.
std::string hudFile(const HudRecord& r, double line402 = 0.0);

// A refinance statement file of `r.version` holding the values of `r`. For
// version 402 the two dates that stand in for n901 from/to are taken from
// lines["n901"].
std::string refinanceFile(const RefinanceRecord& r);

} // namespace velmora::testing
