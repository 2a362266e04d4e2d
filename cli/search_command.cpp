// velmora search: finds deals in the archive index that velmora index made.
// The table's columns, the shortened party lists and the "N of M" line are
// the index layer's (index/search_table.h).
#include "commands.h"
#include "index_database.h"
#include "shown_lines.h"

#include "index/index_search.h"
#include "index/search_table.h"
#include "platform/terminal.h"

#include <iostream>
#include <limits>
#include <memory>

namespace velmora::cli {
namespace {

struct SearchArguments {
    std::vector<std::string> words;
    std::string database;
    std::vector<std::string> where;
    std::string from;
    std::string to;
    std::size_t limit = 20;
    bool json = false;
    bool header = false;
};

std::string dateCheck(const std::string& text) {
    return parseDate(text).isValid()
               ? std::string()
               : "'" + text + "' is not a date such as 2009-05-01 or 5/1/2009";
}

std::string whereCheck(const std::string& text) {
    return index::parseWhere(text)
               ? std::string()
               : "takes FIELD=VALUE with FIELD one of: " + index::fieldColumns();
}

// Prints each match as it comes, the header line before the first.
class HitPrinter {
public:
    explicit HitPrinter(const SearchArguments& args)
        : json_(args.json),
          header_(!args.json && (args.header || isTerminal(StandardStream::Output))) {}

    void print(const index::SearchHit& hit) {
        if (printed_++ == 0 && header_)
            printRow(std::cout, index::searchTableHeader());
        if (json_)
            std::cout << index::jsonOfHit(hit) << '\n';
        else
            printRow(std::cout, index::searchTableRow(hit.fields));
    }

    std::size_t printed() const { return printed_; }

private:
    bool json_;
    bool header_;
    std::size_t printed_ = 0;
};

void runSearch(const SearchArguments& args) {
    index::SearchQuery query;
    for (const std::string& word : args.words)
        query.words += word + " ";
    for (const std::string& where : args.where)
        query.where.push_back(*index::parseWhere(where));
    if (!args.from.empty())
        query.from = parseDate(args.from);
    if (!args.to.empty())
        query.to = parseDate(args.to);
    query.limit = args.limit;
    const std::unique_ptr<index::Database> db =
        openIndexForReading(indexPathOf(args.database, false));
    HitPrinter printer(args);
    const std::size_t matches =
        index::forEachHit(*db, query, [&](const index::SearchHit& hit) { printer.print(hit); });
    if (printer.printed() == 0)
        throw CommandFailed("no deal matches");
    const std::string cut = index::cutListLine(printer.printed(), matches);
    if (!cut.empty())
        std::cerr << cut << '\n';
}

} // namespace

void addSearchCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<SearchArguments>();
    CLI::App* search = app.add_subcommand(
        "search", "Find deals in the index: words anywhere in a document or its path, fields, "
                  "dates. Prints path, type, settlement_date, borrowers, sellers, property, "
                  "lender, sales_price and loan_amount, tab-separated, one deal a line. Exits 0 "
                  "for matches, 1 for none, 2 for a usage error or no index");
    search->add_option("QUERY", args->words,
                       "Words, each matching the start of a word of the document or of its path, "
                       "in any case, with or without accents");
    search->add_option("--db", args->database, kDatabaseHelp);
    search
        ->add_option("--where", args->where,
                     "FIELD=VALUE: the field holds VALUE, in any case, with or without accents "
                     "(repeatable); FIELD is a column of the documents table")
        ->check(whereCheck);
    search
        ->add_option("--from", args->from,
                     "Settlement on or after this date (default: no lower bound)")
        ->check(dateCheck);
    search
        ->add_option("--to", args->to,
                     "Settlement on or before this date (default: no upper bound)")
        ->check(dateCheck);
    search->add_option("--limit", args->limit, "At most this many matches")
        ->capture_default_str()
        // CLI::PositiveNumber would say "0 not in range 0.000000 to <a 309-digit number>".
        ->check(CLI::Range(std::size_t{1}, std::numeric_limits<std::size_t>::max()));
    search->add_flag("--json", args->json,
                     "Each match's id in the index and every field of it, whole, as one JSON "
                     "object a line");
    search->add_flag("--header", args->header,
                     "A line of column names first (always on a terminal; never with --json)");
    search->callback([args] { runSearch(*args); });
}

} // namespace velmora::cli
