#include "support/legacy_writer.h"

#include <cstring>

namespace velmora::testing {
namespace {

constexpr int kCumulativeMonthStart[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

const LegacyLine& lineOf(const LineMap& lines, int number) {
    static const LegacyLine kEmpty;
    const auto found = lines.find("n" + std::to_string(number));
    return found == lines.end() ? kEmpty : found->second;
}

// Fields the import reads and drops get values of their own, so that a reader
// that takes a dropped field for a kept one shows it.
class FileWriter : public LegacyWriter {
public:
    void junkTexts(int count) {
        for (int i = 0; i < count; ++i)
            cString("~" + std::to_string(++junk_));
    }
    void junkWord() { u16(0x7A00 + (++junk_ & 0xFF)); }
    void junkDouble() { f64(-1000.25 - ++junk_); }
    void junkDate() { date(CDate{1999, 12, 1 + (++junk_ % 28)}); }
    void junkSubDate() { subDate(CSubDate{{1998, 6, 1 + (++junk_ % 28)}, 0}); }

    void texts(std::initializer_list<const std::string*> fields) {
        for (const std::string* field : fields)
            cString(*field);
    }
    void textAmountLines(const LineMap& lines, int first, int last) {
        for (int n = first; n <= last; ++n)
            texts({&lineOf(lines, n).text, &lineOf(lines, n).amount});
    }
    void datedLines(const LineMap& lines, int first, int last) {
        for (int n = first; n <= last; ++n) {
            subDate(lineOf(lines, n).from);
            subDate(lineOf(lines, n).to);
            cString(lineOf(lines, n).amount);
        }
    }
    // text, borrowerFund and (when `withSeller`) sellerFund.
    void fundLines(const LineMap& lines, int first, int last, bool withSeller) {
        for (int n = first; n <= last; ++n) {
            const LegacyLine& l = lineOf(lines, n);
            texts({&l.text, &l.borrowerFund});
            if (withSeller)
                cString(l.sellerFund);
        }
    }

    void escrow(const EscrowBlock& e) {
        junkTexts(2);
        cString(e.tollFreeNumber);
        subDate(e.firstPaymentDate);
        f64(e.escrowInit);
        junkWord();
        f64(e.escrowTo);
        for (const LegacyLine& month : e.months) {
            texts({&month.amount, &month.text});
            junkDouble();
        }
        u16(e.maxMonthsAllowed);
        texts({&e.cushionAmount, &e.monthlyPayment});
        junkDouble();
        cString(e.discretionaryAmount);
    }
    void formBlock(std::uint32_t presence, const std::array<std::string, 13>* kept,
                   const std::array<std::uint32_t, 3>* options) {
        u16(presence);
        for (int i = 0; i < 13; ++i) {
            if (kept)
                cString((*kept)[static_cast<std::size_t>(i)]);
            else
                junkTexts(1);
        }
        for (int i = 0; i < 3; ++i) {
            if (options)
                u16((*options)[static_cast<std::size_t>(i)]);
            else
                junkWord();
        }
    }
    void ledger(const LedgerBlock& l) {
        u16(l.presence);
        for (const std::string& name : l.names)
            cString(name);
        for (const LedgerSlot& s : l.deposits)
            texts({&s.date, &s.payee, &s.memo, &s.amount});
        for (const LedgerSlot& s : l.checks)
            texts({&s.date, &s.payee, &s.memo, &s.reference, &s.amount});
        junkTexts(3);
    }
    void streetStateCityZip(const CAddress& a) { texts({&a.street, &a.state, &a.city, &a.zip}); }

private:
    int junk_ = 0;
};

void hudBlock1(FileWriter& w, const HudRecord& r, double line402) {
    const LineMap& L = r.lines;
    w.u16(r.loanOption);
    w.texts({&r.fileNo, &r.loanNo, &r.caseNo, &r.borrower.name1, &r.borrower.name2});
    w.junkTexts(1);
    w.texts({&r.seller.name1, &r.seller.name2});
    w.junkTexts(1);
    w.texts({&r.sellerTin, &r.lenderText});
    w.junkTexts(1);
    w.texts({&r.lot, &r.agent.name1});
    w.junkTexts(1);
    w.texts({&r.agentTin, &r.placeOfSettlement});
    w.subDate(r.settlementDate);
    w.texts({&r.n101, &r.n102});
    w.textAmountLines(L, 104, 105);
    w.datedLines(L, 106, 108);
    w.textAmountLines(L, 109, 112);
    w.f64(r.n120);
    w.texts({&r.n201, &r.n202, &r.n203});
    w.textAmountLines(L, 204, 209);
    w.datedLines(L, 210, 212);
    w.textAmountLines(L, 213, 219);
    w.f64(r.n220);
    w.f64(r.n303);
    w.junkDouble();
    w.f64(line402);
    w.textAmountLines(L, 403, 405);
    w.datedLines(L, 406, 408);
    w.textAmountLines(L, 409, 412);
    w.f64(r.n420);
    w.texts({&r.n501, &r.n503});
    for (int n = 504; n <= 505; ++n)
        w.texts({&lineOf(L, n).payor, &lineOf(L, n).amount});
    w.textAmountLines(L, 506, 509);
    w.datedLines(L, 510, 512);
    w.textAmountLines(L, 513, 519);
    w.f64(r.n520);
    w.f64(r.n603);
}

void hudBlock2(FileWriter& w, const HudRecord& r) {
    const LineMap& L = r.lines;
    w.f64(r.priceAt);
    w.junkDouble();
    w.textAmountLines(L, 701, 702);
    w.fundLines(L, 703, 704, true);
    for (int n = 801; n <= 802; ++n) {
        w.f64(lineOf(L, n).percentage);
        w.cString(lineOf(L, n).forPOC);
        w.fundLines(L, n, n, true);
    }
    w.fundLines(L, 803, 811, true);
    w.junkDate();
    w.junkDate();
    w.f64(lineOf(L, 901).at);
    w.texts({&lineOf(L, 901).borrowerFund, &lineOf(L, 901).sellerFund});
    for (int n = 902; n <= 903; ++n) {
        w.u16(lineOf(L, n).months);
        w.fundLines(L, n, n, true);
    }
    const LegacyLine& n904 = lineOf(L, 904);
    w.cString(n904.text);
    w.u16(n904.months);
    w.texts({&n904.payor, &n904.borrowerFund, &n904.sellerFund});
    w.fundLines(L, 905, 905, true);
    for (int n = 1001; n <= 1007; ++n) {
        if (n >= 1006)
            w.cString(lineOf(L, n).text);
        w.u16(lineOf(L, n).months);
        w.f64(lineOf(L, n).at);
        w.cString(lineOf(L, n).borrowerFund);
    }
    w.cString(lineOf(L, 1008).borrowerFund);
    w.u16(r.n1008Flag);
    w.fundLines(L, 1101, 1106, true);
    for (int n = 1107; n <= 1108; ++n) {
        const LegacyLine& l = lineOf(L, n);
        w.texts({&l.text, &l.payor, &l.borrowerFund, &l.sellerFund});
    }
    w.texts({&lineOf(L, 1109).borrowerFund, &lineOf(L, 1110).borrowerFund});
    w.fundLines(L, 1111, 1113, true);
    for (int n = 1201; n <= 1203; ++n) {
        const LegacyLine& l = lineOf(L, n);
        w.texts({&l.deed, &l.mortgage});
        if (n == 1201)
            w.cString(l.release);
        else
            w.junkTexts(1);
        w.texts({&l.borrowerFund, &l.sellerFund});
    }
    w.fundLines(L, 1204, 1205, true);
    w.fundLines(L, 1301, 1306, true);
    w.fundLines(L, 812, 813, true);
    w.f64(r.n1400BorrowerFund);
    w.f64(r.n1400SellerFund);
}

void hud1099(FileWriter& w, const Form1099Block& f) {
    const std::size_t blank = f.propertyStreet.find(' ');
    w.junkTexts(1);
    w.cString(f.propertyStreet.substr(0, blank));
    w.cString(blank == std::string::npos ? std::string() : f.propertyStreet.substr(blank + 1));
    w.texts({&f.propertyLot, &f.propertyBlock});
    for (int i = 0; i < 4; ++i)
        w.u16(f.checks[static_cast<std::size_t>(i)]);
    w.junkTexts(1);
    w.cString(f.closingDate);
    w.junkTexts(1);
    const CAddress& a = f.filerAddress;
    w.texts({&a.name1, &a.name2, &a.street, &a.city, &a.state, &a.zip, &f.filerPhone});
    w.junkWord();
    w.junkWord();
    w.u16(f.exchangeOption);
    const CAddress& t = f.transferorAddress;
    w.texts({&t.name1, &t.name2, &t.street, &t.city, &t.state, &t.zip, &f.accountNo});
    w.texts({&f.grossProceed, &f.sellersTaxCredit, &f.propertyAddress, &f.filerFederalId,
             &f.transferorId});
    w.junkTexts(1);
}

} // namespace

std::uint32_t dayNumberOf(int year, int month, int day) {
    if (year == 0)
        return 0;
    const std::int64_t y = year - 1;
    const std::int64_t before = year < 2 ? 0 : 365 * y + y / 4 - y / 100 + y / 400;
    const int leapDay = month > 2 && leapYear(year) ? 1 : 0;
    return static_cast<std::uint32_t>(before + kCumulativeMonthStart[month - 1] + leapDay + day);
}

void LegacyWriter::u16(std::uint32_t value) {
    bytes_.push_back(static_cast<char>(value & 0xFF));
    bytes_.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void LegacyWriter::u32(std::uint32_t value) {
    u16(value & 0xFFFF);
    u16(value >> 16);
}

void LegacyWriter::f64(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    u32(static_cast<std::uint32_t>(bits));
    u32(static_cast<std::uint32_t>(bits >> 32));
}

void LegacyWriter::cString(std::string_view text, LengthPrefix prefix) {
    const std::size_t n = text.size();
    if (prefix == LengthPrefix::Shortest && n < 0xFF) {
        bytes_.push_back(static_cast<char>(n));
    } else if (prefix != LengthPrefix::DoubleWord && n < 0xFFFF) {
        bytes_.push_back('\xFF');
        u16(static_cast<std::uint32_t>(n));
    } else {
        bytes_.push_back('\xFF');
        u16(0xFFFF);
        u32(static_cast<std::uint32_t>(n));
    }
    raw(text);
}

void LegacyWriter::date(const CDate& d) {
    u16(1);
    u32(dayNumberOf(d.year, d.month, d.day));
}

void LegacyWriter::subDate(const CSubDate& d) {
    date(d);
    u16(1);
    u16(static_cast<std::uint32_t>(d.precision));
}

void LegacyWriter::address(const CAddress& a) {
    for (const std::string* field :
         {&a.name1, &a.name2, &a.street, &a.state, &a.city, &a.zip, &a.sign1, &a.sign2})
        cString(*field);
}

void LegacyWriter::addTbs(const CAddTBS& line) {
    cString(line.text);
    cString(line.borrowerFund);
    cString(line.sellerFund);
}

void LegacyWriter::count(std::uint32_t elements) {
    if (elements < 0xFFFF) {
        u16(elements);
    } else {
        u16(0xFFFF);
        u32(elements);
    }
}

std::uint32_t LegacyWriter::newClass(std::string_view name, std::uint32_t schema) {
    u16(0xFFFF);
    u16(schema);
    u16(static_cast<std::uint32_t>(name.size()));
    raw(name);
    classes_.emplace(std::string(name), nextIndex_++);
    return nextIndex_++;
}

std::uint32_t LegacyWriter::knownClass(std::uint32_t classIndex) {
    u16(0x8000 | classIndex);
    return nextIndex_++;
}

std::uint32_t LegacyWriter::bigKnownClass(std::uint32_t classIndex) {
    u16(0x7FFF);
    u32(0x80000000 | classIndex);
    return nextIndex_++;
}

void LegacyWriter::bigReference(std::uint32_t objectIndex) {
    u16(0x7FFF);
    u32(objectIndex);
}

std::uint32_t LegacyWriter::objectTag(std::string_view name) {
    const auto found = classes_.find(name);
    return found == classes_.end() ? newClass(name) : knownClass(found->second);
}

std::uint32_t LegacyWriter::classIndex(std::string_view name) const {
    const auto found = classes_.find(name);
    return found == classes_.end() ? 0 : found->second;
}

void LegacyWriter::addressList(const std::vector<CAddress>& elements) {
    count(static_cast<std::uint32_t>(elements.size()));
    for (const CAddress& a : elements) {
        objectTag("CAddress");
        address(a);
    }
}

void LegacyWriter::addTbsList(const std::vector<CAddTBS>& elements) {
    count(static_cast<std::uint32_t>(elements.size()));
    for (const CAddTBS& line : elements) {
        objectTag("CAddTBS");
        addTbs(line);
    }
}

std::string hudFile(const HudRecord& r, double line402) {
    FileWriter w;
    const std::uint32_t v = r.version;
    w.u16(v);
    w.junkDate();
    w.junkDate();
    w.u16(r.taxDays);
    w.junkDate();
    w.junkDate();
    w.junkWord();
    w.junkWord();
    w.junkDouble();
    w.junkDouble();
    hudBlock1(w, r, line402);
    hudBlock2(w, r);
    w.escrow(r.escrow);
    w.formBlock(r.form1099.presence, nullptr, nullptr);
    w.ledger(r.ledger);
    w.junkWord();
    w.junkTexts(24 * 8);
    if (v >= 901) {
        w.junkTexts(25);
        w.cString(r.settlementAgent);
        w.subDate(r.n1400SettlementDate);
        w.u16(r.n801Option);
        w.u16(r.n802Option);
        for (const CSubDate* d : {&r.taxStart, &r.taxEnd, &r.sewerStart, &r.sewerEnd,
                                  &lineOf(r.lines, 901).from, &lineOf(r.lines, 901).to})
            w.subDate(*d);
        w.cString(r.priceAmount);
    }
    if (v >= 1001) {
        w.junkTexts(38 + 41);
        w.u16(r.calculate);
        hud1099(w, r.form1099);
    }
    if (v >= 1101) {
        w.u16(r.n102Option);
        w.u16(r.n201Option);
        w.u16(r.n203Option);
        w.texts({&r.n1400SellerName1, &r.n1400SellerName2, &r.n1400BorrowerName1,
                 &r.n1400BorrowerName2});
        for (const CAddress* a : {&r.property, &r.seller, &r.borrower, &r.agent})
            w.streetStateCityZip(*a);
        for (int n = 1001; n <= 1007; ++n)
            w.cString(lineOf(r.lines, n).sellerFund);
        w.junkTexts(4);
        w.cString(lineOf(r.lines, 1008).sellerFund);
        w.junkWord();
        w.subDate(r.fiscal);
    }
    if (v >= 1201) {
        w.addressList(r.sellers);
        w.addressList(r.borrowers);
        for (const std::vector<CAddTBS>& list : r.openLists)
            w.addTbsList(list);
    }
    if (v >= 1501)
        w.subDate(r.fundingDate);
    if (v >= 1601) {
        for (std::size_t i = 4; i < 7; ++i)
            w.u16(r.form1099.checks[i]);
    }
    return w.bytes();
}

std::string refinanceFile(const RefinanceRecord& r) {
    FileWriter w;
    const LineMap& L = r.lines;
    const std::uint32_t v = r.version;
    w.u16(v);
    w.texts({&r.loanNo, &r.borrower.name1, &r.borrower.name2, &r.borrower.street, &r.lenderText,
             &r.property.street, &r.lot, &r.agent.name1, &r.agent.street, &r.placeOfSettlement});
    // Later versions store the settlement date again further on; this one is replaced.
    if (v == 402)
        w.subDate(r.settlementDate);
    else
        w.junkSubDate();
    for (int n = 801; n <= 802; ++n) {
        w.f64(lineOf(L, n).percentage);
        w.cString(lineOf(L, n).forPOC);
        w.fundLines(L, n, n, false);
    }
    w.fundLines(L, 803, 811, false);
    if (v == 402) {
        w.date(lineOf(L, 901).from);
        w.date(lineOf(L, 901).to);
    } else {
        w.junkDate();
        w.junkDate();
    }
    w.f64(lineOf(L, 901).at);
    w.cString(lineOf(L, 901).borrowerFund);
    for (int n = 902; n <= 903; ++n) {
        w.u16(lineOf(L, n).months);
        w.fundLines(L, n, n, false);
    }
    const LegacyLine& n904 = lineOf(L, 904);
    w.cString(n904.text);
    w.u16(n904.months);
    w.texts({&n904.payor, &n904.borrowerFund});
    w.fundLines(L, 905, 905, false);
    for (int n = 1001; n <= 1007; ++n) {
        if (n >= 1006)
            w.cString(lineOf(L, n).text);
        w.u16(lineOf(L, n).months);
        w.f64(lineOf(L, n).at);
        w.cString(lineOf(L, n).borrowerFund);
    }
    w.cString(lineOf(L, 1008).borrowerFund);
    w.u16(r.n1008Flag);
    w.fundLines(L, 1101, 1106, false);
    for (int n = 1107; n <= 1108; ++n)
        w.texts({&lineOf(L, n).text, &lineOf(L, n).payor, &lineOf(L, n).borrowerFund});
    w.texts({&lineOf(L, 1109).borrowerFund, &lineOf(L, 1110).borrowerFund});
    w.fundLines(L, 1111, 1113, false);
    w.fundLines(L, 1201, 1205, false);
    w.fundLines(L, 1301, 1307, false);
    w.f64(r.n1400BorrowerFund);
    w.textAmountLines(L, 1501, 1515);
    w.f64(r.n1520);
    w.texts({&r.n1600Amount, &r.n1600Cash});
    w.f64(r.n1604);

    w.escrow(r.escrow);
    w.formBlock(r.form1099Presence, &r.form1099Texts, &r.form1099Options);
    w.ledger(r.ledger);
    w.u16(r.checkTablePresence);
    for (const auto& row : r.checkRows)
        for (const std::string& text : row)
            w.cString(text);
    if (v >= 902) {
        w.subDate(r.settlementDate);
        w.subDate(lineOf(L, 901).from);
        w.subDate(lineOf(L, 901).to);
        w.subDate(r.n1400SettlementDate);
        w.cString(r.settlementAgent);
        w.u16(r.n801Option);
        w.u16(r.n802Option);
    }
    if (v >= 1202) {
        w.addressList(r.borrowers);
        for (const std::vector<CAddTBS>& list : r.openLists)
            w.addTbsList(list);
        w.junkTexts(1);
    }
    if (v >= 1502)
        w.subDate(r.fundingDate);
    return w.bytes();
}

} // namespace velmora::testing
