// The byte layer of legacy archives: primitives, string escapes, dates and
// object lists, on well-formed and on damaged bytes.
#include "legacy/legacy_values.h"
#include "legacy/object_list.h"
#include "support/legacy_test_support.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

using W = LegacyWriter;

TEST(LegacyArchiveTest, ReadsLittleEndianPrimitivesAndEveryLengthPrefix) {
    W w;
    w.u16(0xBEEF);
    w.u32(0xA1B2C3D4);
    w.f64(-2.5e-7);
    w.cString("");
    w.cString(std::string(254, 'r'));
    w.cString(std::string(300, 'q')); // the word escape
    w.raw(std::string("\xFF\x05\x00hello", 8));
    w.raw(std::string("\xFF\xFF\xFF\x03\x00\x00\x00xyz", 10)); // the double-word escape
    w.cString("caf\xE9 \x80 na\xEFve");
    ArchiveReader in = archiveOf(w.bytes());
    EXPECT_EQ(in.u16(), 0xBEEFu);
    EXPECT_EQ(in.u32(), 0xA1B2C3D4u);
    EXPECT_EQ(in.f64(), -2.5e-7);
    for (const std::string& text : {std::string(), std::string(254, 'r'), std::string(300, 'q'),
                                    std::string("hello"), std::string("xyz")})
        EXPECT_EQ(in.cString(), text);
    EXPECT_EQ(in.cString(), "café € naïve");
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(LegacyArchiveTest, EndOfDataOrOverlongLengthFailsAndLaterReadsAreEmpty) {
    const std::string texts[] = {
        std::string("\x05"
                    "ab"),                                  // text shorter than its length
        std::string("\xFF\x05", 2),                         // inside the word escape
        std::string("\xFF\xFF\xFF\x01\x00", 5),             // inside the double-word escape
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFFxyz", 10), // 0xFFFFFFFF characters
        std::string("\xFF\x10\x00xyz", 6)};
    for (const std::string& bytes : texts) {
        ArchiveReader in = archiveOf(bytes);
        EXPECT_EQ(in.cString(), "") << ::testing::PrintToString(bytes);
        EXPECT_TRUE(in.failed());
        EXPECT_EQ(in.u32(), 0u);
        EXPECT_EQ(in.remaining(), 0u);
    }
    const std::pair<int, std::function<bool(ArchiveReader&)>> shortReads[] = {
        {0, [](ArchiveReader& in) { return in.u16() == 0; }},
        {1, [](ArchiveReader& in) { return in.u16() == 0; }},
        {3, [](ArchiveReader& in) { return in.u32() == 0; }},
        {7, [](ArchiveReader& in) { return in.f64() == 0.0; }}};
    for (const auto& [size, read] : shortReads) {
        ArchiveReader in = archiveOf(std::string(static_cast<std::size_t>(size), '\x01'));
        EXPECT_TRUE(read(in)) << size;
        EXPECT_TRUE(in.failed()) << size;
        EXPECT_EQ(in.failure(), "the file ends inside a field that starts at byte 0") << size;
    }
    // The first failure is the one told, with the byte its field starts at.
    ArchiveReader cut = archiveOf(std::string("\x01\x00\x05"
                                              "ab",
                                              5));
    EXPECT_EQ(cut.u16(), 1u);
    EXPECT_EQ(cut.failure(), "");
    EXPECT_EQ(cut.cString(), "");
    cut.fail("a later fault");
    EXPECT_EQ(cut.failure(), "the file ends inside a field that starts at byte 3");
}

CDate dateOfDayNumber(std::uint32_t number) {
    W w;
    w.u16(1);
    w.u32(number);
    ArchiveReader in = archiveOf(w.bytes());
    return CDate::read(in);
}

TEST(LegacyArchiveTest, DayNumbersMapOntoCalendarDatesWithinTheAcceptedRange) {
    EXPECT_EQ(dateOfDayNumber(1).text(), "01/01/0001");
    for (std::uint32_t outside : {0u, 1041529205u, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_TRUE(dateOfDayNumber(outside).empty()) << outside;
    EXPECT_EQ(CDate{}.text(), "00/00/0000");
    const CDate last = dateOfDayNumber(1041529204);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(dayNumberOf(last.year, last.month, last.day), 1041529204u);
    for (int year : {1, 4, 99, 100, 101, 400, 1600, 1700, 1900, 2000, 2004, 2100, 9999, 400000}) {
        for (int month = 1; month <= 12; ++month) {
            static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            for (int day : {1, kLength[month - 1] + (month == 2 && leap)}) {
                const std::uint32_t number = dayNumberOf(year, month, day);
                const CDate date = dateOfDayNumber(number);
                EXPECT_TRUE(date.year == year && date.month == month && date.day == day)
                    << year << "-" << month << "-" << day << " read as " << date.text();
                EXPECT_EQ(CDate({year, month, day}).dayNumber(), number);
            }
        }
    }
}

TEST(LegacyArchiveTest, SubDateTextFollowsItsPrecisionKind) {
    const std::pair<int, std::string> cases[] = {
        {1, "03/00/2008"}, {2, "/00/00/2008"}, {3, ""}, {0, "03/15/2008"}, {7, "03/15/2008"}};
    for (const auto& [kind, text] : cases) {
        W w;
        w.subDate(CSubDate{{2008, 3, 15}, kind});
        ArchiveReader in = archiveOf(w.bytes());
        const CSubDate date = CSubDate::read(in);
        EXPECT_EQ(date.text(), text) << "kind " << kind;
        EXPECT_EQ(date.day, 15);
        EXPECT_EQ(in.remaining(), 0u);
    }
    EXPECT_EQ(CSubDate{}.text(), "");
}

const CAddress kHome{"Ann", "Bo", "1 Elm", "OH", "Akron", "44301", "x", "y"};
const CAddress kOffice{"Cy", "", "9 Oak", "PA", "Erie", "16501", "", ""};

template <typename T> std::string namesOf(const std::vector<T>& list) {
    std::string names;
    for (const T& element : list) {
        if constexpr (std::is_same_v<T, CAddress>)
            names += element.name1 + "/" + element.zip + " ";
        else
            names += element.text + "/" + element.borrowerFund + " ";
    }
    return names;
}

TEST(LegacyArchiveTest, ObjectListsShareOneIndexCounterAcrossTheFile) {
    W w;
    w.count(0);
    w.count(3);
    w.u16(0);                // a null element
    w.objectTag("CAddress"); // class 1, object 2
    w.address(kHome);
    w.u16(2); // object 2 again
    w.count(2);
    w.objectTag("CAddTBS"); // class 3, object 4
    w.addTbs({"Courier", "", 0, "25.00", ""});
    w.u16(0x8003); // object 5, of class 3
    w.addTbs({"Wire", "", 0, "30.00", ""});
    w.u16(0xFFFF); // the count escape
    w.u32(4);
    w.u16(0x7FFF); // object 6, by the long class tag
    w.u32(0x80000001);
    w.address(kOffice);
    w.u16(0x7FFF); // object 2 by the long reference
    w.u32(2);
    w.u16(6);
    w.u16(0x8001); // object 7
    w.address(kHome);

    ArchiveReader in = archiveOf(w.bytes());
    ObjectTable table(w.bytes().size());
    EXPECT_TRUE(table.readList<CAddress>(in).empty());
    EXPECT_EQ(namesOf(table.readList<CAddress>(in)), "Ann/44301 Ann/44301 ");
    EXPECT_EQ(namesOf(table.readList<CAddTBS>(in)), "Courier/25.00 Wire/30.00 ");
    EXPECT_EQ(namesOf(table.readList<CAddress>(in)), "Cy/16501 Ann/44301 Cy/16501 Ann/44301 ");
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);
}

// Whether a third list (of CAddress) fails, after lists holding the address
// of index 2 (class 1) and the CAddTBS of index 4 (class 3).
// How a third list of addresses, after two lists that read, fails the
// archive: the reader's failure, empty when the list reads.
std::string addressListFailure(std::uint32_t count, const std::function<void(W&)>& elements) {
    W w;
    w.addressList({kHome});
    w.addTbsList({{"Courier", "", 0, "25.00", ""}});
    w.count(count);
    elements(w);
    ArchiveReader in = archiveOf(w.bytes());
    ObjectTable table(w.bytes().size());
    table.readList<CAddress>(in);
    table.readList<CAddTBS>(in);
    EXPECT_FALSE(in.failed());
    const std::vector<CAddress> result = table.readList<CAddress>(in);
    EXPECT_TRUE(!in.failed() || result.empty());
    EXPECT_EQ(in.failed(), !in.failure().empty());
    return in.failure();
}

// Each way a list can be malformed fails the archive with its own words and
// the byte where it was met.
TEST(LegacyArchiveTest, MalformedObjectListsFailTheArchive) {
    EXPECT_EQ(addressListFailure(1, [](W& w) { w.u16(2); }), "");
    const auto longTag = [](W& w, std::uint32_t value) {
        w.u16(0x7FFF);
        w.u32(value);
    };
    constexpr char kEnds[] = "the file ends inside a field that starts";
    constexpr char kNoObject[] = "a list refers to an object it has not read";
    constexpr char kNotItsObject[] = "a list refers to an entry that is not one of its objects";
    constexpr char kNoClass[] = "a list refers to a class it has not named";
    constexpr char kClassForm[] = "a list names a class in a form no reader knows";
    const struct {
        const char* what;
        std::function<void(W&)> elements;
        const char* failure;
    } cases[] = {
        {"an unassigned index", [](W& w) { w.u16(5); }, kNoObject},
        {"a long unassigned index", [&](W& w) { longTag(w, 77); }, kNoObject},
        {"a class index", [](W& w) { w.u16(1); }, kNotItsObject},
        {"an object of CAddTBS", [](W& w) { w.u16(4); }, kNotItsObject},
        // An address follows, so only the class check can refuse it.
        {"the class of another list", [](W& w) { w.u16(0x8003), w.address(kHome); },
         "a list holds an object of the wrong class"},
        {"an object as class", [](W& w) { w.u16(0x8002); }, kNoClass},
        {"an unassigned class", [](W& w) { w.u16(0x8009); }, kNoClass},
        {"long class tag 0", [&](W& w) { longTag(w, 0x80000000); }, kNoClass},
        {"an unknown class", [](W& w) { w.newClass("CThing"), w.address(kHome); },
         "a list names a class no reader knows"},
        {"schema 1", [](W& w) { w.newClass("CAddress", 1), w.address(kHome); }, kClassForm},
        {"a class name of 64 bytes",
         [](W& w) { w.newClass("CAddress" + std::string(56, ' ')), w.address(kHome); }, kClassForm},
        {"end of data in a class name",
         [](W& w) {
             w.raw(std::string("\xFF\xFF\x00\x00\x08\x00"
                               "CAdd",
                               10));
         },
         kEnds},
        {"end of data in an object", [](W& w) { w.u16(0x8001); }, kEnds}};
    for (const auto& [what, elements, failure] : cases) {
        const std::string failed = addressListFailure(1, elements);
        EXPECT_EQ(failed.rfind(std::string(failure) + " at byte ", 0), 0u)
            << what << ": " << failed;
    }
    // The two lists before take 78 bytes; a count is read from byte 78, in 2
    // bytes, or in 6 with its escape, and checked against what remains.
    EXPECT_EQ(addressListFailure(2, [](W& w) { w.u16(2); }),
              "a list counts more elements than the file holds at byte 80");
    EXPECT_EQ(addressListFailure(0xFFFFFFFF, [](W&) {}),
              "a list counts more elements than the file holds at byte 84");
    EXPECT_EQ(addressListFailure(40000, [](W& w) { w.u16(2); }),
              "a list counts more elements than the file holds at byte 80");
}

} // namespace
} // namespace velmora::testing
