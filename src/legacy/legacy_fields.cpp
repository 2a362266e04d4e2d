#include "legacy/legacy_fields.h"

#include <cstdio>

namespace velmora::legacy_fields {

void skipTexts(ArchiveReader& in, int count) {
    for (int i = 0; i < count; ++i)
        in.cString();
}

std::string fixed10_2(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%10.2f", value);
    return buffer;
}

std::string lineName(int number) {
    return "n" + std::to_string(number);
}

void readTextAmountLines(ArchiveReader& in, LineMap& lines, int first, int last) {
    for (int number = first; number <= last; ++number) {
        LegacyLine& line = lines[lineName(number)];
        line.text = in.cString();
        line.amount = in.cString();
    }
}

void readDatedLines(ArchiveReader& in, LineMap& lines, int first, int last) {
    for (int number = first; number <= last; ++number) {
        LegacyLine& line = lines[lineName(number)];
        line.from = CSubDate::read(in);
        line.to = CSubDate::read(in);
        line.amount = in.cString();
    }
}

void readEscrow(ArchiveReader& in, EscrowBlock& escrow) {
    skipTexts(in, 2);
    escrow.tollFreeNumber = in.cString();
    escrow.firstPaymentDate = CSubDate::read(in);
    escrow.escrowInit = in.f64();
    in.u16();
    escrow.escrowTo = in.f64();
    for (LegacyLine& month : escrow.months) {
        month.amount = in.cString();
        month.text = in.cString();
        in.f64();
    }
    escrow.maxMonthsAllowed = in.u16();
    escrow.cushionAmount = in.cString();
    escrow.monthlyPayment = in.cString();
    in.f64();
    escrow.discretionaryAmount = in.cString();
}

void readLedger(ArchiveReader& in, LedgerBlock& ledger) {
    ledger.presence = in.u16();
    for (std::string& name : ledger.names)
        name = in.cString();
    for (LedgerSlot& deposit : ledger.deposits) {
        deposit.date = in.cString();
        deposit.payee = in.cString();
        deposit.memo = in.cString();
        deposit.amount = in.cString();
    }
    for (LedgerSlot& check : ledger.checks) {
        check.date = in.cString();
        check.payee = in.cString();
        check.memo = in.cString();
        check.reference = in.cString();
        check.amount = in.cString();
    }
    skipTexts(in, 3);
}

namespace {

void readAmounts(ArchiveReader& in, LegacyLine& line, Sides sides) {
    line.borrowerFund = in.cString();
    if (sides == Sides::BorrowerAndSeller)
        line.sellerFund = in.cString();
}

} // namespace

void readFundLines(ArchiveReader& in, LineMap& lines, int first, int last, Sides sides) {
    for (int number = first; number <= last; ++number) {
        LegacyLine& line = lines[lineName(number)];
        line.text = in.cString();
        readAmounts(in, line, sides);
    }
}

void readPrepaidLines(ArchiveReader& in, LineMap& lines, Sides sides) {
    LegacyLine& n901 = lines["n901"];
    n901.at = in.f64();
    readAmounts(in, n901, sides);
    for (const char* name : {"n902", "n903"}) {
        LegacyLine& line = lines[name];
        line.months = in.u16();
        line.text = in.cString();
        readAmounts(in, line, sides);
    }
    LegacyLine& n904 = lines["n904"];
    n904.text = in.cString();
    n904.months = in.u16();
    n904.payor = in.cString();
    readAmounts(in, n904, sides);
    readFundLines(in, lines, 905, 905, sides);
}

void readTitleChargeLines(ArchiveReader& in, LineMap& lines, Sides sides) {
    readFundLines(in, lines, 1101, 1106, sides);
    for (const char* name : {"n1107", "n1108"}) {
        LegacyLine& line = lines[name];
        line.text = in.cString();
        line.payor = in.cString();
        readAmounts(in, line, sides);
    }
    lines["n1109"].borrowerFund = in.cString();
    lines["n1110"].borrowerFund = in.cString();
    readFundLines(in, lines, 1111, 1113, sides);
}

void readReserveLines(ArchiveReader& in, LineMap& lines, std::uint32_t& n1008Flag) {
    for (int number = 1001; number <= 1005; ++number) {
        LegacyLine& line = lines[lineName(number)];
        line.months = in.u16();
        line.at = in.f64();
        line.borrowerFund = in.cString();
    }
    for (const char* name : {"n1006", "n1007"}) {
        LegacyLine& line = lines[name];
        line.text = in.cString();
        line.months = in.u16();
        line.at = in.f64();
        line.borrowerFund = in.cString();
    }
    lines["n1008"].borrowerFund = in.cString();
    n1008Flag = in.u16();
}

void readFormBlock(ArchiveReader& in, std::uint32_t& presence, std::array<std::string, 13>& texts,
                   std::array<std::uint32_t, 3>& options) {
    presence = in.u16();
    for (std::string& text : texts)
        text = in.cString();
    for (std::uint32_t& option : options)
        option = in.u16();
}

void readCheckTable(ArchiveReader& in, std::uint32_t& presence,
                    std::array<std::array<std::string, 8>, 24>& rows) {
    presence = in.u16();
    for (std::array<std::string, 8>& row : rows) {
        for (std::string& text : row)
            text = in.cString();
    }
}

} // namespace velmora::legacy_fields
