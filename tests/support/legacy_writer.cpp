#include "support/legacy_writer.h"

#include <array>
#include <cstring>
#include <type_traits>
#include <variant>

namespace velmora::testing {
namespace {

// A field the import reads and drops. Each gets a value of its own, so that a
// reader that takes a dropped field for a kept one shows it.
enum class J { Text, Word, Double, Date };

using Line = LegacyLine;
using Field =
    std::variant<std::string Line::*, std::uint32_t Line::*, double Line::*, CSubDate Line::*, J>;
constexpr auto text = &Line::text, payor = &Line::payor, amount = &Line::amount,
               bf = &Line::borrowerFund, sf = &Line::sellerFund;
const std::vector<Field> kTextAmount{text, amount}, kDated{&Line::from, &Line::to, amount},
    kFund{text, bf, sf}, kBorrower{text, bf};

class FileWriter : public LegacyWriter {
public:
    void put(const std::string& value) { cString(value); }
    void put(std::uint32_t value) { u16(value); }
    void put(double value) { f64(value); }
    void put(const CSubDate& value) { subDate(value); }
    void put(J kind) {
        const int n = ++junk_;
        if (kind == J::Text)
            cString("~" + std::to_string(n));
        else if (kind == J::Word)
            u16(0x7A00 + (n & 0xFF));
        else if (kind == J::Double)
            f64(-1000.25 - n);
        else
            date(CDate{1999, 12, 1 + n % 28});
    }
    template <typename T, std::size_t N> void put(const std::array<T, N>& values) {
        for (const T& value : values)
            put(value);
    }
    template <typename... T> void puts(const T&... values) { (put(values), ...); }
    void junk(J kind, int count) {
        for (int i = 0; i < count; ++i)
            put(kind);
    }
    // `fields` of lines first..last, line by line.
    void lines(const LineMap& all, int first, int last, const std::vector<Field>& fields) {
        static const LegacyLine kEmpty;
        for (int n = first; n <= last; ++n) {
            const auto found = all.find("n" + std::to_string(n));
            const LegacyLine& line = found == all.end() ? kEmpty : found->second;
            for (const Field& field : fields)
                std::visit(
                    [&](auto member) {
                        if constexpr (std::is_same_v<decltype(member), J>)
                            put(member);
                        else
                            put(line.*member);
                    },
                    field);
        }
    }
    void reserveLines(const LineMap& all, std::uint32_t n1008Flag) {
        lines(all, 1001, 1005, {&Line::months, &Line::at, bf});
        lines(all, 1006, 1007, {text, &Line::months, &Line::at, bf});
        lines(all, 1008, 1008, {bf});
        put(n1008Flag);
    }
    void escrow(const EscrowBlock& e) {
        puts(J::Text, J::Text, e.tollFreeNumber, e.firstPaymentDate, e.escrowInit, J::Word,
             e.escrowTo);
        for (const LegacyLine& month : e.months)
            puts(month.amount, month.text, J::Double);
        puts(e.maxMonthsAllowed, e.cushionAmount, e.monthlyPayment, J::Double,
             e.discretionaryAmount);
    }
    void ledger(const LedgerBlock& l) {
        puts(l.presence, l.names);
        for (const LedgerSlot& s : l.deposits)
            puts(s.date, s.payee, s.memo, s.amount);
        for (const LedgerSlot& s : l.checks)
            puts(s.date, s.payee, s.memo, s.reference, s.amount);
        junk(J::Text, 3);
    }

private:
    int junk_ = 0;
};

void hudLines100To1400(FileWriter& w, const HudRecord& r, double line402) {
    const LineMap& L = r.lines;
    w.puts(r.n101, r.n102);
    w.lines(L, 104, 105, kTextAmount);
    w.lines(L, 106, 108, kDated);
    w.lines(L, 109, 112, kTextAmount);
    w.puts(r.n120, r.n201, r.n202, r.n203);
    w.lines(L, 204, 209, kTextAmount);
    w.lines(L, 210, 212, kDated);
    w.lines(L, 213, 219, kTextAmount);
    w.puts(r.n220, r.n303, J::Double, line402);
    w.lines(L, 403, 405, kTextAmount);
    w.lines(L, 406, 408, kDated);
    w.lines(L, 409, 412, kTextAmount);
    w.puts(r.n420, r.n501, r.n503);
    w.lines(L, 504, 505, {payor, amount});
    w.lines(L, 506, 509, kTextAmount);
    w.lines(L, 510, 512, kDated);
    w.lines(L, 513, 519, kTextAmount);
    w.puts(r.n520, r.n603, r.priceAt, J::Double);
    w.lines(L, 701, 702, kTextAmount);
    w.lines(L, 703, 704, kFund);
    w.lines(L, 801, 802, {&Line::percentage, &Line::forPOC, text, bf, sf});
    w.lines(L, 803, 811, kFund);
    w.junk(J::Date, 2);
    w.lines(L, 901, 901, {&Line::at, bf, sf});
    w.lines(L, 902, 903, {&Line::months, text, bf, sf});
    w.lines(L, 904, 904, {text, &Line::months, payor, bf, sf});
    w.lines(L, 905, 905, kFund);
    w.reserveLines(L, r.n1008Flag);
    w.lines(L, 1101, 1106, kFund);
    w.lines(L, 1107, 1108, {text, payor, bf, sf});
    w.lines(L, 1109, 1110, {bf});
    w.lines(L, 1111, 1113, kFund);
    w.lines(L, 1201, 1201, {&Line::deed, &Line::mortgage, &Line::release, bf, sf});
    w.lines(L, 1202, 1203, {&Line::deed, &Line::mortgage, J::Text, bf, sf});
    w.lines(L, 1204, 1205, kFund);
    w.lines(L, 1301, 1306, kFund);
    w.lines(L, 812, 813, kFund);
    w.puts(r.n1400BorrowerFund, r.n1400SellerFund);
}

void hud1099(FileWriter& w, const Form1099Block& f) {
    const std::size_t blank = f.propertyStreet.find(' ');
    const std::string street2 =
        blank == std::string::npos ? "" : f.propertyStreet.substr(blank + 1);
    const CAddress& a = f.filerAddress;
    const CAddress& t = f.transferorAddress;
    w.puts(J::Text, f.propertyStreet.substr(0, blank), street2, f.propertyLot, f.propertyBlock);
    w.puts(f.checks[0], f.checks[1], f.checks[2], f.checks[3], J::Text, f.closingDate, J::Text);
    w.puts(a.name1, a.name2, a.street, a.city, a.state, a.zip, f.filerPhone, J::Word, J::Word);
    w.puts(f.exchangeOption, t.name1, t.name2, t.street, t.city, t.state, t.zip, f.accountNo);
    w.puts(f.grossProceed, f.sellersTaxCredit, f.propertyAddress, f.filerFederalId, f.transferorId,
           J::Text);
}

} // namespace

std::uint32_t dayNumberOf(int year, int month, int day) {
    static constexpr int kMonthStart[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const std::int64_t y = year - 1;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return static_cast<std::uint32_t>(365 * y + y / 4 - y / 100 + y / 400 + kMonthStart[month - 1] +
                                      (month > 2 && leap) + day);
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

void LegacyWriter::cString(std::string_view text) {
    if (text.size() < 0xFF) {
        bytes_.push_back(static_cast<char>(text.size()));
    } else {
        bytes_.push_back('\xFF');
        u16(static_cast<std::uint32_t>(text.size()));
    }
    raw(text);
}

void LegacyWriter::date(const CDate& d) {
    u16(1);
    u32(d.year == 0 ? 0 : dayNumberOf(d.year, d.month, d.day));
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
    u16(elements < 0xFFFF ? elements : 0xFFFF);
    if (elements >= 0xFFFF)
        u32(elements);
}

void LegacyWriter::newClass(std::string_view name, std::uint32_t schema) {
    u16(0xFFFF);
    u16(schema);
    u16(static_cast<std::uint32_t>(name.size()));
    raw(name);
    classes_.emplace(std::string(name), nextIndex_);
    nextIndex_ += 2;
}

void LegacyWriter::objectTag(std::string_view name) {
    const auto found = classes_.find(name);
    if (found == classes_.end())
        return newClass(name);
    u16(0x8000 | found->second);
    ++nextIndex_;
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
    w.puts(v, J::Date, J::Date, r.taxDays, J::Date, J::Date, J::Word, J::Word, J::Double,
           J::Double);
    w.puts(r.loanOption, r.fileNo, r.loanNo, r.caseNo, r.borrower.name1, r.borrower.name2, J::Text,
           r.seller.name1, r.seller.name2, J::Text, r.sellerTin, r.lenderText, J::Text);
    w.puts(r.lot, r.agent.name1, J::Text, r.agentTin, r.placeOfSettlement, r.settlementDate);
    hudLines100To1400(w, r, line402);
    w.escrow(r.escrow);
    w.put(r.form1099.presence);
    w.junk(J::Text, 13);
    w.junk(J::Word, 3);
    w.ledger(r.ledger);
    w.put(J::Word); // the presence of the unused check table
    w.junk(J::Text, 24 * 8);
    if (v >= 901) {
        w.junk(J::Text, 25);
        w.puts(r.settlementAgent, r.n1400SettlementDate, r.n801Option, r.n802Option, r.taxStart,
               r.taxEnd, r.sewerStart, r.sewerEnd);
        w.lines(r.lines, 901, 901, {&Line::from, &Line::to});
        w.put(r.priceAmount);
    }
    if (v >= 1001) {
        w.junk(J::Text, 38 + 41);
        w.put(r.calculate);
        hud1099(w, r.form1099);
    }
    if (v >= 1101) {
        w.puts(r.n102Option, r.n201Option, r.n203Option, r.n1400SellerName1, r.n1400SellerName2,
               r.n1400BorrowerName1, r.n1400BorrowerName2);
        for (const CAddress* a : {&r.property, &r.seller, &r.borrower, &r.agent})
            w.puts(a->street, a->state, a->city, a->zip);
        w.lines(r.lines, 1001, 1007, {sf});
        w.junk(J::Text, 4);
        w.lines(r.lines, 1008, 1008, {sf});
        w.puts(J::Word, r.fiscal);
    }
    if (v >= 1201) {
        w.addressList(r.sellers);
        w.addressList(r.borrowers);
        for (const std::vector<CAddTBS>& list : r.openLists)
            w.addTbsList(list);
    }
    if (v >= 1501)
        w.put(r.fundingDate);
    if (v >= 1601)
        w.puts(r.form1099.checks[4], r.form1099.checks[5], r.form1099.checks[6]);
    return w.bytes();
}

std::string refinanceFile(const RefinanceRecord& r) {
    FileWriter w;
    const LineMap& L = r.lines;
    const std::uint32_t v = r.version;
    w.puts(v, r.loanNo, r.borrower.name1, r.borrower.name2, r.borrower.street, r.lenderText,
           r.property.street, r.lot, r.agent.name1, r.agent.street, r.placeOfSettlement);
    // Later versions store the settlement date again further on; this one is replaced.
    w.put(v == 402 ? r.settlementDate : CSubDate{{1998, 6, 7}, 0});
    w.lines(L, 801, 802, {&Line::percentage, &Line::forPOC, text, bf});
    w.lines(L, 803, 811, kBorrower);
    if (v == 402) {
        const LegacyLine n901 = L.count("n901") ? L.at("n901") : LegacyLine{};
        w.date(n901.from);
        w.date(n901.to);
    } else {
        w.junk(J::Date, 2);
    }
    w.lines(L, 901, 901, {&Line::at, bf});
    w.lines(L, 902, 903, {&Line::months, text, bf});
    w.lines(L, 904, 904, {text, &Line::months, payor, bf});
    w.lines(L, 905, 905, kBorrower);
    w.reserveLines(L, r.n1008Flag);
    w.lines(L, 1101, 1106, kBorrower);
    w.lines(L, 1107, 1108, {text, payor, bf});
    w.lines(L, 1109, 1110, {bf});
    w.lines(L, 1111, 1113, kBorrower);
    w.lines(L, 1201, 1205, kBorrower);
    w.lines(L, 1301, 1307, kBorrower);
    w.put(r.n1400BorrowerFund);
    w.lines(L, 1501, 1515, kTextAmount);
    w.puts(r.n1520, r.n1600Amount, r.n1600Cash, r.n1604);
    w.escrow(r.escrow);
    w.puts(r.form1099Presence, r.form1099Texts, r.form1099Options);
    w.ledger(r.ledger);
    w.puts(r.checkTablePresence, r.checkRows);
    if (v >= 902) {
        w.put(r.settlementDate);
        w.lines(L, 901, 901, {&Line::from, &Line::to});
        w.puts(r.n1400SettlementDate, r.settlementAgent, r.n801Option, r.n802Option);
    }
    if (v >= 1202) {
        w.addressList(r.borrowers);
        for (const std::vector<CAddTBS>& list : r.openLists)
            w.addTbsList(list);
        w.junk(J::Text, 1);
    }
    if (v >= 1502)
        w.put(r.fundingDate);
    return w.bytes();
}

} // namespace velmora::testing
