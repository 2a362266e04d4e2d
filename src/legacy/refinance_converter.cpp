// A refinance statement is the borrower's side only: every seller amount is
// written empty, and the record's blocks map onto a "hud1a" tree.
#include "legacy/refinance_converter.h"

#include "document/hud_document.h"
#include "legacy/legacy_fields.h"
#include "legacy/line_writer.h"

#include <array>

namespace velmora {
namespace {

using legacy_fields::lineName;

constexpr bool kSellerFundEmpty = true;
constexpr FundShape kFundShape{.sellerFundEmpty = kSellerFundEmpty};

// The record's open lists, in file order.
enum OpenList : std::size_t { List800, List900, List1100, List1200, List1300, List1500 };

// The 1400 borrower amount and the escrow amounts were single-precision
// values in the program that wrote these files; storing them through a float
// keeps the amounts that program showed.
double singlePrecision(double value) {
    return static_cast<double>(static_cast<float>(value));
}

void writeParties(LineWriter& out, CHudDocument& root, const RefinanceRecord& r) {
    if (CSectionNode* loan = out.node("b"))
        loan->putString("loanNo_7", r.loanNo);
    if (CSectionNode* borrower = out.node("d")) {
        borrower->putString("name1", r.borrower.name1);
        borrower->putString("name2", r.borrower.name2);
        borrower->putString("street", r.borrower.street);
    }
    out.addressList("d_borrowers", r.borrowers);
    writeLenderText(root, r.lenderText);
    root.putString("g_lot", r.lot);
    if (CSectionNode* property = out.node("g"))
        property->putString("street", r.property.street);
    root.putString("placeOfSettlement", r.placeOfSettlement);
    root.putDate("i_settlementDate", r.settlementDate.toOleDate());
    root.putDate("fundingDate", r.fundingDate.toOleDate());
    if (CSectionNode* agent = out.node("h")) {
        agent->putString("name1", r.agent.name1);
        agent->putString("street", r.agent.street);
    }
}

void writeLoanFees(LineWriter& out, const RefinanceRecord& r) {
    CSectionNode* n800 = out.node("n800");
    if (!n800)
        return;
    n800->putLong("n801Option", static_cast<std::int32_t>(r.n801Option));
    n800->putLong("n802Option", static_cast<std::int32_t>(r.n802Option));
    writeLoanFeeTerms(out, r.lines);
    for (int number = 801; number <= 807; ++number) {
        const std::string name = lineName(number);
        out.split("n800/" + name, lineOf(r.lines, name).text, lineOf(r.lines, name).borrowerFund,
                  "");
    }
    out.fundRange("n800", r.lines, 808, 811, kFundShape);
    out.openList("n800", "n800s", r.openLists[List800]);
}

void writeLines900To1300(LineWriter& out, const RefinanceRecord& r) {
    if (out.node("n900")) {
        writePrepaidLines(out, r.lines, kSellerFundEmpty);
        out.openList("n900", "n900s", r.openLists[List900]);
    }
    writeReserveLines(out, r.lines, r.n1008Flag, kSellerFundEmpty);
    if (out.node("n1100")) {
        writeTitleChargeLines(out, r.lines, kSellerFundEmpty);
        out.openList("n1100", "n1100s", r.openLists[List1100]);
    }
    if (out.node("n1200")) {
        out.fundRange("n1200", r.lines, 1201, 1205, kFundShape);
        out.openList("n1200", "n1200s", r.openLists[List1200]);
    }
    if (out.node("n1300")) {
        out.fundRange("n1300", r.lines, 1301, 1307, kFundShape);
        out.openList("n1300", "n1300s", r.openLists[List1300]);
    }
}

void writeLines1400To1600(LineWriter& out, const RefinanceRecord& r) {
    if (CSectionNode* n1400 = out.node("n1400")) {
        n1400->putDouble("borrowerFund", singlePrecision(r.n1400BorrowerFund));
        n1400->putDate("settlementDate", r.n1400SettlementDate.toOleDate());
        n1400->putString("settlementAgent", r.settlementAgent);
    }
    if (CSectionNode* n1500 = out.node("n1500")) {
        n1500->putDouble("n1520", r.n1520);
        for (int number = 1501; number <= 1515; ++number) {
            const std::string name = lineName(number);
            out.payorAmount("n1500/" + name, lineOf(r.lines, name), 0);
        }
        out.openList("n1500", "n1500s", r.openLists[List1500]);
    }
    if (CSectionNode* n1600 = out.node("n1600")) {
        n1600->putString("amount", r.n1600Amount);
        n1600->putString("cash", r.n1600Cash);
        n1600->putDouble("n1604", r.n1604);
    }
}

// The amount of a ledger slot or check row as written, when the entry counts.
bool countedAmount(const std::string& recorded, std::string& amount) {
    amount = recorded;
    return trimAndTestAmount(amount);
}

void writeDeposits(LineWriter& out, CSectionNode& ledger, const LedgerBlock& block) {
    CSectionNode* deposits = ledger.addChild("deposits");
    if (!deposits)
        return;
    for (const LedgerSlot& slot : block.deposits) {
        std::string amount;
        if (!countedAmount(slot.amount, amount))
            continue;
        CSectionNode* deposit = deposits->addChild("deposit");
        out.setText(deposit, "date", slot.date);
        out.setText(deposit, "from", slot.payee);
        out.setText(deposit, "memo", slot.memo);
        out.setText(deposit, "amount", amount);
    }
}

void writeWithdrawals(LineWriter& out, CSectionNode& ledger, const LedgerBlock& block) {
    CSectionNode* withdrawals = ledger.addChild("withdrawals");
    if (!withdrawals)
        return;
    for (const LedgerSlot& slot : block.checks) {
        std::string amount;
        if (!countedAmount(slot.amount, amount))
            continue;
        CSectionNode* withdrawal = withdrawals->addChild("withdrawal");
        out.setText(withdrawal, "date", slot.date);
        out.setText(withdrawal, "payTo", slot.payee);
        out.setText(withdrawal, "memo", slot.memo);
        out.setText(withdrawal, "check", slot.reference);
        out.setText(withdrawal, "amount", amount);
    }
}

void writeLedger(LineWriter& out, CHudDocument& root, const LedgerBlock& block) {
    if (block.presence == 0)
        return;
    CSectionNode* ledger = root.addChild("ledger");
    if (!ledger)
        return;
    writeLedgerNames(*ledger, block);
    writeDeposits(out, *ledger, block);
    writeWithdrawals(out, *ledger, block);
}

void writeForm1099(CHudDocument& root, const RefinanceRecord& r) {
    if (r.form1099Presence == 0)
        return;
    CSectionNode* form = root.addChild("form1099");
    if (!form)
        return;
    static constexpr std::array<const char*, 13> kTextNames = {
        "hName", "hAddress", "location1", "location2", "eName",   "gLocation", "hTin",
        "eTin",  "account",  "idate",     "idate2",    "amount1", "amount2"};
    for (std::size_t i = 0; i < kTextNames.size(); ++i)
        form->putString(kTextNames[i], r.form1099Texts[i]);
    for (std::size_t i = 0; i < r.form1099Options.size(); ++i)
        form->putLong("option" + std::to_string(i + 1),
                      static_cast<std::int32_t>(r.form1099Options[i]));
}

// The texts of a check table row, in file order; the last one is unused.
enum CheckColumn : std::size_t { Date, PayTo, Address, CheckNo, Amount, Print, Memo };

void writeCheckPrinting(LineWriter& out, CHudDocument& root, const RefinanceRecord& r) {
    if (r.checkTablePresence == 0)
        return;
    CSectionNode* printing = root.addChild("checkPrinting");
    if (!printing)
        return;
    for (const std::array<std::string, 8>& row : r.checkRows) {
        std::string amount;
        if (!countedAmount(row[Amount], amount))
            continue;
        CSectionNode* check = printing->addChild("check");
        out.setText(check, "address", row[Address]);
        out.setText(check, "amount", amount);
        out.setText(check, "checkNo", row[CheckNo]);
        out.setText(check, "date", row[Date]);
        out.setText(check, "memo", row[Memo]);
        out.setText(check, "payTo", row[PayTo]);
        out.setText(check, "print", row[Print]);
    }
}

} // namespace

std::unique_ptr<CHudDocument> convertRefinanceRecord(const RefinanceRecord& r) {
    auto root = std::make_unique<CHudDocument>(document_types::kHud1a);
    root->initDocument();
    LineWriter out(*root);
    writeParties(out, *root, r);
    writeLoanFees(out, r);
    writeLines900To1300(out, r);
    writeLines1400To1600(out, r);
    writeEscrow(out, r.escrow, true);
    writeLedger(out, *root, r.ledger);
    writeForm1099(*root, r);
    writeCheckPrinting(out, *root, r);
    return root;
}

int convertRefinanceFile(const RefinanceRecord& record, const std::string& path) {
    return convertRefinanceRecord(record)->save(path);
}

} // namespace velmora
