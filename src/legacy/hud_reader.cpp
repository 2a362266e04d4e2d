// Field order of a HUD statement file: the version word, the header, block 1
// (parties and lines 100 to 600), block 2 (lines 700 to 1400), the escrow
// disclosure, the 1099-S presence word, the ledger, an unused check table,
// and the blocks later versions added.
#include "legacy/hud_reader.h"

#include "legacy/kind_check.h"
#include "legacy/legacy_fields.h"
#include "legacy/object_list.h"

namespace velmora {
namespace {

using namespace legacy_fields;

constexpr std::uint32_t kVersion901 = 901;
constexpr std::uint32_t kVersion1001 = 1001;
constexpr std::uint32_t kVersion1101 = 1101;
constexpr std::uint32_t kVersion1201 = 1201;
constexpr std::uint32_t kVersion1501 = 1501;
constexpr std::uint32_t kVersion1601 = 1601;

// Files before version 1001 kept the header's day counts in tens.
std::uint32_t headerDayCount(ArchiveReader& in, std::uint32_t version) {
    const std::uint32_t word = in.u16();
    return version < kVersion1001 ? word * 10 : word;
}

void readHeader(ArchiveReader& in, HudRecord& r) {
    CDate::read(in);
    CDate::read(in);
    r.taxDays = headerDayCount(in, r.version);
    CDate::read(in);
    CDate::read(in);
    headerDayCount(in, r.version);
    in.u16();
    in.f64();
    in.f64();
}

void readFundLines(ArchiveReader& in, LineMap& lines, int first, int last) {
    legacy_fields::readFundLines(in, lines, first, last, Sides::BorrowerAndSeller);
}

void readPartiesAndLines100To600(ArchiveReader& in, HudRecord& r, double& line402) {
    r.loanOption = in.u16();
    r.fileNo = in.cString();
    r.loanNo = in.cString();
    r.caseNo = in.cString();
    r.borrower.name1 = in.cString();
    r.borrower.name2 = in.cString();
    skipTexts(in, 1);
    r.seller.name1 = in.cString();
    r.seller.name2 = in.cString();
    skipTexts(in, 1);
    r.sellerTin = in.cString();
    r.lenderText = in.cString();
    skipTexts(in, 1);
    r.lot = in.cString();
    r.agent.name1 = in.cString();
    skipTexts(in, 1);
    r.agentTin = in.cString();
    r.placeOfSettlement = in.cString();
    r.settlementDate = CSubDate::read(in);

    r.n101 = in.cString();
    r.n102 = in.cString();
    readTextAmountLines(in, r.lines, 104, 105);
    readDatedLines(in, r.lines, 106, 108);
    readTextAmountLines(in, r.lines, 109, 112);
    r.n120 = in.f64();

    r.n201 = in.cString();
    r.n202 = in.cString();
    r.n203 = in.cString();
    readTextAmountLines(in, r.lines, 204, 209);
    readDatedLines(in, r.lines, 210, 212);
    readTextAmountLines(in, r.lines, 213, 219);
    r.n220 = in.f64();

    r.n303 = in.f64();
    in.f64();
    line402 = in.f64();
    readTextAmountLines(in, r.lines, 403, 405);
    readDatedLines(in, r.lines, 406, 408);
    readTextAmountLines(in, r.lines, 409, 412);
    r.n420 = in.f64();

    r.n501 = in.cString();
    r.n503 = in.cString();
    for (const char* payoff : {"n504", "n505"}) {
        LegacyLine& line = r.lines[payoff];
        line.payor = in.cString();
        line.amount = in.cString();
    }
    readTextAmountLines(in, r.lines, 506, 509);
    readDatedLines(in, r.lines, 510, 512);
    readTextAmountLines(in, r.lines, 513, 519);
    r.n520 = in.f64();
    r.n603 = in.f64();
}

void readLines700To1400(ArchiveReader& in, HudRecord& r) {
    r.priceAt = in.f64();
    in.f64();
    readTextAmountLines(in, r.lines, 701, 702);
    readFundLines(in, r.lines, 703, 704);
    for (const char* name : {"n801", "n802"}) {
        LegacyLine& line = r.lines[name];
        line.percentage = in.f64();
        line.forPOC = in.cString();
        line.text = in.cString();
        line.borrowerFund = in.cString();
        line.sellerFund = in.cString();
    }
    readFundLines(in, r.lines, 803, 811);
    CDate::read(in);
    CDate::read(in);

    readPrepaidLines(in, r.lines, Sides::BorrowerAndSeller);

    readReserveLines(in, r.lines, r.n1008Flag);

    readTitleChargeLines(in, r.lines, Sides::BorrowerAndSeller);

    for (int number = 1201; number <= 1203; ++number) {
        LegacyLine& line = r.lines[lineName(number)];
        line.deed = in.cString();
        line.mortgage = in.cString();
        const std::string release = in.cString();
        if (number == 1201)
            line.release = release;
        line.borrowerFund = in.cString();
        line.sellerFund = in.cString();
    }
    readFundLines(in, r.lines, 1204, 1205);
    readFundLines(in, r.lines, 1301, 1306);
    readFundLines(in, r.lines, 812, 813);
    r.n1400BorrowerFund = in.f64();
    r.n1400SellerFund = in.f64();
}

// A statement keeps only the form block's presence word.
void readFormPresence(ArchiveReader& in, std::uint32_t& presence) {
    std::array<std::string, 13> texts;
    std::array<std::uint32_t, 3> options{};
    readFormBlock(in, presence, texts, options);
}

// A statement does not use the check table.
void readUnusedCheckTable(ArchiveReader& in) {
    std::uint32_t presence = 0;
    std::array<std::array<std::string, 8>, 24> rows;
    readCheckTable(in, presence, rows);
}

void readBlock7(ArchiveReader& in, HudRecord& r) {
    skipTexts(in, 25);
    r.settlementAgent = in.cString();
    r.n1400SettlementDate = CSubDate::read(in);
    r.n801Option = in.u16();
    r.n802Option = in.u16();
    r.taxStart = CSubDate::read(in);
    r.taxEnd = CSubDate::read(in);
    r.sewerStart = CSubDate::read(in);
    r.sewerEnd = CSubDate::read(in);
    LegacyLine& n901 = r.lines["n901"];
    n901.from = CSubDate::read(in);
    n901.to = CSubDate::read(in);
    r.priceAmount = in.cString();
}

void readForm1099(ArchiveReader& in, Form1099Block& f) {
    skipTexts(in, 1);
    const std::string street1 = in.cString();
    const std::string street2 = in.cString();
    f.propertyStreet = street1 + " " + street2;
    f.propertyLot = in.cString();
    f.propertyBlock = in.cString();
    for (int i = 0; i < 4; ++i)
        f.checks[static_cast<std::size_t>(i)] = in.u16();
    skipTexts(in, 1);
    f.closingDate = in.cString();
    skipTexts(in, 1);
    for (std::string* field : {&f.filerAddress.name1, &f.filerAddress.name2, &f.filerAddress.street,
                               &f.filerAddress.city, &f.filerAddress.state, &f.filerAddress.zip})
        *field = in.cString();
    f.filerPhone = in.cString();
    in.u16();
    in.u16();
    f.exchangeOption = in.u16();
    for (std::string* field : {&f.transferorAddress.name1, &f.transferorAddress.name2,
                               &f.transferorAddress.street, &f.transferorAddress.city,
                               &f.transferorAddress.state, &f.transferorAddress.zip, &f.accountNo})
        *field = in.cString();
    f.grossProceed = in.cString();
    f.sellersTaxCredit = in.cString();
    f.propertyAddress = in.cString();
    f.filerFederalId = in.cString();
    f.transferorId = in.cString();
    skipTexts(in, 1);
}

void readStreetStateCityZip(ArchiveReader& in, CAddress& address) {
    address.street = in.cString();
    address.state = in.cString();
    address.city = in.cString();
    address.zip = in.cString();
}

// The second option word also carries a flag in its tens: 12 is option 2.
std::uint32_t line201Option(std::uint32_t word) {
    return word >= 10 ? word - 10 : word;
}

void readBlock11(ArchiveReader& in, HudRecord& r) {
    r.n102Option = in.u16();
    r.n201Option = line201Option(in.u16());
    r.n203Option = in.u16();
    r.n1400SellerName1 = in.cString();
    r.n1400SellerName2 = in.cString();
    r.n1400BorrowerName1 = in.cString();
    r.n1400BorrowerName2 = in.cString();
    readStreetStateCityZip(in, r.property);
    readStreetStateCityZip(in, r.seller);
    readStreetStateCityZip(in, r.borrower);
    readStreetStateCityZip(in, r.agent);
    for (int number = 1001; number <= 1007; ++number)
        r.lines[lineName(number)].sellerFund = in.cString();
    skipTexts(in, 4);
    r.lines["n1008"].sellerFund = in.cString();
    in.u16();
    r.fiscal = CSubDate::read(in);
}

void readBlock12(ArchiveReader& in, HudRecord& r, ObjectTable& objects) {
    r.sellers = objects.readList<CAddress>(in);
    r.borrowers = objects.readList<CAddress>(in);
    for (std::vector<CAddTBS>& list : r.openLists)
        list = objects.readList<CAddTBS>(in);
}

} // namespace

ReadResult readHudRecord(ArchiveReader& in, HudRecord& r) {
    r.version = in.u16();
    if (in.failed())
        return ReadResult::Damaged;
    if (kindCheckMessage(r.version, LegacyReaderKind::Statement))
        return ReadResult::WrongKind;

    double line402 = 0.0;
    readHeader(in, r);
    readPartiesAndLines100To600(in, r, line402);
    readLines700To1400(in, r);
    readEscrow(in, r.escrow);
    readFormPresence(in, r.form1099.presence);
    readLedger(in, r.ledger);
    readUnusedCheckTable(in);
    if (r.version >= kVersion901) {
        readBlock7(in, r);
        r.n402 = fixed10_2(line402);
    }
    if (r.version >= kVersion1001) {
        skipTexts(in, 38);
        skipTexts(in, 41);
        r.calculate = in.u16();
        readForm1099(in, r.form1099);
    }
    if (r.version >= kVersion1101)
        readBlock11(in, r);
    if (r.version >= kVersion1201) {
        ObjectTable objects(in.remaining());
        readBlock12(in, r, objects);
    }
    if (r.version >= kVersion1501)
        r.fundingDate = CSubDate::read(in);
    if (r.version >= kVersion1601) {
        for (std::size_t i = 4; i < 7; ++i)
            r.form1099.checks[i] = in.u16();
    }
    return in.failed() ? ReadResult::Damaged : ReadResult::Read;
}

int readHudFile(const std::string& path, HudRecord& record) {
    ArchiveReader in = ArchiveReader::fromFile(path);
    const ReadResult result = readHudRecord(in, record);
    return reportReadResult(result, record.version, LegacyReaderKind::Statement);
}

} // namespace velmora
