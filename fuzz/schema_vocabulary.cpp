#include "schema_vocabulary.h"

#include "document/hud_document.h"
#include "sections/companion_forms.h"
#include "sections/party_sections.h"
#include "sections/state_charges.h"
#include "sections/statement_sections.h"

#include <algorithm>

namespace velmora::fuzzing {
namespace {

const SectionTable* const kTables[] = {
    &hudDocumentTable,
    &section100Table,
    &section200Table,
    &section400Table,
    &section500Table,
    &section700Table,
    &section800Table,
    &section900Table,
    &section1000Table,
    &section1100Table,
    &section1200Table,
    &section1300Table,
    &section1400Table,
    &section1500Table,
    &section1600Table,
    &nameAddressTable,
    &addressListTable,
    &loanInfoTable,
    &taxDataTable,
    &escrowDisclosureTable,
    &ledgerTable,
    &depositListTable,
    &withdrawalListTable,
    &transactionListTable,
    &depositTable,
    &withdrawalTable,
    &transactionTable,
    &checkPrintingTable,
    &checkTable,
    &form1099Table,
    &form1099MultiTable,
    &transferorListTable,
    &transferorTable,
    &mortgageClosingTable,
    &titleClosingTable,
    &stateChargesTable,
    &stateChargeSetTable,
    &stateReleaseChargeTable,
    &otherFeesCollectionTable,
    &otherFeesTable,
    &tierTaxTable,
};

// Texts that the property kinds read in some way, and texts at their edges.
const char* const kValues[] = {
    "",
    "0",
    "1",
    "-1",
    "12.5",
    "250000.00",
    "  18900.00",
    "1E+15",
    "2.5E-07",
    "1e308",
    "-1e-320",
    "nan",
    "inf",
    "-inf",
    "2147483648",
    "-2147483649",
    "0x10",
    "1,000.00",
    "9/16/2008",
    "09/16/2008 2:05:08 PM",
    "1/1/100",
    "12/31/9999 11:59:59 PM",
    "1/1/1",
    "12:00:00 PM",
    "13:45",
    "2008-09-16",
    "2008-09-16T14:05:08",
    "00/00/0000",
    "2/30/2008",
    "99/99/99999",
    "-0",
    "Lot",
    "hud",
    "hud1a",
    "mortgage",
    "title",
    "201",
    "200",
    "999",
    "a|b=c",
    "name=x",
    "\x01\x1f\t\n\r",
    "\xEE\x80\x80\xEE\x80\xA0",
    "Ren\xC3\xA9",
    "\xFF\xFE",
    "<&>\"'",
};

void addTableWords(const SectionTable& table, SchemaVocabulary& words) {
    for (const auto& property : table.properties)
        words.propertyNames.emplace_back(property.name);
    for (const ChildRule& rule : table.children) {
        words.elementNames.push_back(rule.name);
        if (rule.columns) {
            for (const std::string_view name : rule.columns->names())
                words.propertyNames.emplace_back(name);
        }
    }
}

void sortUnique(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

SchemaVocabulary readTables() {
    SchemaVocabulary words;
    for (const SectionTable* table : kTables)
        addTableWords(*table, words);
    // Lines under "more" take any element name; hosts use "line".
    words.elementNames.emplace_back("line");
    words.propertyNames.insert(words.propertyNames.end(), {"name", "description"});
    sortUnique(words.elementNames);
    sortUnique(words.propertyNames);
    words.values.assign(std::begin(kValues), std::end(kValues));
    return words;
}

} // namespace

const SchemaVocabulary& schemaVocabulary() {
    static const SchemaVocabulary words = readTables();
    return words;
}

} // namespace velmora::fuzzing
