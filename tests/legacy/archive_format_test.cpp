// The byte layer of legacy archives: primitives, string escapes, dates and
// object lists, on well-formed and on damaged bytes.
#include "legacy/archive_reader.h"
#include "legacy/kind_check.h"
#include "legacy/legacy_values.h"
#include "legacy/object_list.h"
#include "support/legacy_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

ArchiveReader readerOf(const std::string& bytes) {
    return ArchiveReader(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

TEST(LegacyArchiveTest, ReadsLittleEndianPrimitivesAndEveryLengthPrefix) {
    LegacyWriter w;
    w.u16(0xBEEF);
    w.u32(0xA1B2C3D4);
    w.f64(-2.5e-7);
    w.cString("");
    w.cString("abcde", LengthPrefix::Word);
    w.cString("xyz", LengthPrefix::DoubleWord);
    w.cString(std::string(300, 'q'));
    w.cString(std::string(254, 'r'));
    w.cString("caf\xE9 \x80 na\xEFve");
    w.raw(std::string("\xFF\x05\x00"
                      "hello",
                      8));
    w.raw(std::string("\xFF\xFF\xFF\x03\x00\x00\x00"
                      "abc",
                      10));

    ArchiveReader in = readerOf(w.bytes());
    EXPECT_EQ(in.u16(), 0xBEEFu);
    EXPECT_EQ(in.u32(), 0xA1B2C3D4u);
    EXPECT_EQ(in.f64(), -2.5e-7);
    EXPECT_EQ(in.cString(), "");
    EXPECT_EQ(in.cString(), "abcde");
    EXPECT_EQ(in.cString(), "xyz");
    EXPECT_EQ(in.cString(), std::string(300, 'q'));
    EXPECT_EQ(in.cString(), std::string(254, 'r'));
    EXPECT_EQ(in.cString(), "café € naïve");
    EXPECT_EQ(in.cString(), "hello");
    EXPECT_EQ(in.cString(), "abc");
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(LegacyArchiveTest, EndOfDataOrOverlongLengthFailsAndLaterReadsAreEmpty) {
    const std::string cases[] = {
        "",     // no byte of a u16
        "\x01", // half a u16
        std::string("\x05"
                    "ab"),                      // text shorter than its length
        std::string("\xFF\x05", 2),             // inside the word escape
        std::string("\xFF\xFF\xFF\x01\x00", 5), // inside the double-word escape
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                    "abc",
                    10), // 0xFFFFFFFF characters
        std::string("\xFF\x10\x00"
                    "abc",
                    6),
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        ArchiveReader in = readerOf(bytes);
        if (bytes.size() < 2) {
            EXPECT_EQ(in.u16(), 0u);
        } else {
            EXPECT_EQ(in.cString(), "");
        }
        EXPECT_TRUE(in.failed());
        EXPECT_EQ(in.u32(), 0u);
        EXPECT_EQ(in.remaining(), 0u);
    }
    for (std::size_t size : {0u, 3u}) {
        ArchiveReader in = readerOf(std::string(size, '\x01'));
        EXPECT_EQ(in.u32(), 0u);
        EXPECT_TRUE(in.failed());
    }
    ArchiveReader in = readerOf(std::string(7, '\x01'));
    EXPECT_EQ(in.f64(), 0.0);
    EXPECT_TRUE(in.failed());
}

CDate dateOfDayNumber(std::uint32_t number) {
    LegacyWriter w;
    w.u16(1);
    w.u32(number);
    ArchiveReader in = readerOf(w.bytes());
    return CDate::read(in);
}

TEST(LegacyArchiveTest, DayNumbersOutsideTheAcceptedRangeAreTheEmptyDate) {
    const CDate first = dateOfDayNumber(1);
    EXPECT_EQ(first.year, 1);
    EXPECT_EQ(first.month, 1);
    EXPECT_EQ(first.day, 1);
    EXPECT_TRUE(dateOfDayNumber(0).empty());
    EXPECT_TRUE(dateOfDayNumber(0xFFFFFFFF).empty());
    EXPECT_TRUE(dateOfDayNumber(0x80000000).empty());
    EXPECT_TRUE(dateOfDayNumber(1041529205).empty());
    const CDate last = dateOfDayNumber(1041529204);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(dayNumberOf(last.year, last.month, last.day), 1041529204u);
    EXPECT_EQ((CDate{2008, 3, 15}.text()), "03/15/2008");
    EXPECT_EQ(CDate{}.text(), "00/00/0000");
}

TEST(LegacyArchiveTest, DayNumbersRoundTripOverCenturiesLeapDaysAndMonthEnds) {
    for (int year : {1,    2,    3,    4,    5,    99,   100,  101,  399,  400,  401,   1600,
                     1700, 1899, 1900, 1999, 2000, 2001, 2004, 2100, 2400, 9999, 10000, 400000}) {
        for (int month = 1; month <= 12; ++month) {
            static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int last = kLength[month - 1] + (month == 2 && leap ? 1 : 0);
            for (int day : {1, 15, last}) {
                SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month) + "-" +
                             std::to_string(day));
                const std::uint32_t number = dayNumberOf(year, month, day);
                const CDate date = dateOfDayNumber(number);
                EXPECT_EQ(date.year, year);
                EXPECT_EQ(date.month, month);
                EXPECT_EQ(date.day, day);
                EXPECT_EQ(CDate({year, month, day}).dayNumber(), number);
            }
        }
    }
    // Consecutive day numbers are consecutive calendar days.
    for (std::uint32_t number = 1; number < 1041529204; number += 99991) {
        const CDate date = CDate::fromDayNumber(number);
        ASSERT_EQ(dayNumberOf(date.year, date.month, date.day), number);
        const CDate next = CDate::fromDayNumber(number + 1);
        EXPECT_TRUE(next.day == date.day + 1 || (next.day == 1 && next.month != date.month));
    }
}

TEST(LegacyArchiveTest, SubDateTextFollowsItsPrecisionKind) {
    const std::pair<std::uint32_t, std::string> cases[] = {
        {1, "03/00/2008"}, {2, "/00/00/2008"}, {3, ""}, {0, "03/15/2008"}, {7, "03/15/2008"}};
    for (const auto& [kind, text] : cases) {
        LegacyWriter w;
        w.subDate(CSubDate{{2008, 3, 15}, static_cast<std::int32_t>(kind)});
        ArchiveReader in = readerOf(w.bytes());
        const CSubDate date = CSubDate::read(in);
        EXPECT_EQ(date.text(), text) << "kind " << kind;
        EXPECT_EQ(date.year, 2008);
        EXPECT_EQ(date.day, 15);
        EXPECT_FALSE(in.failed());
        EXPECT_EQ(in.remaining(), 0u);
    }
    EXPECT_EQ(CSubDate{}.precision, 3);
}

TEST(LegacyArchiveTest, ValueClassesReadTheirMembersInFileOrder) {
    LegacyWriter w;
    w.address({"n1", "n2", "st", "NY", "city", "10001", "s1", "s2"});
    w.addTbs({"text", "payor is not stored", 5, "1.00", "2.00"});
    ArchiveReader in = readerOf(w.bytes());
    const CAddress a = CAddress::read(in);
    const CAddTBS line = CAddTBS::read(in);
    EXPECT_EQ(a.name1 + a.name2 + a.street + a.state + a.city + a.zip + a.sign1 + a.sign2,
              "n1n2stNYcity10001s1s2");
    EXPECT_EQ(line.text, "text");
    EXPECT_EQ(line.payor, "");
    EXPECT_EQ(line.net, 0);
    EXPECT_EQ(line.borrowerFund, "1.00");
    EXPECT_EQ(line.sellerFund, "2.00");
    EXPECT_EQ(in.remaining(), 0u);
}

const CAddress kHome{"Ann", "Bo", "1 Elm", "OH", "Akron", "44301", "x", "y"};
const CAddress kOffice{"Cy", "", "9 Oak", "PA", "Erie", "16501", "", ""};
const CAddTBS kFee{"Courier", "", 0, "25.00", "0.00"};

TEST(LegacyArchiveTest, ObjectListsShareOneIndexCounterAcrossTheFile) {
    LegacyWriter w;
    w.count(0);
    w.count(3);
    w.null();
    const std::uint32_t home = w.objectTag("CAddress");
    w.address(kHome);
    w.reference(home); // the same object a second time
    w.count(2);
    w.objectTag("CAddTBS");
    w.addTbs(kFee);
    const std::uint32_t fee = w.knownClass(w.classIndex("CAddTBS"));
    w.addTbs({"Wire", "", 0, "30.00", ""});
    w.raw("\xFF\xFF"); // the count escape
    w.u32(4);
    w.bigKnownClass(w.classIndex("CAddress"));
    w.address(kOffice);
    w.bigReference(home);
    w.reference(w.classIndex("CAddTBS") + 3); // the office, by its index
    w.knownClass(w.classIndex("CAddress"));
    w.address(kHome);
    EXPECT_EQ(home, 2u);
    EXPECT_EQ(fee, 5u);

    ArchiveReader in = readerOf(w.bytes());
    ObjectTable table(w.bytes().size());
    EXPECT_TRUE(table.readList<CAddress>(in).empty());
    const std::vector<CAddress> first = table.readList<CAddress>(in);
    const std::vector<CAddTBS> fees = table.readList<CAddTBS>(in);
    const std::vector<CAddress> second = table.readList<CAddress>(in);
    ASSERT_FALSE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].street, "1 Elm");
    EXPECT_EQ(first[1].sign2, "y");
    ASSERT_EQ(fees.size(), 2u);
    EXPECT_EQ(fees[1].text, "Wire");
    ASSERT_EQ(second.size(), 4u);
    EXPECT_EQ(second[0].city, "Erie");
    EXPECT_EQ(second[1].name1, "Ann");
    EXPECT_EQ(second[2].city, "Erie");
    EXPECT_EQ(second[3].zip, "44301");
}

// A list of CAddress with `elements` after one address of index 2 (class 1).
bool addressListFails(const std::function<void(LegacyWriter&)>& elements, std::uint32_t count) {
    LegacyWriter w;
    w.count(1);
    w.objectTag("CAddress");
    w.address(kHome);
    w.count(1);
    w.objectTag("CAddTBS"); // class 3, object 4
    w.addTbs(kFee);
    w.count(count);
    elements(w);
    ArchiveReader in = readerOf(w.bytes());
    ObjectTable table(w.bytes().size());
    table.readList<CAddress>(in);
    table.readList<CAddTBS>(in);
    EXPECT_FALSE(in.failed());
    const std::vector<CAddress> result = table.readList<CAddress>(in);
    EXPECT_TRUE(!in.failed() || result.empty());
    return in.failed();
}

TEST(LegacyArchiveTest, MalformedObjectListsFailTheArchive) {
    using W = LegacyWriter;
    EXPECT_FALSE(addressListFails([](W& w) { w.reference(2); }, 1));
    EXPECT_TRUE(addressListFails([](W& w) { w.reference(5); }, 1)) << "unassigned index";
    EXPECT_TRUE(addressListFails([](W& w) { w.bigReference(77); }, 1)) << "unassigned index";
    EXPECT_TRUE(addressListFails([](W& w) { w.reference(1); }, 1)) << "a class index";
    EXPECT_TRUE(addressListFails([](W& w) { w.reference(4); }, 1)) << "an object of CAddTBS";
    EXPECT_TRUE(addressListFails([](W& w) { w.knownClass(3); }, 1)) << "class of other lists";
    EXPECT_TRUE(addressListFails([](W& w) { w.knownClass(2); }, 1)) << "an object as class";
    EXPECT_TRUE(addressListFails([](W& w) { w.knownClass(9); }, 1)) << "unassigned class";
    EXPECT_TRUE(addressListFails([](W& w) { w.bigKnownClass(0); }, 1));
    EXPECT_TRUE(addressListFails(
        [](W& w) {
            w.newClass("CThing");
            w.address(kHome);
        },
        1))
        << "unknown class";
    EXPECT_TRUE(addressListFails(
        [](W& w) {
            w.newClass("CAddress", 1);
            w.address(kHome);
        },
        1))
        << "schema 1";
    EXPECT_TRUE(addressListFails(
        [](W& w) {
            w.newClass("CAddress" + std::string(56, ' '));
            w.address(kHome);
        },
        1))
        << "class name of 64 bytes";
    EXPECT_TRUE(addressListFails(
        [](W& w) {
            w.raw(std::string("\xFF\xFF\x00\x00\x08\x00"
                              "CAdd",
                              10));
        },
        1))
        << "end of data in a class name";
    EXPECT_TRUE(addressListFails([](W& w) { w.u16(0x8001); }, 1)) << "end of data in an object";
    EXPECT_TRUE(addressListFails([](W& w) { w.reference(2); }, 2)) << "end of data at a tag";
    EXPECT_TRUE(addressListFails([](W&) {}, 0xFFFFFFFF)) << "count beyond what remains";
    EXPECT_TRUE(addressListFails([](W& w) { w.reference(2); }, 40000));
}

} // namespace
} // namespace velmora::testing
