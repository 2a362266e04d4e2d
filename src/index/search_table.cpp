#include "index/search_table.h"

#include <array>

namespace velmora::index {
namespace {

struct Column {
    const char* name;
    Field field;
    bool names; // a party list, cut short
};

constexpr std::array<Column, 9> kColumns = {{
    {"path", Field::Path, false},
    {"type", Field::DocumentType, false},
    {"settlement_date", Field::SettlementDate, false},
    {"borrowers", Field::Borrowers, true},
    {"sellers", Field::Sellers, true},
    {"property", Field::PropertyAddress, false},
    {"lender", Field::Lender, false},
    {"sales_price", Field::ContractSalesPriceText, false},
    {"loan_amount", Field::LoanAmountText, false},
}};

constexpr std::string_view kNameSeparator = "; ";

} // namespace

std::string fieldText(const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

std::vector<std::string> searchTableHeader() {
    std::vector<std::string> header;
    for (const Column& column : kColumns)
        header.emplace_back(column.name);
    return header;
}

std::vector<std::string> searchTableRow(const FieldValues& hit) {
    std::vector<std::string> cells;
    for (const Column& column : kColumns) {
        const std::string text = fieldText(hit[column.field]);
        cells.push_back(column.names ? shortenedNames(text) : text);
    }
    return cells;
}

std::string shortenedNames(std::string_view names, std::size_t shown) {
    std::size_t end = 0;
    std::size_t next = 0; // where the name after `end` begins
    for (std::size_t count = 0; count < shown; ++count) {
        end = names.find(kNameSeparator, next);
        if (end == std::string_view::npos)
            return std::string(names);
        next = end + kNameSeparator.size();
    }
    std::size_t more = 1;
    for (std::size_t at = names.find(kNameSeparator, next); at != std::string_view::npos;
         at = names.find(kNameSeparator, at + kNameSeparator.size()))
        ++more;
    return std::string(names.substr(0, end)) + " +" + std::to_string(more) + " more";
}

std::string cutListLine(std::size_t given, std::size_t matches) {
    if (given >= matches)
        return {};
    return std::to_string(given) + " of " + std::to_string(matches) + " matches (use --limit)";
}

} // namespace velmora::index
