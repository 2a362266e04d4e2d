// Field groups that both legacy readers read the same way.
#pragma once

#include "legacy/archive_reader.h"
#include "legacy/legacy_record.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmora::legacy_fields {

// Reads and drops `count` texts.
void skipTexts(ArchiveReader& in, int count);

// The text of a number as the legacy amounts print it: "%10.2f".
std::string fixed10_2(double value);

// The name of line `number` ("n" and the number).
std::string lineName(int number);

// Lines first..last as [text, amount].
void readTextAmountLines(ArchiveReader& in, LineMap& lines, int first, int last);
// Lines first..last as [from, to, amount].
void readDatedLines(ArchiveReader& in, LineMap& lines, int first, int last);

// The initial escrow account disclosure block.
void readEscrow(ArchiveReader& in, EscrowBlock& escrow);
// The disbursement ledger block.
void readLedger(ArchiveReader& in, LedgerBlock& ledger);

// Lines 1001 to 1008 of the reserves block and its line-1008 flag; both file
// kinds store them alike.
// Statement lines carry the borrower's and the seller's amount; refinance
// lines the borrower's only.
enum class Sides { BorrowerOnly, BorrowerAndSeller };

// Lines first..last as [text, borrowerFund(, sellerFund)].
void readFundLines(ArchiveReader& in, LineMap& lines, int first, int last, Sides sides);
// Lines 901 to 905: the rate of 901, the months of 902 to 904, the payor of 904.
void readPrepaidLines(ArchiveReader& in, LineMap& lines, Sides sides);

// Lines 1101 to 1113: the payor of 1107 and 1108, the lone amounts of 1109 and 1110.
void readTitleChargeLines(ArchiveReader& in, LineMap& lines, Sides sides);

void readReserveLines(ArchiveReader& in, LineMap& lines, std::uint32_t& n1008Flag);

// The form block: a presence word, 13 texts and three option words.
void readFormBlock(ArchiveReader& in, std::uint32_t& presence, std::array<std::string, 13>& texts,
                   std::array<std::uint32_t, 3>& options);

// The check table: a presence word and 24 rows of eight texts.
void readCheckTable(ArchiveReader& in, std::uint32_t& presence,
                    std::array<std::array<std::string, 8>, 24>& rows);

} // namespace velmora::legacy_fields
