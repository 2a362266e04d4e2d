// Writes the seed corpora of the fuzz targets, made by code rather than kept
// as binary files: legacy archives of every version either reader accepts
// (with the test-only archive writer), documents saved by the engine (new,
// filled, converted, of an old and of a newer version), and a dictionary of
// the schema's element and property names for the XML target, and messages
// of the browser's DevTools pipe with a dictionary of JSON's tokens, and the
// ends of PDFs as the browser and the tool write them, with PDF's tokens.
//
//     make_seeds OUTPUT_FOLDER
//         (makes OUTPUT_FOLDER/{legacy,xml_open,operations,devtools_message,
//          pdf_producer})
#include "schema_vocabulary.h"

#include "bench_inputs.h"
#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "legacy/refinance_converter.h"
#include "support/legacy_writer.h"
#include "tree/xml_document.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace velmora::fuzzing {
namespace {

constexpr std::uint32_t kStatementVersions[] = {401, 901, 1001, 1101, 1201, 1501, 1601};
constexpr std::uint32_t kRefinanceVersions[] = {402, 902, 1202, 1502};

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// Values in the fields both kinds of file carry: parties, lines of every
// shape, the ledger and the open lists.
template <typename Record> Record sharedRecord(std::uint32_t version) {
    Record r;
    r.version = version;
    r.loanNo = "99-40117";
    r.borrower = CAddress{"Ren\xE9 Caldwell", "", "7 Ferry Road", "ME", "Bath", "04530", "", ""};
    r.agent = CAddress{"Kennebec Title", "", "40 Front Street", "ME", "Bath", "04530", "", ""};
    r.lenderText = "First Coastal Bank\n100 Water Street";
    r.settlementDate = CSubDate{{2004, 3, 11}, 0};
    r.fundingDate = CSubDate{{2004, 3, 12}, 0};
    for (int number = 801; number <= 1307; ++number) {
        LegacyLine& line = r.lines["n" + std::to_string(number)];
        line.text = "Line " + std::to_string(number);
        line.borrowerFund = std::to_string(number) + ".50";
        line.months = 2;
        line.at = 12.5;
        line.from = CSubDate{{2004, 3, 11}, 0};
        line.to = CSubDate{{2004, 4, 1}, 0};
    }
    r.ledger.presence = 1;
    r.ledger.deposits[0] = {"3/11/2004", "Ren\xE9 Caldwell", "Cash to close", "", "  18900.00"};
    r.ledger.checks[0] = {"3/11/2004", "Coastal Savings", "Payoff", "1001", "88231.40"};
    r.borrowers = {r.borrower, CAddress{"Ada Caldwell", "", "", "", "", "", "", ""}};
    for (auto& list : r.openLists)
        list = {CAddTBS{"Extra", "", 0, "10.00", "0.00"}, CAddTBS{"More", "", 0, "", "5.00"}};
    return r;
}

HudRecord statement(std::uint32_t version) {
    HudRecord r = sharedRecord<HudRecord>(version);
    r.taxDays = 180;
    r.fileNo = "2004-0311";
    r.seller = CAddress{"Harbor Lane Trust", "", "1 Dock Square", "ME", "Bath", "04530", "", ""};
    r.n101 = "189000.00";
    r.n120 = 190412.75;
    r.lines["n104"] = {.text = "Settlement charges", .amount = "1412.75"};
    r.lines["n504"] = {.payor = "Coastal Savings", .amount = "88231.40"};
    r.lines["n812"] = {.text = "Addendum", .borrowerFund = "12.00"};
    r.form1099.presence = 1;
    r.form1099.propertyStreet = "22 Shipyard Way";
    r.sellers = {r.seller};
    return r;
}

RefinanceRecord refinance(std::uint32_t version) {
    RefinanceRecord r = sharedRecord<RefinanceRecord>(version);
    r.n1520 = 1520.5;
    r.form1099Presence = 1;
    r.checkTablePresence = 1;
    r.checkRows[0] = {"1/1", "Payee", "Addr", "501", "  75.00", "Y", "Memo", ""};
    return r;
}

void saveAs(CHudDocument& document, const std::string& version, const fs::path& path) {
    document.setPropertyValue("versionNumber", version);
    if (saveXmlFile(document, path.string()) != 0)
        throw std::runtime_error("cannot save " + path.string());
}

void writeLegacySeeds(const fs::path& folder) {
    for (const std::uint32_t version : kStatementVersions)
        write(folder / ("statement-" + std::to_string(version)),
              testing::hudFile(statement(version)));
    for (const std::uint32_t version : kRefinanceVersions)
        write(folder / ("refinance-" + std::to_string(version)),
              testing::refinanceFile(refinance(version)));
}

// Every section, a few rows of each list.
std::unique_ptr<CHudDocument> smallFullDocument() {
    bench::Sizes small;
    small.ledgerTransactions = 3;
    small.moreLinesPerBlock = 2;
    small.checks = 2;
    return bench::makeFullDocument(small);
}

void writeDocumentSeeds(const fs::path& folder) {
    for (const char* type : {document_types::kHud, document_types::kHud1a}) {
        CHudDocument document(type);
        document.initDocument();
        saveAs(document, "201", folder / (std::string("new-") + type + ".xml"));
    }
    const auto full = smallFullDocument();
    saveAs(*full, "201", folder / "full.xml");
    // Version 200 documents are migrated on load; newer ones are refused.
    saveAs(*full, "200", folder / "full-200.xml");
    saveAs(*full, "202", folder / "full-202.xml");
    HudRecord hud = statement(1601);
    saveAs(*convertHudRecord(hud), "201", folder / "converted-statement.xml");
    saveAs(*convertRefinanceRecord(refinance(1502)), "201", folder / "converted-refinance.xml");
    // A legacy file: opening it asks to convert it.
    write(folder / "legacy-statement", testing::hudFile(statement(1601)));
}

// A deal of each kind that is read for the index and shown as a page: a
// legacy statement (with texts that must be escaped on the page), a legacy
// refinance statement, and XML documents of both types, one of them of the
// version that is migrated on opening.
void writeDealSeeds(const fs::path& folder) {
    HudRecord hostile = statement(1601);
    hostile.fileNo = "<script>alert(1)</script>";
    hostile.lines["n104"].text = "Fees & \"charges\" <b>due</b>";
    write(folder / "statement-1601", testing::hudFile(hostile));
    write(folder / "refinance-1502", testing::refinanceFile(refinance(1502)));
    const auto full = smallFullDocument();
    saveAs(*full, "201", folder / "full.xml");
    saveAs(*full, "200", folder / "full-200.xml");
    saveAs(*convertRefinanceRecord(refinance(1502)), "201", folder / "converted-refinance.xml");
}

// libFuzzer's dictionary syntax: one quoted entry a line, with \" and \\.
std::string dictionaryEntry(const std::string& word) {
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"\n";
}

void writeXmlDictionary(const fs::path& path) {
    const SchemaVocabulary& words = schemaVocabulary();
    std::string entries = dictionaryEntry("<calverin>") + dictionaryEntry("</calverin>");
    for (const std::string& name : words.elementNames)
        entries += dictionaryEntry("<" + name + " ") + dictionaryEntry("</" + name + ">");
    for (const std::string& name : words.propertyNames)
        entries += dictionaryEntry(" " + name + "=\"");
    // References, which reading decodes and checks itself.
    for (const char* reference : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#", "&#x"})
        entries += dictionaryEntry(reference);
    write(path, entries);
}

// Answers and events as the browser sends them while a page is printed.
void writeDevToolsSeeds(const fs::path& folder) {
    const char* messages[] = {
        R"({"id":1,"result":{"protocolVersion":"1.3","product":"HeadlessChrome/120.0"}})",
        R"({"id":2,"result":{"targetId":"6C1F0B3E9A"}})",
        R"({"method":"Target.attachedToTarget","params":{"sessionId":"A1B2","targetInfo":)"
        R"({"targetId":"6C1F0B3E9A","type":"page","title":"","url":"about:blank",)"
        R"("attached":true},"waitingForDebugger":false}})",
        R"({"id":4,"result":{"frameTree":{"frame":{"id":"F1","loaderId":"L1",)"
        R"("url":"about:blank","securityOrigin":"://"},"childFrames":[]}},"sessionId":"A1B2"})",
        R"({"id":5,"result":{"data":"JVBERi0xLjQKJcfsj6IK","stream":null},"sessionId":"A1B2"})",
        R"({"id":6,"error":{"code":-32000,"message":"No target with given id found"}})",
        R"({"method":"Page.lifecycleEvent","params":{"frameId":"F1","name":"load",)"
        R"("timestamp":1.7001234567e5,"note":"caf\u00e9 \ud83d\ude00 \"q\" \\ \/ \b\f\n\r\t"}})",
        R"([0,-0,1E2,-2.5e-3,1e300,9007199254740993,18446744073709551616,true,false,null,[],{}])",
    };
    int number = 0;
    for (const char* message : messages)
        write(folder / ("message-" + std::to_string(++number)), message);
}

void writeJsonDictionary(const fs::path& path) {
    std::string entries;
    for (const char* token : {"{",           "}",          "[",           "]",
                              ":",           ",",          "\"",          "true",
                              "false",       "null",       "\\u",         "\\ud83d\\ude00",
                              "e+",          "E-",         "-0.",         "\"id\":",
                              "\"result\":", "\"error\":", "\"method\":", "\"sessionId\":"})
        entries += dictionaryEntry(token);
    write(path, entries);
}

// A PDF as the browser writes one, numbered objects and a classic
// cross-reference table, with `update` appended.
std::string browserPdf(const std::string& update) {
    const std::string head = "%PDF-1.4\n";
    const std::string info = "1 0 obj\n<</Title (Settlement statement)\n/Creator (Mozilla/5.0 "
                             "\\(X11\\))\n/Producer (Skia/PDF m156)>>\nendobj\n";
    const std::string catalog = "2 0 obj\n<</Type /Catalog /Pages 3 0 R>>\nendobj\n";
    const std::string pages = "3 0 obj\n<</Type /Pages /Kids [] /Count 0>>\nendobj\n";
    const auto entry = [](std::size_t offset) {
        const std::string digits = std::to_string(offset);
        return std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    };
    const std::size_t xref = head.size() + info.size() + catalog.size() + pages.size();
    return head + info + catalog + pages + "xref\n0 4\n0000000000 65535 f \n" + entry(head.size()) +
           entry(head.size() + info.size()) + entry(head.size() + info.size() + catalog.size()) +
           "trailer\n<</Size 4\n/Root 2 0 R\n/Info 1 0 R\n/ID [<0A1B> <2C3D>]>>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n" + update;
}

void writePdfSeeds(const fs::path& folder) {
    const std::string browser = browserPdf("");
    write(folder / "browser.pdf", browser);
    const std::size_t object = browser.size();
    const std::string marked = "1 0 obj\n<</Producer (velmora render)>>\nendobj\n";
    const std::string digits = std::to_string(object);
    write(folder / "marked.pdf",
          browserPdf(marked + "xref\n1 1\n" + std::string(10 - digits.size(), '0') + digits +
                     " 00000 n \ntrailer\n<</Size 4 /Root 2 0 R /Info 1 0 R /Prev " +
                     std::to_string(browser.find("xref\n0 4")) + ">>\nstartxref\n" +
                     std::to_string(object + marked.size()) + "\n%%EOF\n"));
}

void writePdfDictionary(const fs::path& path) {
    std::string entries;
    for (const char* token :
         {"<<",   ">>",      "[",         "]",     "(",         ")",    "\\",
          "<0A>", "/Info",   "/Producer", "/Prev", " 0 R",      " obj", "endobj",
          "xref", "trailer", "startxref", "%%EOF", " 00000 n ", "%"})
        entries += dictionaryEntry(token);
    write(path, entries);
}

} // namespace
} // namespace velmora::fuzzing

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds OUTPUT_FOLDER\n";
        return 2;
    }
    const fs::path out = argv[1];
    try {
        fs::remove_all(out);
        for (const char* target : {"legacy", "xml_open", "operations", "devtools_message",
                                   "index_entry", "statement_page", "pdf_producer"})
            fs::create_directories(out / target);
        velmora::fuzzing::writeLegacySeeds(out / "legacy");
        velmora::fuzzing::writeDocumentSeeds(out / "xml_open");
        for (const char* target : {"xml_open", "index_entry", "statement_page"})
            velmora::fuzzing::writeXmlDictionary(out / (std::string(target) + ".dict"));
        for (const char* target : {"index_entry", "statement_page"})
            velmora::fuzzing::writeDealSeeds(out / target);
        velmora::fuzzing::writeDevToolsSeeds(out / "devtools_message");
        velmora::fuzzing::writeJsonDictionary(out / "devtools_message.dict");
        velmora::fuzzing::writePdfSeeds(out / "pdf_producer");
        velmora::fuzzing::writePdfDictionary(out / "pdf_producer.dict");
    } catch (const std::exception& error) {
        std::cerr << "make_seeds: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
