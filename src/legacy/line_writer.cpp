#include "legacy/line_writer.h"

#include "document/hud_document.h"
#include "legacy/legacy_fields.h"
#include "tree/node_operations.h"
#include "tree/text_forms.h"
#include "tree/text_trim.h"

#include <cstdio>
#include <cstdlib>

namespace velmora {

CSectionNode* LineWriter::node(std::string_view path) {
    return resolveUri(&root_, path);
}

void LineWriter::setText(CSectionNode* line, std::string_view name, const std::string& text) {
    if (line)
        line->setPropertyValue(name, text);
}

void LineWriter::setNumber(CSectionNode* line, std::string_view name, std::uint32_t value) {
    setText(line, name, std::to_string(value));
}

void LineWriter::setNumber(CSectionNode* line, std::string_view name, double value) {
    setText(line, name, formatDouble(value));
}

void LineWriter::setDate(CSectionNode* line, std::string_view name, const CDate& date) {
    if (line)
        line->putDate(name, date.toOleDate());
}

void LineWriter::textAmount(std::string_view path, const LegacyLine& line) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    target->setDescription(line.text);
    setText(target, "amount", line.amount);
}

void LineWriter::payorAmount(std::string_view path, const LegacyLine& line, int net) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    target->setDescription(line.text);
    setText(target, "payor", "");
    setText(target, "net", std::to_string(net));
    setText(target, "amount", line.amount);
}

void LineWriter::payoff(std::string_view path, const std::string& description,
                        const LegacyLine& line) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    target->setDescription(description);
    setText(target, "payor", line.payor);
    setText(target, "amount", line.amount);
}

void LineWriter::fund(std::string_view path, const LegacyLine& line, const FundShape& shape) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    target->setDescription(shape.emptyDescription ? std::string() : line.text);
    setText(target, "payor", shape.payorFromFile ? line.payor : std::string());
    setText(target, "net", std::to_string(shape.net));
    setText(target, "borrowerFund", line.borrowerFund);
    setText(target, "sellerFund", shape.sellerFundEmpty ? std::string() : line.sellerFund);
}

void LineWriter::split(std::string_view path, const std::string& description,
                       const std::string& borrowerFund, const std::string& sellerFund) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    target->setDescription(description);
    setText(target, "borrowerFund", borrowerFund);
    setText(target, "sellerFund", sellerFund);
}

void LineWriter::dated(std::string_view path, const LegacyLine& line) {
    CSectionNode* target = node(path);
    if (!target)
        return;
    setDate(target, "from", line.from);
    setDate(target, "to", line.to);
    setText(target, "amount", line.amount);
}

void LineWriter::datedRange(std::string_view block, const LineMap& lines, int first, int last) {
    for (int number = first; number <= last; ++number) {
        const std::string name = legacy_fields::lineName(number);
        dated(std::string(block) + "/" + name, lineOf(lines, name));
    }
}

void LineWriter::textAmountRange(std::string_view block, const LineMap& lines, int first,
                                 int last) {
    for (int number = first; number <= last; ++number) {
        const std::string name = legacy_fields::lineName(number);
        textAmount(std::string(block) + "/" + name, lineOf(lines, name));
    }
}

void LineWriter::fundRange(std::string_view block, const LineMap& lines, int first, int last,
                           const FundShape& shape) {
    for (int number = first; number <= last; ++number) {
        const std::string name = legacy_fields::lineName(number);
        fund(std::string(block) + "/" + name, lineOf(lines, name), shape);
    }
}

void LineWriter::addressList(std::string_view listPath, const std::vector<CAddress>& addresses) {
    CSectionNode* list = node(listPath);
    if (!list)
        return;
    list->removeAllChildren();
    for (const CAddress& address : addresses) {
        CSectionNode* entry = list->addChild("address");
        if (!entry)
            return;
        setText(entry, "name1", address.name1);
        setText(entry, "name2", address.name2);
        setText(entry, "street", address.street);
        setText(entry, "city", address.city);
        setText(entry, "state", address.state);
        setText(entry, "zip", address.zip);
        setText(entry, "sign1", address.sign1);
        setText(entry, "sign2", address.sign2);
    }
}

void LineWriter::openList(std::string_view sectionPath, const std::string& childName,
                          const std::vector<CAddTBS>& lines) {
    CSectionNode* more = node(std::string(sectionPath) + "/more");
    if (!more)
        return;
    more->removeAllChildren();
    for (const CAddTBS& line : lines) {
        CSectionNode* entry = more->addChild(childName);
        if (!entry)
            return;
        entry->setDescription(line.text);
        setText(entry, "payor", line.payor);
        setText(entry, "net", std::to_string(line.net));
        setText(entry, "borrowerFund", line.borrowerFund);
        setText(entry, "sellerFund", line.sellerFund);
    }
}

const LegacyLine& lineOf(const LineMap& lines, const std::string& name) {
    static const LegacyLine kEmptyLine;
    const auto found = lines.find(name);
    return found == lines.end() ? kEmptyLine : found->second;
}

void writeLenderText(CHudDocument& root, const std::string& lenderText) {
    // The lender text holds the name on its first line and the address after.
    const std::size_t lineFeed = lenderText.find('\n');
    if (lineFeed != std::string::npos && lineFeed > 0)
        root.putString("f_LenderName", lenderText.substr(0, lineFeed));
    root.putString("f_LenderAddress", lenderText);
}

void writeLoanFeeTerms(LineWriter& out, const LineMap& lines) {
    for (const char* name : {"n801", "n802"}) {
        CSectionNode* line = out.node(std::string("n800/") + name);
        out.setNumber(line, "percentage", lineOf(lines, name).percentage);
        out.setText(line, "forPOC", lineOf(lines, name).forPOC);
    }
}

void writePrepaidLines(LineWriter& out, const LineMap& lines, bool sellerFundEmpty) {
    const LegacyLine& n901 = lineOf(lines, "n901");
    CSectionNode* line = out.node("n900/n901");
    out.setDate(line, "from", n901.from);
    out.setDate(line, "to", n901.to);
    out.setNumber(line, "at", n901.at);
    out.setText(line, "net", "1");
    out.split("n900/n901", "", n901.borrowerFund,
              sellerFundEmpty ? std::string() : n901.sellerFund);
    for (int number = 902; number <= 904; ++number) {
        const std::string name = legacy_fields::lineName(number);
        const LegacyLine& source = lineOf(lines, name);
        out.setNumber(out.node("n900/" + name), "months", source.months);
        out.fund("n900/" + name, source,
                 {.payorFromFile = number == 904, .net = 1, .sellerFundEmpty = sellerFundEmpty});
    }
    out.fund("n900/n905", lineOf(lines, "n905"), {.net = 1, .sellerFundEmpty = sellerFundEmpty});
}

void writeReserveLines(LineWriter& out, const LineMap& lines, std::uint32_t n1008Flag,
                       bool sellerFundEmpty) {
    CSectionNode* n1000 = out.node("n1000");
    if (!n1000)
        return;
    n1000->putLong("n1008Flag", static_cast<std::int32_t>(n1008Flag));
    for (int number = 1001; number <= 1007; ++number) {
        const std::string name = legacy_fields::lineName(number);
        const LegacyLine& source = lineOf(lines, name);
        CSectionNode* line = out.node("n1000/" + name);
        out.setNumber(line, "at", source.at);
        out.setNumber(line, "months", source.months);
        out.fund(
            "n1000/" + name, source,
            {.emptyDescription = number <= 1005, .net = 1, .sellerFundEmpty = sellerFundEmpty});
    }
    out.fund("n1000/n1008", lineOf(lines, "n1008"),
             {.emptyDescription = true, .net = 1, .sellerFundEmpty = sellerFundEmpty});
}

void writeTitleChargeLines(LineWriter& out, const LineMap& lines, bool sellerFundEmpty) {
    // Lines 1109 and 1110 are the borrower's alone; a statement shows 0.00 for the seller.
    const std::string splitSellerFund = sellerFundEmpty ? std::string() : "0.00";
    const FundShape shape{.sellerFundEmpty = sellerFundEmpty};
    out.fundRange("n1100", lines, 1101, 1106, shape);
    out.fundRange("n1100", lines, 1107, 1108,
                  {.payorFromFile = true, .sellerFundEmpty = sellerFundEmpty});
    out.split("n1100/n1109", "", lineOf(lines, "n1109").borrowerFund, splitSellerFund);
    out.split("n1100/n1110", "", lineOf(lines, "n1110").borrowerFund, splitSellerFund);
    out.fundRange("n1100", lines, 1111, 1113, shape);
}

void writeLedgerNames(CSectionNode& ledger, const LedgerBlock& block) {
    static constexpr const char* kNames[] = {"borrowerName1", "borrowerName2", "sellerName1",
                                             "sellerName2",   "location1",     "location2",
                                             "location3",     "location4"};
    for (std::size_t i = 0; i < block.names.size(); ++i)
        ledger.putString(kNames[i], block.names[i]);
}

void writeEscrow(LineWriter& out, const EscrowBlock& escrow, bool singlePrecision) {
    CSectionNode* disclosure = out.node("initialEscrowDisclosure");
    if (!disclosure)
        return;
    const auto stored = [singlePrecision](double value) {
        return singlePrecision ? static_cast<double>(static_cast<float>(value)) : value;
    };
    disclosure->putString("cushionAmount", escrow.cushionAmount);
    disclosure->putDouble("escrowTo", stored(escrow.escrowTo));
    disclosure->putString("discretionaryAmount", escrow.discretionaryAmount);
    disclosure->putDate("firstPaymentDate", escrow.firstPaymentDate.toOleDate());
    disclosure->putLong("maxMonthsAllowed", static_cast<std::int32_t>(escrow.maxMonthsAllowed));
    disclosure->putString("monthlyPayment", escrow.monthlyPayment);
    disclosure->putString("tollFreeNumber", escrow.tollFreeNumber);
    disclosure->putDouble("escrowInit", stored(escrow.escrowInit));
    static constexpr const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                              "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t i = 0; i < escrow.months.size(); ++i)
        out.textAmount(std::string("initialEscrowDisclosure/") + kMonths[i], escrow.months[i]);
}

bool trimAndTestAmount(std::string& amount) {
    amount.erase(0, amount.size() - trimmedStart(amount).size());
    return parseDouble(amount) > 0.0;
}

} // namespace velmora
