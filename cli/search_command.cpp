// velmora search: finds deals in the archive index that velmora index made.
#include "commands.h"
#include "index_database.h"
#include "shown_lines.h"

#include "index/index_search.h"

#include <iostream>
#include <limits>
#include <memory>

namespace velmora::cli {
namespace {

struct SearchArguments {
    std::vector<std::string> words;
    std::string database = kDefaultIndexPath;
    std::vector<std::string> where;
    std::string from;
    std::string to;
    std::size_t limit = 20;
    bool json = false;
};

std::string dateCheck(const std::string& text) {
    return parseDate(text).isValid()
               ? std::string()
               : "'" + text + "' is not a date such as 2009-05-01 or 5/1/2009";
}

std::string textOf(const index::FieldValues& values, index::Field field) {
    const auto* text = std::get_if<std::string>(&values[field]);
    return text ? *text : std::string();
}

std::pair<index::Field, std::string> condition(const std::string& where) {
    const std::optional<std::pair<index::Field, std::string>> parsed = index::parseWhere(where);
    if (!parsed)
        throw CommandFailed("--where takes FIELD=VALUE with FIELD one of: " +
                            index::fieldColumns());
    return *parsed;
}

// Path, type, settlement date, borrowers, property and sales price, by tabs.
void printHit(const index::FieldValues& hit) {
    using index::Field;
    printRow(std::cout,
             {textOf(hit, Field::Path), textOf(hit, Field::DocumentType),
              textOf(hit, Field::SettlementDate), textOf(hit, Field::Borrowers),
              textOf(hit, Field::PropertyAddress), textOf(hit, Field::ContractSalesPriceText)});
}

void runSearch(const SearchArguments& args) {
    index::SearchQuery query;
    for (const std::string& word : args.words)
        query.words += word + " ";
    for (const std::string& where : args.where)
        query.where.push_back(condition(where));
    if (!args.from.empty())
        query.from = parseDate(args.from);
    if (!args.to.empty())
        query.to = parseDate(args.to);
    query.limit = args.limit;
    const std::unique_ptr<index::Database> db = openIndexForReading(args.database);
    const std::vector<index::FieldValues> hits = index::searchIndex(*db, query);
    for (const index::FieldValues& hit : hits) {
        if (args.json)
            std::cout << index::jsonOfFields(hit) << '\n';
        else
            printHit(hit);
    }
    if (hits.empty())
        throw CommandFailed("no deal matches");
}

} // namespace

void addSearchCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<SearchArguments>();
    CLI::App* search = app.add_subcommand(
        "search", "Find deals in the index: words anywhere in a document, fields, dates");
    search->add_option("QUERY", args->words,
                       "Words, each matching the start of a word of the document, in any case");
    search->add_option("--db", args->database, "The index database")->capture_default_str();
    search->add_option("--where", args->where,
                       "FIELD=VALUE: the field holds VALUE, in any case (repeatable); FIELD is a "
                       "column of the documents table");
    search->add_option("--from", args->from, "Settlement on or after this date")->check(dateCheck);
    search->add_option("--to", args->to, "Settlement on or before this date")->check(dateCheck);
    search->add_option("--limit", args->limit, "At most this many matches")
        ->capture_default_str()
        // CLI::PositiveNumber would say "0 not in range 0.000000 to <a 309-digit number>".
        ->check(CLI::Range(std::size_t{1}, std::numeric_limits<std::size_t>::max()));
    search->add_flag("--json", args->json, "Every field of each match as one JSON object a line");
    search->callback([args] { runSearch(*args); });
}

} // namespace velmora::cli
