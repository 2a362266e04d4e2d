// The in-memory image of a legacy document as the readers fill it and the
// converters consume it.
//
// Lines of the statement are kept by their line name ("n104", "n806", ...):
// each line has the fields the file carries for it, and a converter writes
// the ones its shape calls for. Everything starts empty, 0 or the empty date.
#pragma once

#include "legacy/legacy_values.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velmora {

struct LegacyLine {
    std::string text;
    std::string payor;
    std::string amount;
    std::string borrowerFund;
    std::string sellerFund;
    std::uint32_t months = 0;
    double at = 0.0;
    double percentage = 0.0;
    std::string forPOC;
    std::string deed, mortgage, release;
    CSubDate from, to;
};

// How reading a legacy file ended.
enum class ReadResult { Read, WrongKind, Damaged };

using LineMap = std::map<std::string, LegacyLine>;

// One slot of the ledger table: a deposit (no reference number) or a check.
struct LedgerSlot {
    std::string date, payee, memo, reference, amount;
};

struct LedgerBlock {
    std::uint32_t presence = 0;
    std::array<std::string, 8> names; // borrower 1-2, seller 1-2, location 1-4
    std::array<LedgerSlot, 5> deposits;
    std::array<LedgerSlot, 24> checks;
};

struct EscrowBlock {
    std::string tollFreeNumber;
    CSubDate firstPaymentDate;
    double escrowInit = 0.0;
    double escrowTo = 0.0;
    std::array<LegacyLine, 12> months; // text and amount, January first
    std::uint32_t maxMonthsAllowed = 0;
    std::string cushionAmount, monthlyPayment, discretionaryAmount;
};

struct Form1099Block {
    std::uint32_t presence = 0;
    std::string propertyStreet, propertyLot, propertyBlock, closingDate, filerPhone;
    CAddress filerAddress;
    CAddress transferorAddress; // name1, name2, street, city, state, zip
    std::string accountNo, grossProceed, sellersTaxCredit, propertyAddress, filerFederalId;
    std::string transferorId;
    std::uint32_t exchangeOption = 0;
    std::array<std::uint32_t, 7> checks{};
};

// A HUD statement file.
struct HudRecord {
    std::uint32_t version = 0;
    std::uint32_t taxDays = 0;
    std::uint32_t loanOption = 0;
    std::string fileNo, loanNo, caseNo;
    CAddress borrower, seller, property, agent; // name1, name2, street, state, city, zip
    std::string sellerTin, lenderText, lot, agentTin, placeOfSettlement;
    CSubDate settlementDate, fundingDate;
    CSubDate taxStart, taxEnd, sewerStart, sewerEnd, fiscal;
    std::string n101, n102, n201, n202, n203, n402, n501, n503;
    std::uint32_t n102Option = 0, n201Option = 0, n203Option = 0;
    double n120 = 0, n220 = 0, n303 = 0, n420 = 0, n520 = 0, n603 = 0;
    double priceAt = 0;
    std::string priceAmount;
    std::uint32_t calculate = 0, n801Option = 0, n802Option = 0, n1008Flag = 0;
    double n1400BorrowerFund = 0, n1400SellerFund = 0;
    std::string settlementAgent;
    CSubDate n1400SettlementDate;
    std::string n1400SellerName1, n1400SellerName2, n1400BorrowerName1, n1400BorrowerName2;
    LineMap lines;
    EscrowBlock escrow;
    Form1099Block form1099;
    LedgerBlock ledger;
    std::vector<CAddress> sellers, borrowers;
    // The open lists of blocks 800, 900, 1100, 1200 and 1300, in that order.
    std::array<std::vector<CAddTBS>, 5> openLists;
};

// A refinance statement file.
struct RefinanceRecord {
    std::uint32_t version = 0;
    std::string loanNo;
    CAddress borrower, property, agent;
    std::string lenderText, lot, placeOfSettlement;
    CSubDate settlementDate, fundingDate;
    std::uint32_t n801Option = 0, n802Option = 0, n1008Flag = 0;
    double n1400BorrowerFund = 0, n1520 = 0, n1604 = 0;
    std::string settlementAgent;
    CSubDate n1400SettlementDate;
    std::string n1600Amount, n1600Cash;
    LineMap lines;
    EscrowBlock escrow;
    // Block R3: presence, 13 texts, three option words.
    std::uint32_t form1099Presence = 0;
    std::array<std::string, 13> form1099Texts;
    std::array<std::uint32_t, 3> form1099Options{};
    LedgerBlock ledger;
    // Block R5: presence and 24 rows of eight texts.
    std::uint32_t checkTablePresence = 0;
    std::array<std::array<std::string, 8>, 24> checkRows;
    std::vector<CAddress> borrowers;
    // The open lists of blocks 800, 900, 1100, 1200, 1300 and 1500, in that order.
    std::array<std::vector<CAddTBS>, 6> openLists;
};

} // namespace velmora
