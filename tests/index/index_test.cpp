// The archive index through the library: what a row holds for each kind of
// file, the questions it answers, what an update reads again and what it
// removes, shards merged into one, and databases that are not ours.
#include "index/deal_fields.h"
#include "index/deal_reading.h"
#include "index/index_merge.h"
#include "index/index_schema.h"
#include "index/index_search.h"
#include "index/index_update.h"
#include "index/index_writer.h"
#include "index/text_lines.h"
#include "platform/file_stamp.h"
#include "support/child_process.h"
#include "support/index_archive.h"
#include "tree/ole_date.h"
#include "tree/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using index::Database;
using index::Field;
using index::FieldValues;
using index::IndexError;
using index::IndexNotReady;
using index::IndexRun;
using index::OpenMode;
using index::SearchQuery;

std::unique_ptr<Database> openIndex(const std::string& path, int busySeconds = 1) {
    auto db = std::make_unique<Database>(path, OpenMode::Create, busySeconds);
    index::prepareIndexSchema(*db);
    return db;
}

IndexRun update(Database& db, const std::vector<std::string>& roots,
                std::optional<batch::Shard> shard = std::nullopt) {
    index::IndexOptions options;
    options.jobs = 2;
    options.shard = shard;
    return index::updateIndex(db, roots, options, nullptr);
}

std::string counts(const IndexRun& run) {
    return index::indexRunLine(run) + ", files: " + std::to_string(run.files);
}

std::string shown(const index::SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return "#" + std::to_string(*number);
    if (const auto* number = std::get_if<double>(&value))
        return "#" + formatDoubleExact(*number);
    return "null";
}

// The fields of a row from `status` on, NULL ones left out, numbers after '#';
// "none" when the index has no row of the path.
std::string rowText(Database& db, const std::string& path) {
    index::Statement query = db.prepare("SELECT * FROM documents WHERE path = ?");
    query.bind(1, path);
    if (!query.step())
        return "none";
    std::string text;
    int column = 1; // after the id
    for (const Field field : batch::everyValue<Field>()) {
        const index::SqlValue value = query.value(column++);
        if (field >= Field::Status && !std::holds_alternative<std::monostate>(value))
            text += (text.empty() ? "" : "|") + std::string(index::fieldDef(field).name) + "=" +
                    shown(value);
    }
    return text;
}

std::map<std::string, std::int64_t> idsByPath(Database& db) {
    std::map<std::string, std::int64_t> ids;
    index::Statement query = db.prepare("SELECT path, id FROM documents");
    while (query.step())
        ids[query.text(0)] = query.integer(1);
    return ids;
}

// Every row without its id, the text of its other lines included, in path
// order.
std::vector<std::string> dump(Database& db) {
    std::vector<std::string> rows;
    index::LineReader lines(db);
    index::Statement query = db.prepare("SELECT * FROM documents ORDER BY path");
    const int linesColumn = static_cast<int>(index::kFieldCount) + 1;
    while (query.step()) {
        std::string row;
        for (int column = 1; column < linesColumn; ++column)
            row += shown(query.value(column)) + "|";
        rows.push_back(row + (query.isNull(linesColumn)
                                  ? "null"
                                  : lines.textOf(query.text(linesColumn)).value_or("broken")));
    }
    return rows;
}

// The uses text_lines counts of each line are those the rows make of it,
// and every line a row names is there; lines no row uses are gone.
bool linesAgreeWithRows(Database& db) {
    index::Statement disagreeing =
        db.prepare("WITH used (id, uses) AS (SELECT j.value, count(*) FROM documents d, "
                   "json_each(d.other_lines) j GROUP BY j.value) "
                   "SELECT count(*) FROM text_lines t FULL JOIN used u ON u.id = t.id "
                   "WHERE u.uses IS NOT t.uses");
    return disagreeing.step() && disagreeing.integer(0) == 0;
}

std::int64_t pageSizeOf(Database& db) {
    index::Statement pageSize = db.prepare("PRAGMA page_size");
    return pageSize.step() ? pageSize.integer(0) : 0;
}

std::vector<std::string> pathsOf(const std::vector<index::SearchHit>& hits) {
    std::vector<std::string> paths;
    for (const index::SearchHit& hit : hits)
        paths.push_back(std::get<std::string>(hit.fields[Field::Path]));
    return paths;
}

std::vector<std::string> search(Database& db, const std::string& words,
                                const std::string& from = "", const std::string& to = "",
                                std::vector<std::pair<Field, std::string>> where = {},
                                std::size_t limit = 20) {
    SearchQuery query;
    query.words = words;
    query.where = std::move(where);
    if (!from.empty())
        query.from = parseDate(from);
    if (!to.empty())
        query.to = parseDate(to);
    query.limit = limit;
    return pathsOf(index::searchIndex(db, query).hits);
}

std::string messageOf(const std::function<void()>& attempt) {
    try {
        attempt();
    } catch (const IndexError& error) {
        return error.what();
    }
    return "no error";
}

TEST(IndexFields, EachKindOfFileGetsItsRow) {
    IndexArchive archive;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    // A known stamp, with nanoseconds, for the file's own fields.
    const timespec stamp[2] = {{1700000000, 0}, {1700000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, archive.loan.c_str(), stamp, 0), 0);

    const IndexRun run = update(*db, {archive.root.path()});
    EXPECT_EQ(counts(run),
              "indexed: 5, unchanged: 0, not indexed: 3, not a deal: 2, broken link: 0, "
              "removed: 0, files: 10");

    EXPECT_EQ(rowText(*db, archive.purchase),
              "status=indexed|format=xml|version=201|document_type=hud|settlement_date=2008-09-"
              "16T14:30:00"
              "|funding_date=2008-09-18|file_number=F-2008-17|loan_number=LN-4471"
              "|borrowers=Dana Whitlock; Lee Whitlock; Riley Whitlock; Sam Okafor; Jo Okafor"
              "|sellers=Morgan Estates; Quentin Morgan|property_address=14 Quarry Road, Hallam, "
              "PA 17406|lender=Harbor Bank|settlement_agent=Velmora Title"
              "|contract_sales_price=#250000|contract_sales_price_text=$250,000.00"
              "|loan_amount=#2e+05|loan_amount_text=200,000.00|total_120=#252210.5"
              "|total_120_text=252210.5|total_220=#26204|total_220_text=26204|total_420=#251402"
              "|total_420_text=251402|total_520=#1504.25|total_520_text=1504.25"
              "|total_1400_borrower=#26006.5|total_1400_borrower_text=26006.5"
              "|total_1400_seller=#249897.75|total_1400_seller_text=249897.75|total_1520=#0"
              "|total_1520_text=0");
    EXPECT_EQ(rowText(*db, archive.refinance),
              "status=indexed|format=xml|version=201|document_type=hud1a|settlement_date=2010-03-01"
              "|loan_number=RF-300|borrowers=Avery Quinn|property_address=7 Mill Lane, Dover, DE "
              "19901|settlement_agent=Keystone Closings|loan_amount=#180500"
              "|loan_amount_text=180,500.00|total_120=#0|total_120_text=0|total_220=#0"
              "|total_220_text=0|total_420=#0|total_420_text=0|total_520=#0|total_520_text=0"
              "|total_1400_borrower=#1234.56|total_1400_borrower_text=1234.56"
              "|total_1400_seller=#0|total_1400_seller_text=0|total_1520=#0|total_1520_text=0");
    EXPECT_EQ(rowText(*db, archive.statement),
              "status=indexed|format=legacy|version_word=#1601|document_type=hud"
              "|settlement_date=2004-05-17|funding_date=2004-05-19|file_number=F-1601"
              "|loan_number=L-77|borrowers=Pat Legacy; Chris Legacy; Extra Borrower"
              "|sellers=Sam Seller|property_address=22 Old Mill Rd, Hanover, PA 17331"
              "|lender=First Legacy Bank|settlement_agent=Agent Of Record"
              "|contract_sales_price=#125000|contract_sales_price_text=125,000.00"
              "|loan_amount=#1e+05|loan_amount_text=100000|total_120=#125500.25"
              "|total_120_text=125500.25|total_220=#1e+05|total_220_text=1e+05"
              "|total_420=#125000|total_420_text=125000|total_520=#8000.75"
              "|total_520_text=8000.75|total_1400_borrower=#25500.25"
              "|total_1400_borrower_text=25500.25|total_1400_seller=#117000"
              "|total_1400_seller_text=117000|total_1520=#0|total_1520_text=0");
    EXPECT_EQ(rowText(*db, archive.loan),
              "status=indexed|format=legacy|version_word=#1502|document_type=hud1a"
              "|settlement_date=2011-02-03|funding_date=2011-02-07|loan_number=RL-9"
              "|borrowers=Robin Refi; Kim Ren\xC3\xA9"
              "e; Third Owner|property_address=3 Elm Court"
              "|lender=Legacy Trust|settlement_agent=Closing Co|loan_amount=#95000"
              "|loan_amount_text=95,000.00|total_120=#0|total_120_text=0|total_220=#0"
              "|total_220_text=0|total_420=#0|total_420_text=0|total_520=#0|total_520_text=0"
              "|total_1400_borrower=#1500.5|total_1400_borrower_text=1500.5"
              "|total_1400_seller=#0|total_1400_seller_text=0|total_1520=#4321.5"
              "|total_1520_text=4321.5");
    // The file's own fields.
    index::Statement own =
        db->prepare("SELECT size, modified, modified_ns, file_id FROM documents WHERE path = ?");
    own.bind(1, archive.loan);
    ASSERT_TRUE(own.step());
    EXPECT_EQ(own.integer(0), static_cast<std::int64_t>(fs::file_size(archive.loan)));
    EXPECT_EQ(own.text(1), "2023-11-14T22:13:20Z");
    EXPECT_EQ(own.integer(2), 1700000000123456789);
    struct stat info {};
    ASSERT_EQ(::stat(archive.loan.c_str(), &info), 0);
    EXPECT_EQ(own.integer(3), static_cast<std::int64_t>(info.st_ino));

    // A deal outside the archive is indexed where it lies, not under the
    // link that leads to it.
    EXPECT_NE(rowText(*db, fs::canonical(archive.far).string()).find("|borrowers=Farley Distant|"),
              std::string::npos);
    EXPECT_EQ(rowText(*db, archive.linked), "none");
    EXPECT_EQ(rowText(*db, archive.damaged),
              "status=failed|reason=the XML document is damaged: it does not load|format=xml");
    EXPECT_EQ(rowText(*db, archive.cut),
              "status=failed|reason=the legacy file is damaged: the file "
              "ends inside a field that starts at byte "
              "1009|format=legacy|version_word=#1601");
    EXPECT_EQ(rowText(*db, archive.mortgage), "status=failed|reason=a mortgage closing document "
                                              "cannot be read|format=legacy|version_word=#404");
    for (const char* none : {"notes.txt", "empty.dat", "zlinks/again.hud",
                             "UpgradeBackup/statement_1-1-2000 0-0-0.prb"})
        EXPECT_EQ(rowText(*db, archive.root.file(none)), "none") << none;
    std::vector<std::pair<std::string, std::string>> problems;
    for (const index::IndexProblem& problem : run.problems)
        problems.emplace_back(problem.path, problem.reason);
    EXPECT_EQ(
        problems,
        (std::vector<std::pair<std::string, std::string>>{
            {archive.damaged, "the XML document is damaged: it does not load"},
            {archive.cut,
             "the legacy file is damaged: the file ends inside a field that starts at byte 1009"},
            {archive.mortgage, "a mortgage closing document cannot be read"}}));
}

TEST(IndexFields, AmountsAndDatesAsPeopleTypeThem) {
    const std::pair<const char*, std::optional<double>> amounts[] = {{"250,000.00", 250000.0},
                                                                     {" $1,234.50 ", 1234.5},
                                                                     {"\t250.00\r\n", 250.0},
                                                                     {"(12.00)", -12.0},
                                                                     {"( $7.25 )", -7.25},
                                                                     {"-3", -3.0},
                                                                     {"0", 0.0},
                                                                     {"", std::nullopt},
                                                                     {"  ", std::nullopt},
                                                                     {"TBD", std::nullopt},
                                                                     {"12 abc", std::nullopt},
                                                                     {"(-5)", std::nullopt},
                                                                     {"1.2.3", std::nullopt},
                                                                     {"()", std::nullopt},
                                                                     {"inf", std::nullopt},
                                                                     {"NaN", std::nullopt},
                                                                     {"-infinity", std::nullopt}};
    for (const auto& [text, amount] : amounts)
        EXPECT_EQ(index::amountOfText(text), amount) << "'" << text << "'";

    EXPECT_EQ(index::isoDate(parseDate("9/16/2008")), "2008-09-16");
    EXPECT_EQ(index::isoDate(parseDate("1/2/1850 6:05:09 AM")), "1850-01-02T06:05:09");
    EXPECT_EQ(index::isoDate(parseDate("12/31/2099 11:59:59 PM")), "2099-12-31T23:59:59");
    EXPECT_EQ(index::isoDate(OleDate{0.0, DateStatus::Valid}), "");
    EXPECT_EQ(index::isoDate(OleDate::invalid()), "");
    EXPECT_EQ(index::isoTimeOfNanoseconds(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(index::isoTimeOfNanoseconds(-1), "1969-12-31T23:59:59Z");
    EXPECT_EQ(index::isoTimeOfNanoseconds(1'700'000'000'999'999'999), "2023-11-14T22:13:20Z");
}

// A text is kept once: a line a full-text field already holds whole (a name
// of a list, a part of an address) leaves the other texts, as many times as
// the fields hold it; a line only like one stays.
TEST(IndexFields, OtherTextsLeaveOutWhatTheFieldsHold) {
    FieldValues values;
    values[Field::Borrowers] = std::string("Dana Whitlock; Lee Whitlock");
    values[Field::PropertyAddress] = std::string("14 Quarry Road, Hallam, PA 17406");
    values[Field::Lender] = std::string("Harbor Bank");
    values[Field::ContractSalesPriceText] = std::string("250,000.00");
    EXPECT_EQ(index::textBeyondFields("Dana Whitlock\nAppraisal by Ridgeway\nLee Whitlock\n"
                                      "Dana Whitlock\n14 Quarry Road\nHallam\nPA\n17406\n"
                                      "Harbor Bank\n1 Bank Street\n250,000.00\nharbor bank",
                                      values),
              "Appraisal by Ridgeway\nDana Whitlock\nPA\n17406\n1 Bank Street\n250,000.00\n"
              "harbor bank");
    EXPECT_EQ(index::textBeyondFields("", values), "");
}

TEST(IndexSearch, WordsFieldsDatesAndOrder) {
    IndexArchive archive;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    update(*db, {archive.root.path()});
    using Paths = std::vector<std::string>;

    // Words: names, address words, prefixes, any case, all of them required.
    EXPECT_EQ(search(*db, "okafor"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "QUARRY rOaD"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "whit"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "mill lane"), Paths{archive.refinance});
    EXPECT_EQ(search(*db, "ridgeway valuer"), Paths{archive.purchase});
    const std::string far = fs::canonical(archive.far).string();
    EXPECT_EQ(search(*db, "distant"), Paths{far});
    EXPECT_EQ(search(*db, "backed"), Paths{});
    EXPECT_EQ(search(*db, "renee"), Paths{archive.loan});
    EXPECT_EQ(search(*db, "ren\xC3\xA9"), Paths{archive.loan});
    EXPECT_EQ(search(*db, "hallam okafor dover"), Paths{});
    // A word that another begins or repeats is not asked for again: each
    // word asked costs a pass over every indexed word it begins.
    EXPECT_EQ(index::askedWords("whit okafor WHIT whitlock o quarry"),
              (std::vector<std::string>{"okafor", "whitlock", "quarry"}));
    EXPECT_EQ(index::askedWords("s s S"), std::vector<std::string>{"s"});
    EXPECT_EQ(search(*db, "whit okafor WHIT whitlock o quarry"), Paths{archive.purchase});
    // Best first: the statement says "legacy" five times, the refinance twice.
    EXPECT_EQ(search(*db, "legacy"), (Paths{archive.statement, archive.loan}));
    EXPECT_EQ(search(*db, "legacy", "", "", {}, 1), Paths{archive.statement});

    // Dates: both ends inclusive, a settlement in the afternoon of the last day too.
    EXPECT_EQ(search(*db, "", "9/16/2008", "9/16/2008"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "", "2008-09-15", "2010-03-01"),
              (Paths{archive.refinance, archive.purchase, far}));
    EXPECT_EQ(search(*db, "", "", "5/17/2004"), Paths{archive.statement});
    EXPECT_EQ(search(*db, "", "2/3/2011"), Paths{archive.loan});
    EXPECT_EQ(search(*db, "whitlock", "9/17/2008"), Paths{});

    // Fields: a part of the text, in any case, every condition required.
    EXPECT_EQ(search(*db, "", "", "", {{Field::Borrowers, "OKAFOR"}}), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "", "", "", {{Field::DocumentType, "hud1a"}}),
              (Paths{archive.loan, archive.refinance}));
    EXPECT_EQ(search(*db, "", "", "", {{Field::DocumentType, "hud1a"}, {Field::Format, "xml"}}),
              Paths{archive.refinance});
    EXPECT_EQ(search(*db, "", "", "", {{Field::Status, "failed"}}),
              (Paths{archive.damaged, archive.cut, archive.mortgage}));
    EXPECT_EQ(search(*db, "legacy", "", "", {{Field::LoanNumber, "rl-"}}), Paths{archive.loan});
    EXPECT_EQ(index::parseWhere("Property_Address=Mill=Lane"),
              std::make_pair(Field::PropertyAddress, std::string("Mill=Lane")));
    for (const char* notAField : {"zip=17406", "borrowers", "=okafor", ""})
        EXPECT_EQ(index::parseWhere(notAField), std::nullopt) << notAField;

    // What a person types is never taken for query syntax.
    EXPECT_EQ(search(*db, "whit*"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "-okafor"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "\"quarry"), Paths{archive.purchase});
    for (const char* typed : {"\"",
                              "\"\"",
                              "*",
                              "(",
                              ")",
                              "()",
                              "NEAR",
                              "NEAR(okafor quarry)",
                              "okafor AND",
                              "AND",
                              "OR",
                              "NOT",
                              "-",
                              ":",
                              "borrowers:okafor",
                              "^okafor",
                              "okafor OR",
                              "{borrowers}: x",
                              "+",
                              "\xE2\x80\x94",
                              "\xC2\xAB\xC2\xBB",
                              "'",
                              "a\"b",
                              "\\",
                              "%",
                              "_"}) {
        EXPECT_EQ(messageOf([&] { search(*db, typed); }), "no error") << typed;
    }
}

// Names in any script and case, with or without their accents, by words
// and by fields alike; the words of a file's name and folders; dates at both
// ends of what the tool reads; every match counted past the limit.
TEST(IndexSearch, FoldedTextsPathWordsDateBoundsAndCounts) {
    IndexArchive archive;
    const std::string nordic = archive.root.file("nordic/deal1063.hud");
    saveDeal(nordic, document_types::kHud, [](CHudDocument& d) {
        putNames(d, "d", "S\xC3\xB8ren Kierkeg\xC3\xA5rd",
                 "\xC5\x81ukasz \xC3\x86"
                 "BLE");
        putNames(d, "e", "\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3 Ltd");
    });
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    update(*db, {archive.root.path()});
    using Paths = std::vector<std::string>;

    for (const char* name : {"soren", "SOREN", "S\xC3\x98REN", "s\xC3\xB8r", "kierkegard",
                             "KIERKEG\xC3\x85RD", "lukasz",
                             "\xC3\xA6"
                             "ble"}) {
        EXPECT_EQ(search(*db, name), Paths{nordic}) << name;
        EXPECT_EQ(search(*db, "", "", "", {{Field::Borrowers, name}}), Paths{nordic}) << name;
    }
    // Greek: capitals, the accent and the final sigma.
    EXPECT_EQ(search(*db, "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82"),
              Paths{nordic});
    EXPECT_EQ(search(*db, "", "", "", {{Field::Sellers, "\xCF\x83\xCE\xB9\xCF\x83\xCF\x85"}}),
              Paths{nordic});
    EXPECT_EQ(search(*db, "", "", "", {{Field::Borrowers, "RENEE"}}), Paths{archive.loan});
    EXPECT_EQ(search(*db, "", "", "", {{Field::Borrowers, "s\xC3\xB8rensen"}}), Paths{});

    // The file's name and its folders.
    EXPECT_EQ(search(*db, "deal1063"), Paths{nordic});
    EXPECT_EQ(search(*db, "NORDIC"), Paths{nordic});
    EXPECT_EQ(search(*db, "purchase"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "deals whitlock"), Paths{archive.purchase});
    // A file that did not read has no words; its fields find it.
    EXPECT_EQ(search(*db, "damaged"), Paths{});
    EXPECT_EQ(search(*db, "", "", "", {{Field::Path, "damaged"}}), Paths{archive.damaged});

    // Both ends of the dates the tool reads.
    const Paths dated{archive.loan, archive.refinance, archive.purchase, archive.far,
                      archive.statement};
    EXPECT_EQ(search(*db, "", "0001-01-01", "9999-12-31"), dated);
    EXPECT_EQ(search(*db, "", "1/1/1", "12/31/9999"), dated);
    EXPECT_EQ(search(*db, "", "", "9999-12-31"), dated);
    EXPECT_EQ(search(*db, "", "12/31/9999"), Paths{});

    // Every match is counted, however few were asked for.
    SearchQuery query;
    query.words = "legacy";
    query.limit = 1;
    index::SearchResult result = index::searchIndex(*db, query);
    EXPECT_EQ(pathsOf(result.hits), Paths{archive.statement});
    EXPECT_EQ(result.matches, 2u);
    query.words.clear();
    query.limit = 2;
    result = index::searchIndex(*db, query);
    EXPECT_EQ(result.hits.size(), 2u);
    EXPECT_EQ(result.matches, 9u);
    query.limit = 20;
    EXPECT_EQ(index::searchIndex(*db, query).matches, 9u);
    query.words = "nothing-like-this";
    result = index::searchIndex(*db, query);
    EXPECT_EQ(result.hits.size(), 0u);
    EXPECT_EQ(result.matches, 0u);
}

// Pages of a list, in either order of settlement, hold each match once, and
// a hit's id finds its row again.
TEST(IndexSearch, PagesAndOrdersGiveEachMatchOnceAndIdsFindTheirRows) {
    IndexArchive archive;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    update(*db, {archive.root.path()});
    SearchQuery query;
    query.limit = 100;
    const index::SearchResult whole = index::searchIndex(*db, query);
    ASSERT_EQ(whole.hits.size(), 8u);

    query.limit = 4;
    std::vector<std::string> paged;
    for (query.offset = 0; query.offset < 12; query.offset += query.limit) {
        const index::SearchResult page = index::searchIndex(*db, query);
        EXPECT_EQ(page.matches, 8u) << "from " << query.offset;
        for (const std::string& path : pathsOf(page.hits))
            paged.push_back(path);
    }
    EXPECT_EQ(paged, pathsOf(whole.hits));

    // Dated deals newest first, then oldest first; the undated last both ways.
    const std::vector<std::string> newest{archive.loan, archive.refinance, archive.purchase,
                                          archive.far, archive.statement};
    query.limit = 100;
    query.offset = 0;
    query.order = index::SearchOrder::SettlementOldest;
    std::vector<std::string> oldest = pathsOf(index::searchIndex(*db, query).hits);
    ASSERT_EQ(oldest.size(), 8u);
    EXPECT_EQ(std::vector(oldest.begin(), oldest.begin() + 5),
              std::vector(newest.rbegin(), newest.rend()));
    query.words = "legacy";
    query.order = index::SearchOrder::SettlementNewest;
    EXPECT_EQ(pathsOf(index::searchIndex(*db, query).hits),
              (std::vector<std::string>{archive.loan, archive.statement}));

    for (const index::SearchHit& hit : whole.hits) {
        const std::optional<index::SearchHit> again = index::documentOfId(*db, hit.id);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->fields[Field::Path], hit.fields[Field::Path]);
    }
    EXPECT_FALSE(index::documentOfId(*db, 0));
    EXPECT_FALSE(index::documentOfId(*db, INT64_MAX));
}

// A line many deals hold is stored once, and its words still find every one
// of them; a word typed with a hyphen is a phrase: its parts in that order.
TEST(IndexSearch, LinesDealsShareAreStoredOnceAndFindEachDeal) {
    IndexArchive archive;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    update(*db, {archive.root.path()});
    using Paths = std::vector<std::string>;
    const auto sorted = [](Paths paths) {
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    const Paths read =
        sorted({archive.purchase, archive.refinance, archive.statement, archive.loan, archive.far});

    // A caption of the form, in no field of any deal.
    EXPECT_EQ(sorted(search(*db, "escrow disclosure")), read);
    EXPECT_EQ(sorted(search(*db, "additional-settlement")), read);
    EXPECT_EQ(search(*db, "ridgeway-valuers"), Paths{archive.purchase});
    EXPECT_EQ(search(*db, "valuers-ridgeway"), Paths{});
    EXPECT_EQ(search(*db, "settlement-additional"), Paths{});
    {
        index::Statement caption = db->prepare("SELECT uses FROM text_lines WHERE line = "
                                               "'Initial Escrow Account Disclosure Statement'");
        ASSERT_TRUE(caption.step());
        EXPECT_EQ(caption.integer(0), 5);
    }

    // A row whose lines do not read back cannot give back its words: the
    // batch that would replace it is refused whole, not half written.
    db->prepare("UPDATE documents SET other_lines = '[1,999999]' WHERE path = ?")
        .bind(1, archive.purchase)
        .run();
    savePurchase(archive.purchase, "Dana Harrow");
    EXPECT_EQ(messageOf([&] { update(*db, {archive.root.path()}); }),
              dbFolder.file("index.db") + ": the row of " + archive.purchase +
                  " is damaged: its other_lines is not a list of lines that text_lines holds");
    EXPECT_EQ(search(*db, "harrow"), Paths{});
}

// Past kRankedMatches, the deals a word finds come newest in the index
// first, and all of them are counted, once each whichever of the words it
// begins a deal holds; a rarer word is still ranked. A word is found by
// every word it begins, however many.
TEST(IndexSearch, WordsMostDealsHoldComeNewestFirst) {
    TempFolder folder;
    const auto db = openIndex(folder.file("index.db"));
    {
        index::IndexWriter writer(*db);
        for (std::size_t n = 0; n <= index::kRankedMatches; ++n) {
            index::IndexEntry entry;
            entry.values[Field::Path] = "/deals/deal" + std::to_string(n) + ".hud";
            entry.values[Field::Status] = std::string("indexed");
            entry.text = std::string("common") + (n % 2 == 0 ? " commons" : "") +
                         (n % 1000 == 7 ? " rare" : "") + (n == 1007 ? " rare rare" : "") + " x" +
                         std::to_string(n);
            writer.put(entry);
        }
        writer.commit();
    }
    SearchQuery query;
    query.words = "common";
    query.limit = 3;
    const index::SearchResult result = index::searchIndex(*db, query);
    const std::size_t last = index::kRankedMatches;
    EXPECT_EQ(pathsOf(result.hits),
              (std::vector<std::string>{"/deals/deal" + std::to_string(last) + ".hud",
                                        "/deals/deal" + std::to_string(last - 1) + ".hud",
                                        "/deals/deal" + std::to_string(last - 2) + ".hud"}));
    EXPECT_EQ(result.matches, index::kRankedMatches + 1);
    EXPECT_EQ(search(*db, "rare common"),
              (std::vector<std::string>{"/deals/deal1007.hud", "/deals/deal7.hud"}));

    // The page past the first goes on where it stopped.
    query.offset = 3;
    EXPECT_EQ(pathsOf(index::searchIndex(*db, query).hits),
              (std::vector<std::string>{"/deals/deal" + std::to_string(last - 3) + ".hud",
                                        "/deals/deal" + std::to_string(last - 4) + ".hud",
                                        "/deals/deal" + std::to_string(last - 5) + ".hud"}));
    query.offset = 0;
    const auto count = [&](const std::string& words, index::SearchOrder order) {
        query.words = words;
        query.order = order;
        return index::searchIndex(*db, query).matches;
    };
    for (const index::SearchOrder order :
         {index::SearchOrder::Best, index::SearchOrder::SettlementNewest}) {
        // "x1" begins 1,111 words, "x12" 111 and "x123" 11: a prefix and
        // words OR'ed alike.
        EXPECT_EQ(count("x1", order), 1111u);
        EXPECT_EQ(count("x12 commo", order), 111u);
        EXPECT_EQ(count("x123", order), 11u);
        EXPECT_EQ(count("commons x123", order), 5u);
        EXPECT_EQ(count("x2000 commons", order), 1u);
        EXPECT_EQ(count("x2001", order), 0u);
        EXPECT_EQ(count("commons x2001", order), 0u);
    }
    query.where = {{Field::Path, "deal1231"}};
    EXPECT_EQ(count("x123", index::SearchOrder::Best), 1u);
}

// The id, then every field, in column order, as valid JSON whatever its
// value: a whole amount as an integer, no number JSON cannot carry.
TEST(IndexSearch, JsonOfAHitIsValidForAnyValue) {
    index::SearchHit hit{7, {}};
    FieldValues& values = hit.fields;
    values[Field::Path] = std::string("/deals/Ren\xE9.hud");
    values[Field::Size] = std::int64_t{-42};
    values[Field::ContractSalesPrice] = 300000.0;
    values[Field::LoanAmount] = std::nan("");
    values[Field::Total120] = 252210.5;
    values[Field::Total220] = 1e300;
    values[Field::Total420] = -0.0;
    values[Field::Total520] = -std::numeric_limits<double>::infinity();
    values[Field::Total1520] = 9007199254740994.0;
    const std::string json = index::jsonOfHit(hit);
    EXPECT_TRUE(json.starts_with("{\"id\":7,\"path\":\"/deals/"
                                 "Ren\xEF\xBF\xBD.hud\",\"path_base64\":\"L2RlYWxzL1JlbukuaHVk\","
                                 "\"size\":-42,\"modified\":null,"))
        << json;
    for (const char* member :
         {"\"contract_sales_price\":300000,", "\"loan_amount\":null,", "\"total_120\":252210.5,",
          "\"total_220\":1e+300,", "\"total_420\":0,", "\"total_520\":null,",
          "\"total_1520\":9.007199254740994e+15,", "\"total_1520_text\":null}"})
        EXPECT_NE(json.find(member), std::string::npos) << member << " in " << json;
}

TEST(IndexUpdate, OnlyChangedFilesAreReadAgainAndGoneOnesLeave) {
    IndexArchive archive;
    TempFolder other;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    savePurchase(other.file("elsewhere.hud"), "Other Root");
    update(*db, {other.path()});
    update(*db, {archive.root.path()});
    const std::map<std::string, std::int64_t> ids = idsByPath(*db);
    ASSERT_EQ(ids.size(), 9u);

    EXPECT_EQ(counts(update(*db, {archive.root.path()})),
              "indexed: 0, unchanged: 8, not indexed: 0, not a deal: 2, broken link: 0, removed: "
              "0, files: 10");
    EXPECT_EQ(idsByPath(*db), ids);

    savePurchase(archive.purchase, "Dana Harrow");
    saveDeal(archive.refinance, document_types::kHud1a, [](CHudDocument&) {});
    writeBytes(archive.refinance, readBytes(archive.refinance).substr(0, 100));
    fs::remove(archive.statement);
    writeBytes(archive.loan, "a letter now, no deal");
    const IndexRun run = update(*db, {archive.root.path()});
    EXPECT_EQ(counts(run), "indexed: 1, unchanged: 4, not indexed: 1, not a deal: 3, broken link: "
                           "0, removed: 2, files: 9");
    ASSERT_EQ(run.problems.size(), 1u);
    EXPECT_EQ(run.problems[0].path, archive.refinance);
    EXPECT_EQ(run.problems[0].reason, "the XML document is damaged: it does not load");

    EXPECT_EQ(rowText(*db, archive.refinance),
              "status=failed|reason=the XML document is damaged: it does not load|format=xml");
    EXPECT_EQ(rowText(*db, archive.statement), "none");
    EXPECT_EQ(rowText(*db, archive.loan), "none");
    EXPECT_NE(rowText(*db, archive.purchase).find("borrowers=Dana Harrow; Lee Whitlock;"),
              std::string::npos);
    // The full text follows: what the files held before is found no more.
    EXPECT_EQ(search(*db, "harrow"), std::vector<std::string>{archive.purchase});
    EXPECT_EQ(search(*db, "other root"), std::vector<std::string>{other.file("elsewhere.hud")});
    // Their words leave the full-text table too, not only the hits; their
    // lines leave with their last use.
    for (const char* gone : {"avery", "legacy", "settlements"}) {
        SearchQuery query;
        query.words = gone;
        EXPECT_EQ(index::searchIndex(*db, query).matches, 0u) << gone;
    }
    EXPECT_TRUE(linesAgreeWithRows(*db));
    std::map<std::string, std::int64_t> left = idsByPath(*db);
    EXPECT_EQ(left.size(), 7u);
    for (const std::string& same :
         {other.file("elsewhere.hud"), fs::canonical(archive.far).string(), archive.damaged,
          archive.mortgage})
        EXPECT_EQ(left[same], ids.at(same)) << same;
    EXPECT_NE(left[archive.purchase], ids.at(archive.purchase));

    // Naming one file of the tree does not make the rest of the tree gone.
    EXPECT_EQ(counts(update(*db, {archive.purchase})),
              "indexed: 0, unchanged: 1, not indexed: 0, not a deal: 0, broken link: 0, removed: "
              "0, files: 1");
    EXPECT_EQ(idsByPath(*db).size(), 7u);

    // A folder given that is not there at all (a share not mounted) keeps its rows.
    fs::rename(other.path(), other.path() + "-away");
    const IndexRun away = update(*db, {other.path()});
    fs::rename(other.path() + "-away", other.path());
    EXPECT_EQ(away.removed, 0u);
    ASSERT_EQ(away.problems.size(), 1u);
    EXPECT_EQ(away.problems[0].reason, "no such file or folder");
    EXPECT_EQ(idsByPath(*db).size(), 7u);
}

// A run stopped before it read a file keeps every row: a file it did not
// reach is not gone, and one it did not read again is not changed.
TEST(IndexUpdate, AStoppedRunKeepsTheRowsOfWhatItDidNotRead) {
    IndexArchive archive;
    TempFolder dbFolder;
    const auto db = openIndex(dbFolder.file("index.db"));
    update(*db, {archive.root.path()});
    const std::map<std::string, std::int64_t> ids = idsByPath(*db);
    fs::remove(archive.statement);
    savePurchase(archive.purchase, "Dana Harrow");

    index::IndexOptions options;
    options.stopped = [] { return true; };
    const IndexRun stopped = index::updateIndex(*db, {archive.root.path()}, options, nullptr);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.removed, 0u);
    EXPECT_EQ(stopped.indexed, 0u);
    EXPECT_EQ(idsByPath(*db), ids);
    EXPECT_EQ(search(*db, "harrow"), std::vector<std::string>{});

    // The next whole run does what the stopped one left.
    const IndexRun whole = update(*db, {archive.root.path()});
    EXPECT_FALSE(whole.stopped);
    EXPECT_EQ(whole.removed, 1u);
    EXPECT_EQ(search(*db, "harrow"), std::vector<std::string>{archive.purchase});
}

// An index made when a deal was kept under the spelling that reached it
// (a link here; on Windows another case, a trailing separator, "..") holds
// two rows of one file: the next run keeps the row of its name, and only it.
TEST(IndexUpdate, RowsOfAnotherSpellingOfADealAreMergedIntoItsRow) {
    TempFolder real;
    TempFolder dbFolder;
    const std::string deal = real.file("deal.hud");
    savePurchase(deal, "Dana Harrow");
    savePurchase(real.file("other.hud"), "Lee Other");
    const std::string spelled = dbFolder.file("by-link");
    fs::create_directory_symlink(real.path(), spelled);
    const auto db = openIndex(dbFolder.file("index.db"));
    {
        const std::string key = spelled + "/deal.hud";
        const std::optional<index::IndexEntry> entry =
            index::readIndexEntry(key, key, *fileStamp(key));
        ASSERT_TRUE(entry);
        index::IndexWriter writer(*db);
        writer.put(*entry);
        writer.commit();
    }
    const IndexRun run = update(*db, {real.path()});
    EXPECT_EQ(counts(run), "indexed: 2, unchanged: 0, not indexed: 0, not a deal: 0, broken link: "
                           "0, removed: 1, files: 2");
    EXPECT_EQ(search(*db, "harrow"), std::vector<std::string>{deal});
    EXPECT_EQ(idsByPath(*db).size(), 2u);
    EXPECT_EQ(counts(update(*db, {real.path()})),
              "indexed: 0, unchanged: 2, not indexed: 0, not a deal: 0, broken link: 0, removed: "
              "0, files: 2");
}

// Runs `attempt` as a user without rights to what the test locked away: in
// a child process as nobody when the test runs as root.
bool asOrdinaryUser(const std::function<bool()>& attempt) {
    if (::geteuid() != 0)
        return attempt();
    return inChildProcess(
        [&] { return ::setgid(65534) == 0 && ::setuid(65534) == 0 && attempt(); });
}

TEST(IndexUpdate, WhatCannotBeReadNowKeepsItsRowsAndIsTriedAgain) {
    TempFolder tree;
    TempFolder dbFolder;
    const std::string dbPath = dbFolder.file("index.db");
    savePurchase(tree.file("open.hud"), "Open Deal");
    savePurchase(tree.file("locked/inside.hud"), "Inside Deal");
    {
        const auto db = openIndex(dbPath);
        update(*db, {tree.path()});
    }
    ASSERT_EQ(::chmod(tree.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dbFolder.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(dbPath.c_str(), 0666), 0);
    savePurchase(tree.file("secret.hud"), "Secret Deal");
    ASSERT_EQ(::chmod(tree.file("secret.hud").c_str(), 0), 0);
    ASSERT_EQ(::chmod(tree.file("locked").c_str(), 0), 0);
    const auto updateAs = [&](const std::string& expected) {
        return asOrdinaryUser([&] {
            try {
                const auto db = openIndex(dbPath);
                return counts(update(*db, {tree.path()})) == expected;
            } catch (const IndexError&) {
                return false;
            }
        });
    };

    EXPECT_TRUE(updateAs("indexed: 0, unchanged: 1, not indexed: 1, not a deal: 0, broken link: 0, "
                         "removed: 0, files: 3"));
    {
        const auto db = openIndex(dbPath);
        EXPECT_EQ(rowText(*db, tree.file("secret.hud")),
                  "status=unreadable|reason=cannot be opened: no permission to read it");
        EXPECT_EQ(rowText(*db, tree.file("locked/inside.hud")).substr(0, 15), "status=indexed|");
    }

    // A file that could not be read is read again, although its stamp is the same.
    ASSERT_EQ(::chmod(tree.file("secret.hud").c_str(), 0644), 0);
    EXPECT_TRUE(updateAs("indexed: 1, unchanged: 1, not indexed: 0, not a deal: 0, broken link: 0, "
                         "removed: 0, files: 3"));
    ::chmod(tree.file("locked").c_str(), 0755);
    const auto db = openIndex(dbPath);
    EXPECT_EQ(search(*db, "secret"), std::vector<std::string>{tree.file("secret.hud")});
    EXPECT_EQ(search(*db, "inside"), std::vector<std::string>{tree.file("locked/inside.hud")});
}

TEST(IndexShards, TwoShardsMergedAreTheWholeIndex) {
    IndexArchive archive;
    TempFolder dbs;
    const auto whole = openIndex(dbs.file("whole.db"));
    update(*whole, {archive.root.path()});
    for (const char* shard : {"1/2", "2/2"}) {
        const auto part = openIndex(dbs.file(std::string("part") + shard[0] + ".db"));
        update(*part, {archive.root.path()}, batch::parseShard(shard));
        EXPECT_GT(idsByPath(*part).size(), 1u) << shard;
        EXPECT_LT(idsByPath(*part).size(), idsByPath(*whole).size()) << shard;
    }
    const auto merged = openIndex(dbs.file("merged.db"));
    const index::MergeRun run =
        index::mergeIndexes(*merged, {dbs.file("part1.db"), dbs.file("part2.db")}, 1);
    EXPECT_EQ(run.added, 8u);
    EXPECT_EQ(dump(*merged), dump(*whole));
    EXPECT_TRUE(linesAgreeWithRows(*merged));
    EXPECT_EQ(search(*merged, "okafor"), std::vector<std::string>{archive.purchase});

    // A run over one shard leaves the rows of the other alone.
    const unsigned k = batch::isInShard({1, 2}, "deals/purchase.hud") ? 1 : 2;
    const bool loanInShard = batch::isInShard({k, 2}, "legacy/loan.ref");
    fs::remove(archive.purchase);
    fs::remove(archive.loan);
    EXPECT_EQ(update(*whole, {archive.root.path()}, batch::Shard{k, 2}).removed,
              loanInShard ? 2u : 1u);
    EXPECT_EQ(rowText(*whole, archive.purchase), "none");
    EXPECT_EQ(rowText(*whole, archive.loan) == "none", loanInShard);
    EXPECT_TRUE(linesAgreeWithRows(*whole));

    // Of two rows of one path, the newer file's wins, whatever the order.
    const auto newer = openIndex(dbs.file("newer.db"));
    writeBytes(archive.statement, hudFile(legacyStatement()));
    const timespec later[2] = {{1800000000, 0}, {1800000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, archive.statement.c_str(), later, 0), 0);
    update(*newer, {archive.statement});
    const auto joined = openIndex(dbs.file("joined.db"));
    index::mergeIndexes(*joined, {dbs.file("newer.db")}, 1);
    const index::MergeRun older =
        index::mergeIndexes(*joined, {dbs.file("part1.db"), dbs.file("part2.db")}, 1);
    EXPECT_EQ(older.kept, 1u);
    EXPECT_EQ(older.added, 7u);
    index::Statement modified = joined->prepare("SELECT modified FROM documents WHERE path = ?");
    modified.bind(1, archive.statement);
    ASSERT_TRUE(modified.step());
    EXPECT_EQ(modified.text(0), "2027-01-15T08:00:00Z");
}

// Why the index at `path` is refused; the file must be left as it was.
std::string refusal(const std::string& path) {
    const std::string before = readBytes(path);
    const std::string message = messageOf([&] { openIndex(path); });
    EXPECT_TRUE(readBytes(path) == before) << path << " was changed";
    EXPECT_FALSE(fs::exists(path + "-journal")) << path;
    return message;
}

TEST(IndexSchema, DatabasesThatAreNotOursAreRefusedAndLeftAsTheyAre) {
    TempFolder folder;
    const auto makeDatabase = [&](const std::string& name, const std::string& sql) {
        Database db(folder.file(name), OpenMode::Create, 1);
        db.execute(sql);
        return folder.file(name);
    };
    // Why a reader refuses a database an index run would make an index of.
    const auto whyNotReady = [](const std::string& path) -> std::optional<IndexNotReady::Why> {
        Database reader(path, OpenMode::ReadOnly, 1);
        try {
            index::requireIndexSchema(reader);
        } catch (const IndexNotReady& refusal) {
            return refusal.why();
        } catch (const IndexError&) {
        }
        return std::nullopt;
    };

    const std::string newer =
        makeDatabase("newer.db", "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                                 "INSERT INTO meta VALUES ('schema_version', '5')");
    EXPECT_EQ(refusal(newer),
              newer + ": an index of schema 5, made by a newer velmora; this one knows schema 4");
    const std::string foreign = makeDatabase(
        "foreign.db", "CREATE TABLE customers (name TEXT); INSERT INTO customers VALUES ('x')");
    EXPECT_EQ(refusal(foreign),
              foreign + ": not a velmora index (it holds other tables); it was left as it is");
    // Tables of the same names as ours, that do not say they are an index.
    const std::string alike = makeDatabase(
        "alike.db", "CREATE TABLE meta (key TEXT, value TEXT);"
                    "INSERT INTO meta VALUES ('owner', 'accounts');"
                    "CREATE TABLE documents (title TEXT); INSERT INTO documents VALUES ('memo')");
    EXPECT_EQ(refusal(alike),
              alike + ": not a velmora index (it holds other tables); it was left as it is");
    const std::string text = folder.file("notes.txt");
    writeBytes(text, "These are notes, not a database.\n");
    EXPECT_EQ(refusal(text), text + ": not an SQLite database");
    {
        Database reader(newer, OpenMode::ReadOnly, 1);
        EXPECT_EQ(messageOf([&] { index::requireIndexSchema(reader); }),
                  newer + ": an index of schema 5, made by a newer velmora; this one knows "
                          "schema 4");
    }
    EXPECT_EQ(whyNotReady(newer), std::nullopt); // no index run makes it one

    // An index of an older schema is made again from nothing.
    const std::string older = makeDatabase(
        "older.db", "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                    "INSERT INTO meta VALUES ('schema_version', '0');"
                    "CREATE TABLE documents (id INTEGER PRIMARY KEY, path TEXT, kind TEXT);"
                    "INSERT INTO documents (path, kind) VALUES ('/a.hud', 'hud')");
    EXPECT_EQ(whyNotReady(older), IndexNotReady::Why::OlderSchema);
    {
        Database reader(older, OpenMode::ReadOnly, 1);
        EXPECT_EQ(messageOf([&] { index::requireIndexSchema(reader); }),
                  older + ": an index of an older schema");
    }
    const std::string empty = folder.file("empty.db");
    writeBytes(empty, "");
    EXPECT_EQ(whyNotReady(empty), IndexNotReady::Why::Empty);
    {
        const auto db = openIndex(older);
        EXPECT_EQ(idsByPath(*db).size(), 0u);
        index::Statement version = db->prepare("SELECT value FROM meta");
        ASSERT_TRUE(version.step());
        EXPECT_EQ(version.text(0), "4");
        EXPECT_EQ(search(*db, "anything"), std::vector<std::string>{});
        EXPECT_EQ(db->prepare("SELECT total_1520_text FROM documents").step(), false);
    }

    // Another process's write is waited for, then refused in words; reading goes on.
    const std::string index = folder.file("index.db");
    openIndex(index);
    Database writer(index, OpenMode::ReadWrite, 1);
    writer.execute("BEGIN IMMEDIATE; INSERT INTO meta VALUES ('mark', 'x')");
    EXPECT_EQ(messageOf([&] { openIndex(index); }),
              index + ": in use by another process; try again when it has finished");
    Database reader(index, OpenMode::ReadOnly, 1);
    EXPECT_EQ(messageOf([&] { index::requireIndexSchema(reader); }), "no error");
    writer.execute("ROLLBACK");
}

// Indexes of the older schemas: the first kept a copy of every text in its
// full-text table, the second every deal's other texts whole in documents,
// in pages of 4 KiB, the third indexed tax IDs. Readers send either to an index run, which makes it
// again from the files, in pages of this schema's size, as a new one.
TEST(IndexSchema, AnIndexOfAnOlderSchemaIsMadeAgainFromTheFiles) {
    IndexArchive archive;
    TempFolder folder;
    std::string documents = "CREATE TABLE documents (id INTEGER PRIMARY KEY";
    for (const Field field : batch::everyValue<Field>())
        documents +=
            std::string(", ") + index::fieldDef(field).name + " " + index::fieldDef(field).sqlType;
    const struct {
        const char* version;
        std::string tables;
    } olders[] = {
        {"1", documents + ");CREATE VIRTUAL TABLE document_text USING fts5 (body, tokenize = "
                          "'unicode61 remove_diacritics 2', prefix = '2 3');"},
        {"2", documents + ", other_text TEXT);CREATE VIRTUAL TABLE document_text USING fts5 "
                          "(body, content = '', tokenize = 'unicode61 remove_diacritics 2');"},
        {"3", documents + ", other_lines TEXT);CREATE TABLE text_lines (id INTEGER PRIMARY KEY, "
                          "line TEXT NOT NULL UNIQUE, uses INTEGER NOT NULL);CREATE VIRTUAL "
                          "TABLE document_text USING fts5 (body, content = '', tokenize = "
                          "'unicode61 remove_diacritics 2');"},
    };
    for (const auto& older : olders) {
        const std::string path = folder.file(std::string("schema") + older.version + ".db");
        {
            Database db(path, OpenMode::Create, 1);
            db.execute("PRAGMA page_size = 4096;"
                       "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);" +
                       older.tables +
                       "CREATE INDEX documents_by_settlement_date ON documents (settlement_date);"
                       "INSERT INTO meta VALUES ('schema_version', '" +
                       older.version +
                       "');"
                       "INSERT INTO documents (path, status) VALUES ('" +
                       archive.purchase +
                       "', 'indexed');"
                       "INSERT INTO document_text (rowid, body) VALUES (1, 'Dana Whitlock')");
        }
        {
            Database reader(path, OpenMode::ReadOnly, 1);
            try {
                index::requireIndexSchema(reader);
                ADD_FAILURE() << "an index of schema " << older.version << " was taken as it is";
            } catch (const IndexNotReady& refusal) {
                EXPECT_EQ(refusal.why(), IndexNotReady::Why::OlderSchema) << older.version;
            }
        }
        const auto db = openIndex(path);
        EXPECT_EQ(idsByPath(*db).size(), 0u) << older.version;
        EXPECT_EQ(search(*db, "whitlock"), std::vector<std::string>{}) << older.version;
        EXPECT_EQ(pageSizeOf(*db), 8192) << older.version;
        update(*db, {archive.root.path()});
        EXPECT_EQ(search(*db, "whitlock"), std::vector<std::string>{archive.purchase})
            << older.version;
        EXPECT_EQ(messageOf([&] { openIndex(path); }), "no error") << older.version;
    }
    EXPECT_EQ(pageSizeOf(*openIndex(folder.file("new.db"))), 8192);
}

// An index of the last schema whose date index has the earlier, narrower
// form is read as it is, and gets the current form at its next update with
// every row kept: its rows mean the same, so it is not made again.
TEST(IndexSchema, TheDateIndexOfAnEarlierReleaseIsMadeCurrentInPlace) {
    IndexArchive archive;
    TempFolder folder;
    const std::string path = folder.file("index.db");
    update(*openIndex(path), {archive.root.path()});
    const auto dateIndex = [](Database& db) {
        index::Statement sql =
            db.prepare("SELECT sql FROM sqlite_master WHERE name = 'documents_by_settlement_date'");
        return sql.step() ? sql.text(0) : std::string("none");
    };
    std::vector<std::string> rows;
    std::vector<std::string> filtered;
    {
        Database db(path, OpenMode::ReadWrite, 1);
        rows = dump(db);
        filtered = search(db, "", "1/1/1990", "12/31/2030", {{Field::Lender, "a"}});
        ASSERT_FALSE(filtered.empty());
        EXPECT_NE(dateIndex(db).find("lender"), std::string::npos) << dateIndex(db);
        db.execute("DROP INDEX documents_by_settlement_date;"
                   "CREATE INDEX documents_by_settlement_date ON documents (settlement_date)");
    }
    {
        Database reader(path, OpenMode::ReadOnly, 1);
        EXPECT_NO_THROW(index::requireIndexSchema(reader));
        EXPECT_EQ(search(reader, "", "1/1/1990", "12/31/2030", {{Field::Lender, "a"}}), filtered);
    }
    const auto db = openIndex(path);
    EXPECT_NE(dateIndex(*db).find("lender"), std::string::npos) << dateIndex(*db);
    EXPECT_EQ(dump(*db), rows);
    EXPECT_EQ(search(*db, "", "1/1/1990", "12/31/2030", {{Field::Lender, "a"}}), filtered);
}

// An index with one thing added or changed is no longer ours: each is refused
// before a byte is written, saying why, and left as it was.
TEST(IndexSchema, AnIndexWithAnythingOfSomeoneElsesIsRefusedWithTheReason) {
    TempFolder folder;
    const auto craft = [&](const std::string& name, const std::string& sql) {
        const std::string path = folder.file(name);
        openIndex(path);
        Database(path, OpenMode::ReadWrite, 1).execute(sql);
        return path;
    };
    const auto notOurs = [](const std::string& path, const std::string& why) {
        return path + ": not a velmora index (" + why + "); it was left as it is";
    };

    const struct {
        const char* name;
        const char* sql;
        const char* why;
    } cases[] = {
        {"trigger.db",
         "CREATE TRIGGER t AFTER INSERT ON documents "
         "BEGIN UPDATE meta SET value = new.path; END;",
         "it holds a trigger"},
        {"trigger-only.db",
         "CREATE TRIGGER t AFTER DELETE ON documents BEGIN DELETE FROM meta; END;",
         "it holds a trigger"},
        {"view.db", "CREATE VIEW v AS SELECT path FROM documents", "it holds a view"},
        {"table.db", "CREATE TABLE document_text_extra (x)", "it holds other tables"},
        {"letters.db", "UPDATE meta SET value = '1abc'",
         "its schema version is not a whole number"},
        {"blank.db", "UPDATE meta SET value = ' 1'", "its schema version is not a whole number"},
        {"columns.db", "ALTER TABLE documents ADD COLUMN extra TEXT",
         "its tables have other columns than an index of schema 4"},
        {"lines.db", "ALTER TABLE text_lines ADD COLUMN extra TEXT",
         "its tables have other columns than an index of schema 4"},
        // A full-text table that keeps a copy of its texts is not this schema's.
        {"copies.db",
         "DROP TABLE document_text; CREATE VIRTUAL TABLE document_text USING fts5 (body)",
         "its tables have other columns than an index of schema 4"},
    };
    for (const auto& crafted : cases) {
        const std::string path = craft(crafted.name, crafted.sql);
        EXPECT_EQ(refusal(path), notOurs(path, crafted.why));
    }
    const std::string huge = craft("huge.db", "UPDATE meta SET value = '99999999999'");
    EXPECT_EQ(refusal(huge), huge + ": an index of schema 99999999999, made by a newer velmora; "
                                    "this one knows schema 4");
    // A sound index still opens.
    const std::string sound = folder.file("sound.db");
    openIndex(sound);
    EXPECT_EQ(messageOf([&] { openIndex(sound); }), "no error");
}

} // namespace
} // namespace velmora::testing
