#include "index/deal_fields.h"

#include "document/deal_view.h"
#include "document/hud_document.h"
#include "document/tax_id.h"
#include "platform/code_page.h"
#include "tree/text_forms.h"
#include "tree/text_trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace velmora::index {
namespace {

const PropertyDef* definedProperty(const CSectionNode* node, std::string_view name,
                                   PropertyKind kind) {
    if (!node)
        return nullptr;
    const PropertyDef* def = node->schema().find(name);
    return def && def->kind == kind ? def : nullptr;
}

std::string stringAt(const CSectionNode* node, std::string_view name) {
    const PropertyDef* def = definedProperty(node, name, PropertyKind::String);
    return def ? treeTextToUtf8(std::string(node->stringOf(*def))) : std::string();
}

OleDate dateAt(const CSectionNode* node, std::string_view name) {
    const PropertyDef* def = definedProperty(node, name, PropertyKind::Date);
    return def ? std::get<OleDate>(node->slotValue(*def)) : OleDate::invalid();
}

void append(std::string& joined, const std::string& part, std::string_view separator) {
    if (part.empty())
        return;
    if (!joined.empty())
        joined += separator;
    joined += part;
}

// The names of a name-and-address block: both of its name lines.
void appendNames(std::string& joined, const AddressParts& block) {
    append(joined, treeTextToUtf8(block.name1), "; ");
    append(joined, treeTextToUtf8(block.name2), "; ");
}

std::string namesOf(const std::vector<AddressParts>& parties) {
    std::string joined;
    for (const AddressParts& party : parties)
        appendNames(joined, party);
    return joined;
}

std::string addressOf(const AddressParts& location) {
    std::string stateAndZip = treeTextToUtf8(location.state);
    append(stateAndZip, treeTextToUtf8(location.zip), " ");
    std::string joined;
    for (const std::string* part :
         {&location.name1, &location.name2, &location.street, &location.city})
        append(joined, treeTextToUtf8(*part), ", ");
    append(joined, stateAndZip, ", ");
    return joined;
}

FieldValue textValue(std::string text) {
    if (text.empty())
        return {};
    return FieldValue(std::move(text));
}

FieldValue numberValue(std::optional<double> number) {
    return number ? FieldValue(*number) : FieldValue();
}

void setText(FieldValues& values, Field field, std::string text) {
    values[field] = textValue(std::move(text));
}

// Each amount is kept twice: as a number, and as the text the document holds.
struct AmountFields {
    Field number;
    Field text;
};

void setAmount(FieldValues& values, AmountFields fields, const std::string& text,
               std::optional<double> number) {
    values[fields.number] = numberValue(number);
    setText(values, fields.text, text);
}

void setStringAmount(FieldValues& values, AmountFields fields, const CSectionNode* node,
                     std::string_view name) {
    const std::string text = stringAt(node, name);
    setAmount(values, fields, text, amountOfText(text));
}

void setDoubleAmount(FieldValues& values, AmountFields fields, const CSectionNode* node,
                     std::string_view name) {
    const PropertyDef* def = definedProperty(node, name, PropertyKind::Double);
    if (!def)
        return;
    const double value = std::get<double>(node->slotValue(*def));
    setAmount(values, fields, formatDoubleExact(value), value);
}

// The texts a person may look for: a line's description is its text, but a
// node's name is the tree's own, and an amount of nothing ("0.00" in a
// hundred unused lines) would only swell the index. A tax ID is never
// indexed: the index would tell whose number it is.
bool isSearchableText(const CSectionNode& node, const PropertyDef& def) {
    if (def.kind != PropertyKind::String || def.builtIn == BuiltIn::Name ||
        isTaxIdProperty(def.name))
        return false;
    const std::string_view text = node.stringOf(def);
    return !text.empty() && amountOfText(text) != 0.0;
}

std::string firstOf(std::string preferred, std::string otherwise) {
    return preferred.empty() ? otherwise : preferred;
}

} // namespace

std::optional<double> amountOfText(std::string_view text) {
    text = trimmed(text);
    const bool parenthesised = text.size() > 2 && text.front() == '(' && text.back() == ')';
    if (parenthesised)
        text = trimmed(text.substr(1, text.size() - 2));
    std::string digits;
    for (const char c : text) {
        if (c != ',' && c != '$' && c != ' ')
            digits += c;
    }
    if (digits.empty() || (parenthesised && digits.front() == '-'))
        return std::nullopt;
    double value = 0.0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    // from_chars also reads "inf" and "nan", which no one types for an amount.
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return parenthesised ? -value : value;
}

std::string isoDate(const OleDate& date) {
    // Day 0 is how the documents say "no date": it is never written to a file.
    if (!date.isValid() || date.days == 0.0)
        return {};
    const CivilDateTime civil = civilFromDays(date.days);
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%04lld-%02d-%02d",
                                     static_cast<long long>(civil.year), civil.month, civil.day);
    std::string iso(text, static_cast<std::size_t>(length));
    if (civil.hour != 0 || civil.minute != 0 || civil.second != 0) {
        std::snprintf(text, sizeof text, "T%02d:%02d:%02d", civil.hour, civil.minute, civil.second);
        iso += text;
    }
    return iso;
}

void fillDealFields(CHudDocument& document, FieldValues& values) {
    const CSectionNode* loan = document.findChild("b");
    const CSectionNode* summary = document.findChild("n1400");
    const std::string type = treeTextToUtf8(document.documentType());
    setText(values, Field::DocumentType, type);
    setText(values, Field::SettlementDate,
            firstOf(isoDate(dateAt(&document, "i_settlementDate")),
                    isoDate(dateAt(summary, "settlementDate"))));
    setText(values, Field::FundingDate, isoDate(dateAt(&document, "fundingDate")));
    setText(values, Field::FileNumber, stringAt(loan, "fileNo_6"));
    setText(values, Field::LoanNumber, stringAt(loan, "loanNo_7"));
    const DealView deal = readDealView(document);
    setText(values, Field::Borrowers, namesOf(deal.borrowers));
    setText(values, Field::Sellers, namesOf(deal.sellers));
    setText(values, Field::PropertyAddress, addressOf(deal.property));
    setText(values, Field::Lender, treeTextToUtf8(deal.lenderName));
    setText(values, Field::SettlementAgent, treeTextToUtf8(deal.settlementAgent));
    setStringAmount(values, {Field::ContractSalesPrice, Field::ContractSalesPriceText},
                    document.findChild("n100"), "n101");
    // The refinance form has no line 202: its loan amount is line 1601.
    if (type == document_types::kHud1a)
        setStringAmount(values, {Field::LoanAmount, Field::LoanAmountText},
                        document.findChild("n1600"), "amount");
    else
        setStringAmount(values, {Field::LoanAmount, Field::LoanAmountText},
                        document.findChild("n200"), "n202");
    setDoubleAmount(values, {Field::Total120, Field::Total120Text}, document.findChild("n100"),
                    "n120");
    setDoubleAmount(values, {Field::Total220, Field::Total220Text}, document.findChild("n200"),
                    "n220");
    setDoubleAmount(values, {Field::Total420, Field::Total420Text}, document.findChild("n400"),
                    "n420");
    setDoubleAmount(values, {Field::Total520, Field::Total520Text}, document.findChild("n500"),
                    "n520");
    setDoubleAmount(values, {Field::Total1400Borrower, Field::Total1400BorrowerText}, summary,
                    "borrowerFund");
    setDoubleAmount(values, {Field::Total1400Seller, Field::Total1400SellerText}, summary,
                    "sellerFund");
    setDoubleAmount(values, {Field::Total1520, Field::Total1520Text}, document.findChild("n1500"),
                    "n1520");
}

std::string documentText(const CHudDocument& document) {
    std::string text;
    std::vector<const CSectionNode*> pending{&document};
    while (!pending.empty()) {
        const CSectionNode* node = pending.back();
        pending.pop_back();
        for (const PropertyDef& def : node->schema().inNameOrder()) {
            if (isSearchableText(*node, def))
                append(text, treeTextToUtf8(std::string(node->stringOf(def))), "\n");
        }
        for (auto child = node->children().rbegin(); child != node->children().rend(); ++child)
            pending.push_back(child->get());
    }
    return text;
}

namespace {

// The parts of a field made by fillDealFields: names between "; ", address
// lines between ", ".
void countParts(std::unordered_map<std::string_view, std::size_t>& parts, std::string_view field) {
    while (!field.empty()) {
        const std::size_t end = std::min(field.find("; "), field.find(", "));
        ++parts[field.substr(0, end)];
        field.remove_prefix(end == std::string_view::npos ? field.size() : end + 2);
    }
}

} // namespace

std::string textBeyondFields(std::string_view text, const FieldValues& values) {
    std::unordered_map<std::string_view, std::size_t> parts;
    for (const Field field : kFullTextFields) {
        if (const auto* fieldText = std::get_if<std::string>(&values[field]))
            countParts(parts, *fieldText);
    }
    std::string beyond;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto part = parts.find(line);
        if (part != parts.end() && part->second > 0) {
            --part->second;
            continue;
        }
        append(beyond, std::string(line), "\n");
    }
    return beyond;
}

} // namespace velmora::index
