// Writing legacy values into a new document tree: finding the nodes by path
// and filling statement lines in the shapes the conversions use.
//
// A node the tree lacks is skipped silently with everything below it; a
// property a line lacks is ignored, as the node operations ignore it.
#pragma once

#include "legacy/legacy_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class CHudDocument;
class CSectionNode;

// How a fund or split line is filled beyond the file's amounts.
struct FundShape {
    bool emptyDescription = false; // description "" instead of the line's text
    bool payorFromFile = false;    // the line's payor instead of ""
    int net = 0;
    bool sellerFundEmpty = false; // sellerFund "" (refinance statements)
};

class LineWriter {
public:
    explicit LineWriter(CHudDocument& root) : root_(root) {}

    // The node at `path` below the root, or nullptr.
    CSectionNode* node(std::string_view path);

    // Text of a line property: a decimal integer, a double's display text, a text.
    void setText(CSectionNode* line, std::string_view name, const std::string& text);
    void setNumber(CSectionNode* line, std::string_view name, std::uint32_t value);
    void setNumber(CSectionNode* line, std::string_view name, double value);
    void setDate(CSectionNode* line, std::string_view name, const CDate& date);

    // description = text; amount.
    void textAmount(std::string_view path, const LegacyLine& line);
    // description = text; payor ""; net; amount.
    void payorAmount(std::string_view path, const LegacyLine& line, int net);
    // description fixed; payor; amount.
    void payoff(std::string_view path, const std::string& description, const LegacyLine& line);
    // description; payor; net; borrowerFund; sellerFund.
    void fund(std::string_view path, const LegacyLine& line, const FundShape& shape);
    // description; borrowerFund; sellerFund.
    void split(std::string_view path, const std::string& description,
               const std::string& borrowerFund, const std::string& sellerFund);
    // from; to; amount.
    void dated(std::string_view path, const LegacyLine& line);

    // Lines first..last of `block` in the text-amount or fund shape.
    void textAmountRange(std::string_view block, const LineMap& lines, int first, int last);
    void datedRange(std::string_view block, const LineMap& lines, int first, int last);
    void fundRange(std::string_view block, const LineMap& lines, int first, int last,
                   const FundShape& shape);

    // Replaces the children of `listPath` with one "address" per element.
    void addressList(std::string_view listPath, const std::vector<CAddress>& addresses);
    // Replaces the children of `sectionPath`/more with one `childName` per element.
    void openList(std::string_view sectionPath, const std::string& childName,
                  const std::vector<CAddTBS>& lines);

private:
    CHudDocument& root_;
};

// The line called `name`; an empty line when the record has none.
const LegacyLine& lineOf(const LineMap& lines, const std::string& name);

// f_LenderName and f_LenderAddress from the lender text of a legacy file.
void writeLenderText(CHudDocument& root, const std::string& lenderText);

// The lines of blocks 800 to 1100 that both kinds of file fill alike, apart
// from refinance statements leaving every sellerFund empty.
void writeLoanFeeTerms(LineWriter& out, const LineMap& lines);
void writePrepaidLines(LineWriter& out, const LineMap& lines, bool sellerFundEmpty);
void writeReserveLines(LineWriter& out, const LineMap& lines, std::uint32_t n1008Flag,
                       bool sellerFundEmpty);
void writeTitleChargeLines(LineWriter& out, const LineMap& lines, bool sellerFundEmpty);

// The eight names of the ledger block onto a ledger node.
void writeLedgerNames(CSectionNode& ledger, const LedgerBlock& block);

// The escrow disclosure block onto initialEscrowDisclosure. Refinance files
// store escrowInit and escrowTo through single precision.
void writeEscrow(LineWriter& out, const EscrowBlock& escrow, bool singlePrecision);

// A ledger or check amount: leading white space trimmed off; a slot counts
// when the rest reads as a number greater than 0.
bool trimAndTestAmount(std::string& amount);

} // namespace velmora
