// Field order of a refinance statement file: the version word (no header
// follows), the parties and lines 800 to 1600, the escrow disclosure, the
// form block, the ledger, the check table, and the blocks later versions
// added. Version 402 files lack the settlement block; the reader derives it.
#include "legacy/refinance_reader.h"

#include "legacy/kind_check.h"
#include "legacy/legacy_fields.h"
#include "legacy/object_list.h"

namespace velmora {
namespace {

using namespace legacy_fields;

constexpr std::uint32_t kVersion402 = 402;
constexpr std::uint32_t kVersion1202 = 1202;
constexpr std::uint32_t kVersion1502 = 1502;

// Line 901's dates as the first version stored them, before the settlement
// block held them with a precision.
struct InterestDates {
    CDate from, to;
};

// Lines first..last as [text, borrower amount]: a refinance line has no seller side.
void readBorrowerLines(ArchiveReader& in, LineMap& lines, int first, int last) {
    readFundLines(in, lines, first, last, Sides::BorrowerOnly);
}

void readParties(ArchiveReader& in, RefinanceRecord& r) {
    r.loanNo = in.cString();
    r.borrower.name1 = in.cString();
    r.borrower.name2 = in.cString();
    r.borrower.street = in.cString();
    r.lenderText = in.cString();
    r.property.street = in.cString();
    r.lot = in.cString();
    r.agent.name1 = in.cString();
    r.agent.street = in.cString();
    r.placeOfSettlement = in.cString();
    r.settlementDate = CSubDate::read(in);
}

void readLines800To900(ArchiveReader& in, RefinanceRecord& r, InterestDates& dates) {
    for (const char* name : {"n801", "n802"}) {
        LegacyLine& line = r.lines[name];
        line.percentage = in.f64();
        line.forPOC = in.cString();
        line.text = in.cString();
        line.borrowerFund = in.cString();
    }
    readBorrowerLines(in, r.lines, 803, 811);
    dates.from = CDate::read(in);
    dates.to = CDate::read(in);

    readPrepaidLines(in, r.lines, Sides::BorrowerOnly);
}

void readLines1100To1600(ArchiveReader& in, RefinanceRecord& r) {
    readTitleChargeLines(in, r.lines, Sides::BorrowerOnly);
    readBorrowerLines(in, r.lines, 1201, 1205);
    readBorrowerLines(in, r.lines, 1301, 1307);
    r.n1400BorrowerFund = in.f64();
    readTextAmountLines(in, r.lines, 1501, 1515);
    r.n1520 = in.f64();
    r.n1600Amount = in.cString();
    r.n1600Cash = in.cString();
    r.n1604 = in.f64();
}

void readSettlementBlock(ArchiveReader& in, RefinanceRecord& r) {
    r.settlementDate = CSubDate::read(in);
    LegacyLine& n901 = r.lines["n901"];
    n901.from = CSubDate::read(in);
    n901.to = CSubDate::read(in);
    r.n1400SettlementDate = CSubDate::read(in);
    r.settlementAgent = in.cString();
    r.n801Option = in.u16();
    r.n802Option = in.u16();
}

CSubDate withFullPrecision(const CDate& date) {
    return CSubDate{date, 0};
}

// The first version kept no settlement block: its values follow from the
// parties and line 901's plain dates, and both loan fee options were on.
void deriveSettlementBlock(RefinanceRecord& r, const InterestDates& dates) {
    LegacyLine& n901 = r.lines["n901"];
    n901.from = withFullPrecision(dates.from);
    n901.to = withFullPrecision(dates.to);
    r.n1400SettlementDate = r.settlementDate;
    r.settlementAgent = r.agent.name1;
    r.n801Option = 1;
    r.n802Option = 1;
}

void readListBlock(ArchiveReader& in, RefinanceRecord& r) {
    ObjectTable objects(in.remaining());
    r.borrowers = objects.readList<CAddress>(in);
    for (std::vector<CAddTBS>& list : r.openLists)
        list = objects.readList<CAddTBS>(in);
    skipTexts(in, 1);
}

} // namespace

ReadResult readRefinanceRecord(ArchiveReader& in, RefinanceRecord& r) {
    r.version = in.u16();
    if (in.failed())
        return ReadResult::Damaged;
    if (kindCheckMessage(r.version, LegacyReaderKind::Refinance))
        return ReadResult::WrongKind;

    InterestDates dates;
    readParties(in, r);
    readLines800To900(in, r, dates);
    readReserveLines(in, r.lines, r.n1008Flag);
    readLines1100To1600(in, r);
    readEscrow(in, r.escrow);
    readFormBlock(in, r.form1099Presence, r.form1099Texts, r.form1099Options);
    readLedger(in, r.ledger);
    readCheckTable(in, r.checkTablePresence, r.checkRows);
    if (r.version == kVersion402)
        deriveSettlementBlock(r, dates);
    else
        readSettlementBlock(in, r);
    if (r.version >= kVersion1202)
        readListBlock(in, r);
    if (r.version >= kVersion1502)
        r.fundingDate = CSubDate::read(in);
    return in.failed() ? ReadResult::Damaged : ReadResult::Read;
}

int readRefinanceFile(const std::string& path, RefinanceRecord& record) {
    ArchiveReader in = ArchiveReader::fromFile(path);
    const ReadResult result = readRefinanceRecord(in, record);
    return reportReadResult(result, record.version, LegacyReaderKind::Refinance);
}

} // namespace velmora
