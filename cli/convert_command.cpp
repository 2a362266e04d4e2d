// velmora convert: migrates folders of deal files to the XML format in place,
// in one pass over both kinds, with a record of what became of every file.
// The work is the batch layer's; this is its command line.
#include "commands.h"
#include "quiet_dialog.h"
#include "shown_lines.h"
#include "yes_no_prompt.h"

#include "batch/leftover_temporaries.h"
#include "batch/migration.h"
#include "batch/progress.h"
#include "platform/safe_file.h"
#include "platform/stop_request.h"
#include "platform/terminal.h"

#include <iostream>
#include <memory>
#include <string>

namespace velmora::cli {
namespace {

struct ConvertArguments {
    std::vector<std::string> paths;
    unsigned jobs = 1;
    bool dryRun = false;
    bool json = false;
    std::string report;
    std::optional<batch::Shard> shard;
};

bool agreed(const GlobalOptions& options, std::size_t candidates) {
    if (options.yes)
        return true;
    if (!isTerminal(StandardStream::Input)) {
        std::cerr << "velmora: legacy files are converted in place; run with --yes to agree "
                     "(or --dry-run to see what would happen)\n";
        return false;
    }
    return askYesNo("Look at " + std::to_string(candidates) +
                    " files and convert the legacy deals among them in place? A backup of each "
                    "goes to UpgradeBackup beside it; converted files will not be compatible with "
                    "the older version.");
}

constexpr char kStandardOutput[] = "-";

void printRecordLines(const std::vector<batch::FileRecord>& records) {
    for (const batch::FileRecord& record : records) {
        if (batch::deservesALine(record))
            printLine(std::cerr, batch::recordLine(record));
    }
}

// The report goes to its file, or with "-" to standard output (JSON Lines).
void writeReport(const std::string& report, const std::vector<batch::FileRecord>& records) {
    if (report == kStandardOutput) {
        std::cout << batch::reportText(records, false) << std::flush;
        return;
    }
    if (!writeFileReplacing(report, batch::reportText(records, batch::isCsvReportName(report))))
        throw CommandFailed(report + ": the report could not be written");
}

void runConvert(const GlobalOptions& options, const ConvertArguments& args) {
    if (!args.report.empty() && args.report != kStandardOutput)
        requireWritableTarget(args.report);
    const batch::TreeWalk walk = batch::walkTree(args.paths);
    for (const std::string& note : walk.notes)
        printLine(std::cerr, "velmora: " + note);
    const std::vector<batch::FoundFile> files = batch::filesOfShard(walk.files, args.shard);
    if (!args.dryRun && !files.empty() && !agreed(options, files.size()))
        throw CommandFailed("nothing converted");
    // What a killed run left goes once the person has agreed to changes.
    if (!args.dryRun) {
        for (const std::string& line : batch::removeLeftoverTemporaries(walk))
            printLine(std::cerr, "velmora: " + line);
    }

    // The engine's messages on the batch road (a converted file that does not
    // read back) are carried by the records; nothing is asked.
    QuietDialog quiet;
    ScopedDialog scoped(quiet);
    batch::Progress progress(files.size());
    const batch::MigrationOptions migration{options.documentType, args.dryRun};
    // Ctrl-C lets the files in flight finish, so that what was done is told.
    const StopRequests stopRequests;
    const std::vector<batch::FileRecord> records = batch::migrateFiles(
        files, migration, args.jobs, [&] { progress.fileDone(); },
        [] { return stopRequested() != 0; });

    // What happened is told first, so that a report that cannot be written
    // does not hide it.
    printRecordLines(records);
    const batch::RunSummary summary = batch::summarize(records);
    // Standard output is the report's when it goes there.
    std::ostream& summaryOut = args.report == kStandardOutput ? std::cerr : std::cout;
    if (args.json)
        summaryOut << batch::summaryJson(summary, args.dryRun) << '\n';
    else
        summaryOut << batch::summaryLine(summary, args.dryRun)
                   << (args.dryRun ? " (dry run: nothing was written)" : "") << '\n';
    if (!args.report.empty())
        writeReport(args.report, records);
    if (const int signal = stopRequested())
        throw RunStopped(signal, records.size(), files.size());
    if (!summary.allDealsDone()) {
        const std::size_t left =
            summary.count(batch::Outcome::Refused) + summary.count(batch::Outcome::Failed);
        throw CommandFailed(std::to_string(left) + " of " + std::to_string(summary.files()) +
                            " files were refused or failed");
    }
}

} // namespace

void addConvertCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<ConvertArguments>();
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert the legacy deals among files and folders to XML documents, in place");
    convert->add_option("PATH", args->paths, "Files or folders (searched recursively)")->required();
    convert->add_option("-j,--jobs", args->jobs, "Files converted at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    convert->add_flag("--dry-run", args->dryRun,
                      "Say what would happen to each file; write nothing, ask nothing (default: "
                      "convert)");
    convert->add_option("--report", args->report,
                        "Write one record per file to FILE: JSON Lines, or CSV for a .csv name; "
                        "'-' writes JSON Lines to standard output and the summary to standard "
                        "error (default: no report)");
    convert->add_flag("--json", args->json,
                      "Print the summary as one JSON object (default: one line of counts)");
    addShardOption(*convert, args->shard,
                   "Take only shard K of N (K/N) of the files, split by a stable hash of their "
                   "path below the folder given (default: every file)");
    addTypeOption(*convert, options,
                  "Convert only deals of this type and refuse the other: hud (statements) or "
                  "hud1a (refinance statements) (default: each deal as the kind it is)");
    addYesOption(*convert, options,
                 "Agree to converting in place without being asked (default: ask on a terminal; "
                 "without one, convert nothing)");
    addCodePageOption(*convert);
    convert->callback([&options, args] { runConvert(options, *args); });
}

} // namespace velmora::cli
