#include "legacy/hud_converter.h"

#include "document/hud_document.h"
#include "legacy/legacy_fields.h"
#include "legacy/line_writer.h"
#include "platform/guid.h"
#include "tree/text_forms.h"

namespace velmora {
namespace {

using legacy_fields::lineName;

constexpr std::size_t kAddendumCapacity = 40;
constexpr char kAddendumTotalText[] = "Total from addendum lines";

bool isBlankAmount(const std::string& amount) {
    return amount.empty() || amount == "0.00";
}

bool isBlank(const LegacyLine& line) {
    return line.text.empty() && isBlankAmount(line.borrowerFund) && isBlankAmount(line.sellerFund);
}

CAddTBS addendumEntry(const LegacyLine& line) {
    CAddTBS entry;
    entry.text = line.text;
    entry.borrowerFund = line.borrowerFund;
    entry.sellerFund = line.sellerFund;
    return entry;
}

void clearAmountsAndText(LegacyLine& line) {
    line.text.clear();
    line.borrowerFund.clear();
    line.sellerFund.clear();
}

void setRootStrings(CHudDocument& root, const HudRecord& r) {
    root.putString("e_SellerTin", r.sellerTin);
    writeLenderText(root, r.lenderText);
    root.putString("g_lot", r.lot);
}

void writeAddress(LineWriter& out, std::string_view path, const CAddress& a, bool withName2) {
    CSectionNode* node = out.node(path);
    if (!node)
        return;
    node->putString("name1", a.name1);
    if (withName2)
        node->putString("name2", a.name2);
    node->putString("street", a.street);
    node->putString("city", a.city);
    node->putString("state", a.state);
    node->putString("zip", a.zip);
}

void writeHeader(LineWriter& out, CHudDocument& root, const HudRecord& r) {
    root.putDouble("n603", r.n603);
    root.putDouble("n303", r.n303);
    if (CSectionNode* tax = out.node("tax_data")) {
        tax->putDate("tax_start", r.taxStart.toOleDate());
        tax->putDate("tax_end", r.taxEnd.toOleDate());
        tax->putDate("sewer_start", r.sewerStart.toOleDate());
        tax->putDate("sewer_end", r.sewerEnd.toOleDate());
        tax->putLong("tax_days", static_cast<std::int32_t>(r.taxDays));
        tax->putDate("fiscal", r.fiscal.toOleDate());
    }
    if (CSectionNode* loan = out.node("b")) {
        loan->putLong("loanOption", static_cast<std::int32_t>(r.loanOption));
        loan->putString("fileNo_6", r.fileNo);
        loan->putString("loanNo_7", r.loanNo);
        loan->putString("caseNo_8", r.caseNo);
    }
    writeAddress(out, "d", r.borrower, true);
    out.addressList("d_borrowers", r.borrowers);
    writeAddress(out, "e", r.seller, true);
    out.addressList("e_sellers", r.sellers);
    setRootStrings(root, r);
    if (CSectionNode* property = out.node("g")) {
        property->putString("street", r.property.street);
        property->putString("city", r.property.city);
        property->putString("state", r.property.state);
        property->putString("zip", r.property.zip);
    }
    root.putString("h_AgentTin", r.agentTin);
    root.putString("placeOfSettlement", r.placeOfSettlement);
    root.putDate("i_settlementDate", r.settlementDate.toOleDate());
    root.putDate("fundingDate", r.fundingDate.toOleDate());
    writeAddress(out, "h", r.agent, false);
}

void writeBlocks100To500(LineWriter& out, const HudRecord& r) {
    if (CSectionNode* n100 = out.node("n100")) {
        n100->putString("n101", r.n101);
        n100->putString("n102", r.n102);
        n100->putLong("n102Option", static_cast<std::int32_t>(r.n102Option));
        n100->putDouble("n120", r.n120);
        out.textAmountRange("n100", r.lines, 104, 105);
        out.datedRange("n100", r.lines, 106, 108);
        out.textAmountRange("n100", r.lines, 109, 112);
    }
    if (CSectionNode* n200 = out.node("n200")) {
        n200->putString("n201", r.n201);
        // Line 201's text goes on to line 501 or to the trust account.
        n200->putString(r.n201Option != 0 ? "nAmtTo501" : "nAmtToTrust", r.n201);
        n200->putLong("n201Option", static_cast<std::int32_t>(r.n201Option));
        n200->putString("n202", r.n202);
        n200->putString("n203", r.n203);
        n200->putLong("n203Option", static_cast<std::int32_t>(r.n203Option));
        n200->putDouble("n220", r.n220);
        out.textAmountRange("n200", r.lines, 204, 205);
        for (int number = 206; number <= 209; ++number)
            out.payorAmount("n200/" + lineName(number), lineOf(r.lines, lineName(number)), 1);
        out.datedRange("n200", r.lines, 210, 212);
        out.textAmountRange("n200", r.lines, 213, 219);
    }
    if (CSectionNode* n400 = out.node("n400")) {
        n400->putDouble("n420", r.n420);
        n400->putString("n402", r.n402);
        out.textAmountRange("n400", r.lines, 403, 405);
        out.datedRange("n400", r.lines, 406, 408);
        out.textAmountRange("n400", r.lines, 409, 412);
    }
    if (CSectionNode* n500 = out.node("n500")) {
        n500->putDouble("n520", r.n520);
        n500->putString("n501", r.n501);
        n500->putString("n503", r.n503);
        out.payoff("n500/n504", "Payoff of first mortgage loan", lineOf(r.lines, "n504"));
        out.payoff("n500/n505", "Payoff of second mortgage loan", lineOf(r.lines, "n505"));
        out.textAmountRange("n500", r.lines, 506, 509);
        out.datedRange("n500", r.lines, 510, 512);
        out.textAmountRange("n500", r.lines, 513, 519);
    }
}

void writeBlocks700To900(LineWriter& out, const HudRecord& r) {
    if (CSectionNode* n700 = out.node("n700")) {
        n700->putLong("calculate", static_cast<std::int32_t>(r.calculate));
        n700->putString("s700Price", r.n101);
        CSectionNode* price = out.node("n700/price");
        out.setNumber(price, "at", r.priceAt);
        out.setText(price, "amount", r.priceAmount);
        for (const char* name : {"n701", "n702"})
            out.payorAmount(std::string("n700/") + name, lineOf(r.lines, name), 0);
        out.fundRange("n700", r.lines, 703, 704, {});
    }
    if (CSectionNode* n800 = out.node("n800")) {
        n800->putLong("n801Option", static_cast<std::int32_t>(r.n801Option));
        n800->putLong("n802Option", static_cast<std::int32_t>(r.n802Option));
        writeLoanFeeTerms(out, r.lines);
        out.fundRange("n800", r.lines, 801, 813, {});
        out.openList("n800", "n800s", r.openLists[0]);
    }
    if (out.node("n900")) {
        writePrepaidLines(out, r.lines, false);
        out.openList("n900", "n900s", r.openLists[1]);
    }
}

void writeBlocks1000To1400(LineWriter& out, const HudRecord& r) {
    writeReserveLines(out, r.lines, r.n1008Flag, false);
    if (out.node("n1100")) {
        writeTitleChargeLines(out, r.lines, false);
        out.openList("n1100", "n1100s", r.openLists[2]);
    }
    if (out.node("n1200")) {
        for (int number = 1201; number <= 1203; ++number) {
            const LegacyLine& source = lineOf(r.lines, lineName(number));
            CSectionNode* line = out.node("n1200/" + lineName(number));
            out.setText(line, "deed", source.deed);
            out.setText(line, "mortgage", source.mortgage);
            if (number == 1201)
                out.setText(line, "release", source.release);
            out.fund("n1200/" + lineName(number), source, {.emptyDescription = true});
        }
        out.fundRange("n1200", r.lines, 1204, 1205, {});
        out.openList("n1200", "n1200s", r.openLists[3]);
    }
    if (out.node("n1300")) {
        out.fundRange("n1300", r.lines, 1301, 1306, {});
        out.openList("n1300", "n1300s", r.openLists[4]);
    }
    if (CSectionNode* n1400 = out.node("n1400")) {
        n1400->putDouble("borrowerFund", r.n1400BorrowerFund);
        n1400->putDouble("sellerFund", r.n1400SellerFund);
        if (CSectionNode* borrowers = out.node("n1400/borrowers")) {
            borrowers->putString("name1", r.n1400BorrowerName1);
            borrowers->putString("name2", r.n1400BorrowerName2);
        }
        if (CSectionNode* sellers = out.node("n1400/sellers")) {
            sellers->putString("name1", r.n1400SellerName1);
            sellers->putString("name2", r.n1400SellerName2);
        }
        n1400->putString("settlementAgent", r.settlementAgent);
        n1400->putDate("settlementDate", r.n1400SettlementDate.toOleDate());
    }
}

void writeLedgerTransactions(LineWriter& out, CHudDocument& root, HudRecord& r) {
    if (r.ledger.presence == 0)
        return;
    CSectionNode* ledger = root.addChild("ledger");
    if (!ledger)
        return;
    writeLedgerNames(*ledger, r.ledger);
    CSectionNode* transactions = ledger->addChild("transactions");
    if (!transactions)
        return;
    const auto addTransaction = [&](LedgerSlot& slot, bool isCheck) {
        if (!trimAndTestAmount(slot.amount))
            return;
        CSectionNode* transaction = transactions->addChild("transaction");
        if (!transaction)
            return;
        out.setText(transaction, "transId", newGuidText());
        out.setText(transaction, "transDate", slot.date);
        out.setText(transaction, "payee", slot.payee);
        out.setText(transaction, "memo", slot.memo);
        if (isCheck)
            out.setText(transaction, "refNum", slot.reference);
        out.setText(transaction, "amount", slot.amount);
        out.setText(transaction, "transType", isCheck ? "2" : "1");
    };
    for (LedgerSlot& deposit : r.ledger.deposits)
        addTransaction(deposit, false);
    for (LedgerSlot& check : r.ledger.checks)
        addTransaction(check, true);
}

void writeForm1099(CHudDocument& root, const HudRecord& r) {
    const Form1099Block& f = r.form1099;
    if (f.presence == 0)
        return;
    CSectionNode* form = root.addChild("form1099_1");
    if (!form)
        return;
    form->putString("filer_phone", f.filerPhone);
    form->putString("filer_fedral_id", f.filerFederalId);
    form->putString("closing_date", f.closingDate);
    form->putString("propertyAddress", f.propertyAddress);
    form->putString("propertyStreet", f.propertyStreet);
    form->putString("propertyLot", f.propertyLot);
    form->putString("propertyBlock", f.propertyBlock);
    form->putString("sellersTaxCredit", f.sellersTaxCredit);
    form->putString("gross_proceed", f.grossProceed);
    if (CSectionNode* filer = form->addChild("filer_address")) {
        for (const auto& [name, value] : {std::pair{"name1", &f.filerAddress.name1},
                                          {"name2", &f.filerAddress.name2},
                                          {"street", &f.filerAddress.street},
                                          {"city", &f.filerAddress.city},
                                          {"state", &f.filerAddress.state},
                                          {"zip", &f.filerAddress.zip}})
            filer->putString(name, *value);
    }
    CSectionNode* transferors = form->addChild("transferors");
    CSectionNode* transferor = transferors ? transferors->addChild("transferor") : nullptr;
    if (!transferor)
        return;
    const CAddress& a = f.transferorAddress;
    for (const auto& [name, value] : {std::pair{"name1", &a.name1},
                                      {"name2", &a.name2},
                                      {"street", &a.street},
                                      {"city", &a.city},
                                      {"state", &a.state},
                                      {"zip", &a.zip}})
        transferor->putString(name, *value);
    transferor->putString("transferorGuid", newGuidText());
    transferor->putString("grossAllocation", f.grossProceed);
    transferor->putString("transferor_id", f.transferorId);
    transferor->putString("account_no", f.accountNo);
    transferor->putLong("exchangeOption", static_cast<std::int32_t>(f.exchangeOption));
    for (std::size_t i = 0; i < f.checks.size(); ++i)
        transferor->putLong("check" + std::to_string(i + 1),
                            static_cast<std::int32_t>(f.checks[i]));
}

} // namespace

// Line 813 totals the addendum: when line 812 cannot move onto a blank line
// of 806..811, it goes into the open list of block 800 and 813 adds it up.
void applyLine812Addendum(HudRecord& r) {
    LegacyLine& n812 = r.lines["n812"];
    LegacyLine& n813 = r.lines["n813"];
    if (isBlank(n812))
        return;
    for (int number = 806; number <= 811; ++number) {
        LegacyLine& candidate = r.lines[lineName(number)];
        if (isBlank(candidate)) {
            candidate.text = n812.text;
            candidate.borrowerFund = n812.borrowerFund;
            candidate.sellerFund = n812.sellerFund;
            clearAmountsAndText(n812);
            return;
        }
    }
    std::vector<CAddTBS>& addendum = r.openLists[0];
    if (addendum.size() >= kAddendumCapacity)
        return;
    const double borrowerTotal = parseDouble(n812.borrowerFund) + parseDouble(n813.borrowerFund);
    const double sellerTotal = parseDouble(n812.sellerFund) + parseDouble(n813.sellerFund);
    addendum.push_back(addendumEntry(n812));
    if (addendum.size() == 1) {
        addendum.push_back(addendumEntry(n813));
        n813.text = kAddendumTotalText;
    }
    n813.borrowerFund = legacy_fields::fixed10_2(borrowerTotal);
    n813.sellerFund = legacy_fields::fixed10_2(sellerTotal);
    clearAmountsAndText(n812);
}

std::unique_ptr<CHudDocument> convertHudRecord(HudRecord& r) {
    auto root = std::make_unique<CHudDocument>(document_types::kHud);
    root->initDocument();
    LineWriter out(*root);
    writeHeader(out, *root, r);
    writeBlocks100To500(out, r);
    applyLine812Addendum(r);
    writeBlocks700To900(out, r);
    writeBlocks1000To1400(out, r);
    writeEscrow(out, r.escrow, false);
    writeLedgerTransactions(out, *root, r);
    writeForm1099(*root, r);
    return root;
}

int convertHudFile(HudRecord& record, const std::string& path) {
    return convertHudRecord(record)->save(path);
}

} // namespace velmora
