// velmora check: what each file among the files and folders given is, one
// line each, for a person or, as JSON Lines, for a script. The walk and the
// kind test are the batch layer's, as for convert; an XML document is
// loaded, so that "XML" means a document that opens, and a legacy deal of a
// kind that converts is read in memory, so that "legacy" means one that reads.
//
// The exit code answers "is everything here a document that opens?": a file
// named directly must be one, and so must every deal found in a folder; the
// letters and spreadsheets beside the deals are reported and pass.
#include "commands.h"
#include "shown_lines.h"

#include "batch/deal_in_memory.h"
#include "batch/file_kind.h"
#include "batch/not_a_deal.h"
#include "batch/tree_walk.h"
#include "platform/code_page.h"
#include "platform/read_refusal.h"
#include "quiet_dialog.h"
#include "tree/json_text.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

struct CheckArguments {
    std::vector<std::string> paths;
    bool json = false;
};

// What became of one file: the words of its line and the fields of its record.
struct FileReport {
    std::string kind; // the record's kind: "xml", "legacy", "damaged", "not-a-deal", ...
    std::string words;
    std::string version;
    std::string type;
    std::string deal; // a legacy deal's kind in words
    std::uint32_t versionWord = 0;
    std::string reason; // why a deal is damaged, or what a file that is no deal is
};

constexpr char kHeldWords[] = "held by another program, cannot be checked now";

FileReport said(std::string kind, std::string words) {
    FileReport report;
    report.kind = std::move(kind);
    report.words = std::move(words);
    return report;
}

std::string orNone(const std::string& text) {
    return text.empty() ? std::string("(none)") : text;
}

FileReport xmlDocument(const GlobalOptions& options, const std::string& path) {
    Session session(options);
    try {
        session.open(path);
    } catch (const FileHeld&) {
        return said("held", kHeldWords);
    } catch (const CommandFailed&) {
        return said("damaged", "XML document, damaged: it does not load");
    }
    FileReport report = said("xml", "");
    session.provider().getNodePropertyValue("", "versionNumber", &report.version);
    session.provider().getNodePropertyValue("", "document_type", &report.type);
    report.words =
        "XML document, version " + orNone(report.version) + ", type " + orNone(report.type);
    return report;
}

std::string legacyDealName(const batch::KindOfFile& kind) {
    switch (kind.kind) {
    case batch::FileKind::Statement:
        return "statement";
    case batch::FileKind::Refinance:
        return "refinance statement";
    default:
        return batch::kindName(kind);
    }
}

// A deal of a kind that converts is read whole: "damaged" when it does not.
FileReport legacyDeal(const std::string& path, const batch::KindOfFile& kind) {
    FileReport report = said("legacy", "");
    report.deal = legacyDealName(kind);
    report.versionWord = kind.versionWord;
    report.words = "legacy " + report.deal + ", version word " + std::to_string(kind.versionWord);
    if (kind.kind == batch::FileKind::UnconvertibleDeal)
        return report;
    const batch::DealInMemory deal = batch::readDealInMemory(path);
    if (deal.reading == batch::DealReading::Unreadable)
        return said("unreadable", deal.reason);
    if (deal.reading != batch::DealReading::Read) {
        report.kind = "damaged";
        report.words += ", damaged: " + deal.reason;
        report.reason = deal.reason;
    }
    return report;
}

FileReport notADeal(const batch::FoundFile& file, const std::string& firstBytes) {
    FileReport report = said("not-a-deal", "not a deal");
    if (const std::optional<batch::NotADealNote> note =
            batch::notADealNote(file.path, file.named, firstBytes)) {
        report.words += ": " + note->reason;
        report.reason = note->reason;
        report.versionWord = note->versionWord;
    }
    return report;
}

// The first bytes, read once another program that holds the file lets go;
// none when it does not, or the file cannot be read.
std::optional<std::string> firstBytesOf(const GlobalOptions& options, const std::string& path) {
    std::optional<std::string> first = batch::readFirstBytes(path);
    if (!first && waitWhileHeld(options, path))
        first = batch::readFirstBytes(path);
    return first;
}

FileReport unreadable(const std::string& path) {
    if (readRefusalOf(path) == ReadRefusal::Held)
        return said("held", kHeldWords);
    return said("unreadable", batch::problemOf(batch::Found::Unreadable));
}

FileReport checkFile(const GlobalOptions& options, const batch::FoundFile& file) {
    const std::optional<std::string> first = firstBytesOf(options, file.path);
    if (!first)
        return unreadable(file.path);
    const batch::KindOfFile kind = batch::kindOfFile(*first);
    switch (kind.kind) {
    case batch::FileKind::XmlDocument:
        return xmlDocument(options, file.path);
    case batch::FileKind::NotADeal:
        return notADeal(file, *first);
    case batch::FileKind::Statement:
    case batch::FileKind::Refinance:
    case batch::FileKind::UnconvertibleDeal:
        break;
    }
    return legacyDeal(file.path, kind);
}

const char* problemKind(batch::Found found) {
    switch (found) {
    case batch::Found::NotAFile:
        return "not-a-file";
    case batch::Found::Dangling:
        return "dangling";
    case batch::Found::Missing:
        return "missing";
    case batch::Found::Unreadable:
    case batch::Found::File:
        break;
    }
    return "unreadable";
}

FileReport reportOn(const GlobalOptions& options, const batch::FoundFile& file) {
    if (file.found != batch::Found::File)
        return said(problemKind(file.found), batch::problemOf(file.found));
    return checkFile(options, file);
}

// Inside a folder only what is, or may be, a deal that does not open counts:
// a link to nothing or a fifo holds no deal, a file nobody can read may.
bool fails(const batch::FoundFile& file, const FileReport& report) {
    if (report.kind == "xml")
        return false;
    if (file.named)
        return true;
    return report.kind != "not-a-deal" && report.kind != "dangling" && report.kind != "not-a-file";
}

std::string jsonLine(const std::string& path, const FileReport& report) {
    return jsonText({{"path", treeTextToUtf8(path)},
                     {"kind", report.kind},
                     {"version", treeTextToUtf8(report.version)},
                     {"type", treeTextToUtf8(report.type)},
                     {"deal", report.deal},
                     {"version_word", report.versionWord},
                     {"reason", treeTextToUtf8(report.reason)}});
}

void runCheck(const GlobalOptions& options, const CheckArguments& args) {
    const batch::TreeWalk walk = batch::walkTree(args.paths);
    for (const std::string& note : walk.notes)
        printLine(std::cerr, "velmora: " + note);
    // A damaged document's load failure is its line; the engine's box would repeat it.
    QuietDialog quiet;
    const ScopedDialog scoped(quiet);
    std::size_t failures = walk.notes.size();
    for (const batch::FoundFile& file : walk.files) {
        const FileReport report = reportOn(options, file);
        if (args.json)
            std::cout << jsonLine(file.path, report) << '\n';
        else
            printLine(std::cout, file.path + ": " + report.words);
        failures += fails(file, report);
    }
    if (failures != 0)
        throw CommandFailed(std::to_string(failures) + " of " +
                            std::to_string(walk.files.size() + walk.notes.size()) +
                            " files checked are not XML documents that load");
}

} // namespace

void addCheckCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<CheckArguments>();
    CLI::App* check = app.add_subcommand(
        "check", "Say what each file is: an XML document (version, type), a legacy deal, or no "
                 "deal. Exit code 1 when a file named is not an XML document that loads, or a "
                 "deal found in a folder is not one; other files in folders do not count");
    check->add_option("PATH", args->paths, "Files or folders (searched recursively)")->required();
    check->add_flag("--json", args->json,
                    "One JSON object per file and line: path, kind (xml, legacy, damaged, "
                    "not-a-deal, missing, dangling, not-a-file, unreadable, held), version, type, "
                    "deal, version_word, reason (default: one line of words per file)");
    addWaitOption(*check, options);
    addCodePageOption(*check);
    check->callback([&options, args] { runCheck(options, *args); });
}

} // namespace velmora::cli
