#include "sample_deals.h"

#include "index/deal_fields.h"
#include "index/index_schema.h"
#include "index/index_writer.h"
#include "tree/node_operations.h"

#include <string_view>

namespace velmora::bench {
namespace {

constexpr const char* kFirstNames[] = {"James", "Mary",    "Robert", "Patricia", "John",
                                       "Linda", "Michael", "Susan",  "William",  "Karen",
                                       "David", "Nancy",   "Joseph", "Lisa",     "Thomas",
                                       "Betty", "Charles", "Helen",  "Daniel",   "Sandra"};
constexpr const char* kLastNames[] = {
    "Smith",    "Johnson",  "Williams", "Brown",   "Jones",      "Miller",   "Davis",    "Garcia",
    "Wilson",   "Anderson", "Taylor",   "Thomas",  "Moore",      "Jackson",  "Martin",   "Lee",
    "Thompson", "White",    "Harris",   "Clark",   "Lewis",      "Robinson", "Walker",   "Young",
    "Allen",    "King",     "Wright",   "Scott",   "Hill",       "Green",    "Adams",    "Baker",
    "Nelson",   "Carter",   "Mitchell", "Roberts", "Turner",     "Phillips", "Campbell", "Parker",
    "Evans",    "Edwards",  "Collins",  "Stewart", "Morris",     "Murphy",   "Cook",     "Rogers",
    "Morgan",   "Cooper",   "Peterson", "Reed",    "Bailey",     "Bell",     "Gomez",    "Kelly",
    "Howard",   "Ward",     "Cox",      "Diaz",    "Richardson", "Wood",     "Watson"};
constexpr const char* kStreets[] = {
    "Oak Street",  "Maple Avenue",    "Cedar Lane",    "Pine Road",
    "Elm Street",  "Washington Blvd", "Lake Drive",    "Hill Road",
    "Park Avenue", "Main Street",     "Church Street", "Mill Road",
    "River Road",  "Spring Street",   "Forest Drive",  "Highland Avenue"};
constexpr const char* kCities[] = {"Springfield", "Riverton", "Fairview", "Georgetown",
                                   "Franklin",    "Clinton",  "Salem",    "Madison"};
constexpr const char* kLenders[] = {"First Coastal Bank", "Harbor Savings", "Union Mortgage",
                                    "Prairie Credit Union", "Summit Home Loans"};
// The line texts a typical statement holds, with a payee that varies.
constexpr const char* kChargeTexts[] = {"Appraisal fee to",
                                        "Credit report to",
                                        "Tax service to",
                                        "Flood certification",
                                        "Settlement or closing fee to",
                                        "Title insurance binder to",
                                        "Document preparation",
                                        "Notary fees to",
                                        "Attorney's fees to",
                                        "Recording fees: Deed",
                                        "City/county tax/stamps",
                                        "Survey to",
                                        "Pest inspection to",
                                        "Hazard insurance premium to",
                                        "Courier fee to"};

template <typename T, std::size_t N> const char* pick(T (&names)[N], std::size_t n) {
    return names[n % N];
}

void set(CHudDocument& document, const char* uri, const char* property, const std::string& text) {
    setNodePropertyValue(&document, uri, property, text);
}

// Indexed rows written straight through the writer: 50,000 files would take
// the benchmark longer to write than to index.
index::IndexEntry entryOf(const DealSample& deal, std::size_t n) {
    using index::Field;
    index::IndexEntry entry;
    const auto put = [&](Field field, index::FieldValue value) {
        entry.values[field] = std::move(value);
    };
    put(Field::Path,
        "/archive/" + std::to_string(2000 + n % 21) + "/deal-" + std::to_string(n) + ".xml");
    put(Field::Status, std::string("indexed"));
    put(Field::Format, std::string("xml"));
    put(Field::DocumentType, std::string("hud"));
    put(Field::SettlementDate, index::isoDate(parseDate(deal.settlementDate)));
    put(Field::FileNumber, deal.fileNumber);
    put(Field::Borrowers, deal.borrower);
    put(Field::Sellers, deal.seller);
    put(Field::PropertyAddress, deal.street + ", " + deal.city);
    put(Field::Lender, deal.lender);
    put(Field::ContractSalesPriceText, deal.price);
    put(Field::ContractSalesPrice, index::amountOfText(deal.price).value_or(0.0));
    entry.text = deal.borrower + "\n" + deal.seller + "\n" + deal.street + "\n" + deal.city + "\n" +
                 deal.lender + "\n" + deal.fileNumber + "\n" + deal.price;
    for (std::size_t line = 0; line < std::size(kChargeTexts); ++line)
        entry.text += std::string("\n") + kChargeTexts[line] + " " + pick(kLastNames, n + line) +
                      " " + std::to_string(50 + (n + line) % 300) + ".00";
    return entry;
}

} // namespace

DealSample sampleOf(std::size_t n) {
    DealSample deal;
    deal.borrower = std::string(pick(kFirstNames, n)) + " " + pick(kLastNames, n / 7);
    deal.seller = std::string(pick(kFirstNames, n / 3 + 5)) + " " + pick(kLastNames, n / 11 + 17);
    deal.street = std::to_string(1 + n % 997) + " " + pick(kStreets, n / 5);
    deal.city = pick(kCities, n / 13);
    deal.lender = pick(kLenders, n);
    deal.fileNumber = "F" + std::to_string(100000 + n);
    deal.settlementDate = std::to_string(1 + n % 12) + "/" + std::to_string(1 + n % 28) + "/" +
                          std::to_string(2000 + n % 21);
    deal.price = std::to_string(90 + n % 400) + ",000.00";
    return deal;
}

std::unique_ptr<CHudDocument> dealDocument(const DealSample& deal, std::size_t n) {
    auto document = std::make_unique<CHudDocument>(document_types::kHud);
    document->initDocument();
    set(*document, "", "i_settlementDate", deal.settlementDate);
    set(*document, "", "f_LenderName", deal.lender);
    set(*document, "b", "fileNo_6", deal.fileNumber);
    set(*document, "d", "name1", deal.borrower);
    set(*document, "e", "name1", deal.seller);
    set(*document, "g", "street", deal.street);
    set(*document, "g", "city", deal.city);
    set(*document, "n100", "n101", deal.price);
    set(*document, "n100", "n120", std::to_string(100000 + n));
    set(*document, "n1400", "settlementAgent", "Velmora Title Agency");
    for (const char* line : {"n800/n803", "n800/n804", "n800/n805", "n1100/n1101", "n1100/n1102",
                             "n1300/n1301", "n1300/n1302"}) {
        set(*document, line, "description", pick(kChargeTexts, n + std::string_view(line).size()));
        set(*document, line, "borrowerFund", std::to_string(50 + n % 300) + ".00");
    }
    return document;
}

void writeSampleIndex(const std::string& path, std::size_t deals) {
    index::Database db(path, index::OpenMode::Create, 10);
    index::prepareIndexSchema(db);
    index::IndexWriter writer(db);
    for (std::size_t n = 0; n < deals; ++n)
        writer.put(entryOf(sampleOf(n), n));
    writer.commit();
}

} // namespace velmora::bench
