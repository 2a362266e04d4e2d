// velmora render: statements as HTML pages, or as PDFs printed from them by
// one headless Chromium, for one deal or for folders of them, legacy deals
// read from their own files without converting them. Choosing the outputs,
// the record of each file and the summary are the batch layer's
// (batch_outputs.h, batch_run.h), telling its own outputs from other files
// the page library's (own_outputs.h); this is the command line.
#include "commands.h"
#include "quiet_dialog.h"
#include "shown_lines.h"

#include "batch/batch_run.h"
#include "batch/deal_in_memory.h"
#include "batch/leftover_temporaries.h"
#include "batch/progress.h"
#include "platform/file_system.h"
#include "platform/path_parts.h"
#include "platform/safe_file.h"
#include "platform/stop_request.h"
#include "render/own_outputs.h"
#include "render/pdf/chromium.h"
#include "render/statement_view.h"

#include <algorithm>
#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

namespace pdf = render::pdf;

struct RenderArguments {
    std::vector<std::string> paths;
    std::string output;
    std::string outDir;
    std::string paper = "letter";
    unsigned jobs = 1;
    bool pdf = false;
    bool force = false;
    bool showTin = false;
};

constexpr const char* kStandardOutput = "-";

// Read, render and let go: the document's file is released before anything
// is written, and before a browser is waited for.
std::string renderDocument(const GlobalOptions& options, const std::string& file,
                           render::PageSource source) {
    Session session(options);
    session.open(file);
    return render::renderStatement(session.document(), source);
}

// A legacy deal is read from its own file and converted in memory, as the
// index reads it: nothing is written beside it and nothing is asked, and the
// page says where it came from.
std::string renderLegacy(const GlobalOptions& options, const std::string& file,
                         render::PageSource source) {
    waitWhileHeld(options, file);
    const batch::DealInMemory deal = batch::readDealInMemory(file);
    switch (deal.reading) {
    case batch::DealReading::Read:
        break;
    case batch::DealReading::Damaged:
        throw CommandFailed(file + ": damaged: " + deal.reason);
    case batch::DealReading::NotADeal:
        throw CommandFailed(file + ": not a deal document");
    case batch::DealReading::Unreadable:
    case batch::DealReading::Unconvertible:
        throw CommandFailed(file + ": " + deal.reason);
    }
    if (deal.kind.kind != batch::FileKind::XmlDocument)
        source.legacyFile = fileNameOf(file);
    return render::renderStatement(*deal.document, source);
}

std::string renderItem(const GlobalOptions& options, const RenderArguments& args,
                       const batch::BatchItem& item) {
    render::PageSource source;
    source.fullTaxIds = args.showTin;
    if (item.kind.kind == batch::FileKind::XmlDocument)
        return renderDocument(options, item.document, std::move(source));
    return renderLegacy(options, item.document, std::move(source));
}

batch::MakeOutput outputMaker(const GlobalOptions& options, const RenderArguments& args,
                              pdf::PdfPrinter* printer) {
    return [&options, &args, printer](const batch::BatchItem& item) {
        std::string page = renderItem(options, args, item);
        if (!printer)
            return page;
        try {
            return printer->print(page);
        } catch (const pdf::PrintFailed& failure) {
            throw CommandFailed(item.document + ": " + failure.what());
        }
    };
}

// Started only when there is a page to print, so that a run with nothing to
// print needs no browser.
std::unique_ptr<pdf::PdfPrinter> printerFor(const RenderArguments& args,
                                            const std::vector<batch::BatchItem>& items) {
    const bool anyDocument =
        std::any_of(items.begin(), items.end(), [](const auto& item) { return !item.settled; });
    if (!args.pdf || !anyDocument)
        return nullptr;
    const pdf::Paper paper = args.paper == "a4" ? pdf::Paper::A4 : pdf::Paper::Letter;
    try {
        return std::make_unique<pdf::PdfPrinter>(paper);
    } catch (const pdf::PrintFailed& failure) {
        throw CommandFailed(failure.what());
    }
}

std::vector<batch::BatchItem> plan(const RenderArguments& args,
                                   const std::vector<batch::FoundFile>& files) {
    return batch::planBatch(files, {args.pdf ? ".pdf" : ".html", args.outDir});
}

// The word on what would help, in the tool's own terms.
std::string hintOf(batch::BatchRemedy remedy) {
    switch (remedy) {
    case batch::BatchRemedy::None:
        break;
    case batch::BatchRemedy::ReplaceOutput:
        return "; --force replaces it";
    }
    return "";
}

// The line on a file skipped or failed, with its hint; empty for the others.
std::string noteOf(const batch::BatchRecord& record) {
    const std::string note = batch::batchNote(record);
    return note.empty() ? note : note + hintOf(record.remedy);
}

void writeToStandardOutput(const std::string& bytes) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!std::cout.flush())
        throw CommandFailed("standard output could not be written");
}

// One document named: the path of its output, or one line saying why there
// is none, as every reading command does. An output named with -o is the
// person's choice and is replaced, whoever wrote it.
void renderOne(const GlobalOptions& options, const RenderArguments& args) {
    const std::string& path = args.paths.front();
    const batch::TreeWalk walk = batch::walkTree(args.paths);
    if (walk.files.empty())
        throw CommandFailed(walk.notes.empty() ? path + ": nothing to render" : walk.notes.front());
    // Its kind is read from its first bytes, which another program may hold.
    if (walk.files.front().found == batch::Found::File)
        waitWhileHeld(options, walk.files.front().path);
    std::vector<batch::BatchItem> items = plan(args, walk.files);
    batch::BatchItem& item = items.front();
    const std::unique_ptr<pdf::PdfPrinter> printer = printerFor(args, items);
    const batch::MakeOutput make = outputMaker(options, args, printer.get());
    if (args.output == kStandardOutput && !item.settled)
        return writeToStandardOutput(make(item));
    batch::BatchOptions replacing{args.force, 1, render::isOwnOutput};
    if (!args.output.empty()) {
        item.output = args.output;
        replacing = {true, 1, {}};
    }
    const batch::BatchRecord record = batch::runBatchItem(item, make, replacing);
    if (record.outcome == batch::BatchOutcome::Failed)
        throw CommandFailed(record.reason);
    if (record.outcome != batch::BatchOutcome::Written) {
        // Not a deal has no note in a batch, but a file named alone is told why.
        const std::string note = noteOf(record);
        throw CommandFailed(note.empty() ? record.reason : note);
    }
    printLine(std::cout, record.output);
}

// The output's path; with the document's before it when the output's name is
// not the document's own, which would leave a person guessing whose it is.
std::string writtenLine(const batch::BatchRecord& record) {
    return record.renamed ? record.document + " -> " + record.output : record.output;
}

void renderMany(const GlobalOptions& options, const RenderArguments& args) {
    const batch::TreeWalk walk = batch::walkTree(args.paths);
    for (const std::string& note : walk.notes)
        printLine(std::cerr, "velmora: " + note);
    for (const std::string& line : batch::removeLeftoverTemporaries(walk))
        printLine(std::cerr, "velmora: " + line);
    const std::vector<batch::BatchItem> items = plan(args, walk.files);
    const std::unique_ptr<pdf::PdfPrinter> printer = printerFor(args, items);
    // The engine's messages about a document are carried by its record.
    QuietDialog quiet;
    ScopedDialog scoped(quiet);
    batch::Progress progress(items.size());
    // Ctrl-C lets the files in flight finish, so that what was done is told.
    const StopRequests stopRequests;
    const std::vector<batch::BatchRecord> records = batch::runBatch(
        items, outputMaker(options, args, printer.get()),
        {args.force, args.jobs, render::isOwnOutput}, [&] { progress.fileDone(); },
        [] { return stopRequested() != 0; });
    for (const batch::BatchRecord& record : records) {
        if (record.outcome == batch::BatchOutcome::Written)
            printLine(std::cout, writtenLine(record));
        else if (const std::string note = noteOf(record); !note.empty())
            printLine(std::cerr, note);
    }
    const batch::BatchSummary summary = batch::summarizeBatch(records);
    std::cerr << batch::batchSummaryLine(summary, "rendered") << '\n';
    if (const int signal = stopRequested())
        throw RunStopped(signal, records.size(), items.size());
    if (const std::size_t failed = summary.count(batch::BatchOutcome::Failed))
        throw CommandFailed(std::to_string(failed) + " of " + std::to_string(records.size()) +
                            " files failed");
}

void runRender(const GlobalOptions& options, const RenderArguments& args) {
    if (!args.output.empty()) {
        if (args.paths.size() != 1)
            throw CLI::ValidationError("--output", "names the output of one document; for "
                                                   "several, use --out-dir");
        if (isFolder(args.paths.front()))
            throw CommandFailed(args.paths.front() + ": is a folder, not a document file");
    }
    if (args.paths.size() == 1 && !isFolder(args.paths.front()))
        renderOne(options, args);
    else
        renderMany(options, args);
}

} // namespace

void writeStatementPage(const std::string& page, const std::string& path,
                        const std::string& document) {
    requireWritableTarget(path);
    if (!writeFileReplacing(path, page, document))
        throw CommandFailed(path + ": could not be written");
}

void addRenderCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<RenderArguments>();
    CLI::App* render =
        app.add_subcommand("render", pdf::kPrintsPdf ? "Write statements as HTML pages laid out "
                                                       "like the printed form, or as PDFs"
                                                     : "Write statements as HTML pages laid out "
                                                       "like the printed form");
    render->add_option("PATH", args->paths, "Documents, or folders (searched recursively)")
        ->required();
    CLI::Option* output = render->add_option(
        "-o,--output", args->output,
        pdf::kPrintsPdf ? "The file to write for one document, '-' for standard output "
                          "(default: beside each document, with .html, or .pdf with --pdf)"
                        : "The file to write for one document, '-' for standard output "
                          "(default: beside each document, with .html)");
    render
        ->add_option("--out-dir", args->outDir,
                     "Write the outputs under DIR, mirroring the folders below each folder given "
                     "(default: beside each document)")
        ->excludes(output);
    CLI::Option* pdfFlag =
        render->add_flag("--pdf", args->pdf,
                         "Print the pages to PDF through a headless Chromium (default: HTML "
                         "pages)");
    CLI::Option* paper =
        render->add_option("--paper", args->paper, "The PDF's paper: letter (default) or a4")
            ->check(CLI::IsMember({"letter", "a4"}))
            ->needs(pdfFlag);
    // Left out of the help of a build that cannot print, but still taken, so
    // that a script written for the other build is told why nothing printed.
    if (!pdf::kPrintsPdf) {
        pdfFlag->group("");
        paper->group("");
    }
    render->add_option("-j,--jobs", args->jobs, "Documents rendered at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    render->add_flag("--force", args->force,
                     "Replace outputs that exist already, when this tool wrote them (default: "
                     "keep them)");
    render->add_flag("--show-tin", args->showTin,
                     "Print tax identification numbers in full (default: their last four digits "
                     "only, as ***-**-6789)");
    addWaitOption(*render, options);
    addCodePageOption(*render);
    render->callback([&options, args] { runRender(options, *args); });
}

} // namespace velmora::cli
